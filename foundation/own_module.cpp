#include "foundation/own_module.h"

#include <windows.h>

namespace tarvox {

std::wstring ModuleFileName(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::wstring OwnModulePath() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&OwnModulePath), &self)) {
        return {};
    }
    return ModuleFileName(self);
}

std::wstring OwnModuleFolder() {
    std::wstring path = OwnModulePath();
    const auto slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return {};
    path.resize(slash + 1);
    return path;
}

std::wstring ProgramPath() { return ModuleFileName(nullptr); }

}  // namespace tarvox
