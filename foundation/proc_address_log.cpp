// Entry-point lookup with the support engineer's failure log.
#include <tarvox/modules.h>

#include "foundation/own_module.h"
#include "foundation/unique_handle.h"
#include "foundation/boundary.h"

#include <string>

namespace {

constexpr wchar_t kFailureLogName[] = L"!!!!!!!GetProcAddressFailures.txt";

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string result(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), result.data(),
                        bytes, nullptr, nullptr);
    return result;
}

// Appends one line to the failure log, only when the log file already exists.
void LogMissingEntryPoint(HMODULE module, const std::wstring& name) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(static_cast<DWORD>(std::size(temp)), temp);
    if (length == 0 || length > MAX_PATH) return;
    std::wstring logPath(temp, length);
    if (logPath.back() != L'\\') logPath += L'\\';
    logPath += kFailureLogName;

    const tarvox::FileHandle file(CreateFileW(logPath.c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return;
    const std::string line = ToAnsi(tarvox::ModuleFileName(module) + L";" + name + L"\r\n");
    LARGE_INTEGER zero{};
    if (SetFilePointerEx(file.Get(), zero, nullptr, FILE_END)) {
        DWORD written = 0;
        WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

std::wstring FromAnsi(const char* text) {
    const int chars = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (chars <= 1) return {};
    std::wstring result(static_cast<std::size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, result.data(), chars);
    result.resize(static_cast<std::size_t>(chars - 1));
    return result;
}

}  // namespace

// A null module is looked up and logged as the system takes it: GetProcAddress searches the
// process's executable, whose path GetModuleFileNameW gives for it. That is the line a support
// engineer sees when a helper module is not loaded at all.
FARPROC GetProcAddressLogged(HMODULE module, const char* name) {
    return tarvox::Guard(static_cast<FARPROC>(nullptr), [&]() -> FARPROC {
        if (name == nullptr) return nullptr;
        FARPROC address = GetProcAddress(module, name);
        if (address == nullptr) LogMissingEntryPoint(module, FromAnsi(name));
        return address;
    });
}

FARPROC GetProcAddressLogged(HMODULE module, const wchar_t* name) {
    return tarvox::Guard(static_cast<FARPROC>(nullptr), [&]() -> FARPROC {
        if (name == nullptr) return nullptr;
        const std::string ansi = ToAnsi(name);
        FARPROC address = ansi.empty() ? nullptr : GetProcAddress(module, ansi.c_str());
        if (address == nullptr) LogMissingEntryPoint(module, name);
        return address;
    });
}
