#include "config/drawing_handover.h"

#include <tarvox/modules.h>

#include "foundation/text_compare.h"

#include <windows.h>

namespace tarvox {
namespace {

using WriteConfigurationToDrawingFn = int(__cdecl*)(const wchar_t* key, const wchar_t* text);

enum class HostState { NotLookedUp, Unavailable, Available };
HostState g_state = HostState::NotLookedUp;
WriteConfigurationToDrawingFn g_write = nullptr;

WriteConfigurationToDrawingFn HostFunction() {
    if (g_state == HostState::NotLookedUp) {
        g_state = HostState::Unavailable;
        HMODULE host = GetModuleHandleW(L"TarvoArdent.dll");
        if (host == nullptr) host = GetModuleHandleW(L"TarvoApi.dll");
        if (host != nullptr) {
            g_write = reinterpret_cast<WriteConfigurationToDrawingFn>(
                GetProcAddressLogged(host, "WriteConfigurationToDrawing"));
            if (g_write != nullptr) g_state = HostState::Available;
        }
    }
    return g_state == HostState::Available ? g_write : nullptr;
}

}  // namespace

std::wstring DrawingKey(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) {
        const std::wstring_view extension = std::wstring_view(name).substr(dot);
        for (const wchar_t* known : {L".dat", L".def", L".cfg", L".ini", L".txt"}) {
            if (EqualsIgnoringAsciiCase(extension, known)) {
                name.resize(dot);
                break;
            }
        }
    }
    if (!name.empty()) CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

std::vector<std::wstring> DrawingLines(const std::vector<std::wstring>& lines) {
    std::vector<std::wstring> kept;
    for (const std::wstring& line : lines) {
        if (line.empty() || line.front() == L';' || line.front() == L'/') continue;
        kept.push_back(line);
    }
    return kept;
}

int WriteToDrawing(const std::wstring& key, const std::wstring& text) {
    const WriteConfigurationToDrawingFn write = HostFunction();
    if (write == nullptr) return 0;
    return write(key.c_str(), text.c_str());
}

}  // namespace tarvox
