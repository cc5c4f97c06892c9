#include "variables/full_path_vars.h"

#include <tarvox/modules.h>

#include "foundation/own_module.h"

#include <windows.h>

namespace tarvox {

namespace {

constexpr wchar_t kModuleName[] = L"InstallRevitExtension.dll";

HMODULE LoadRevitInstallerModule() {
    if (GetModuleHandleW(kModuleName) != nullptr) return LoadLibraryW(kModuleName);
    const std::wstring folder = OwnModuleFolder();
    if (folder.empty()) return nullptr;
    if (HMODULE module = LoadLibraryW((folder + kModuleName).c_str())) return module;
    return LoadLibraryW((folder + L"Data_X64\\" + kModuleName).c_str());
}

}  // namespace

void* const* GetRevitInstaller() {
    // Looked up once; the module stays loaded for the process, and a failure is not retried.
    static void* const* const table = []() -> void* const* {
        HMODULE module = LoadRevitInstallerModule();
        if (module == nullptr) return nullptr;
        using GetInstallerFunction = long long (*)();
        const auto getInstaller = reinterpret_cast<GetInstallerFunction>(
            reinterpret_cast<void*>(GetProcAddressLogged(module, "GetInstaller")));
        if (getInstaller == nullptr) return nullptr;
        return reinterpret_cast<void* const*>(getInstaller());
    }();
    return table;
}

}  // namespace tarvox
