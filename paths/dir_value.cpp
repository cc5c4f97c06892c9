// Named folders of the user's folder list file, read through the CfgKern module.
#include <tarvox/folders.h>
#include <tarvox/modules.h>
#include <tarvox/registry.h>

#include "foundation/folder_value.h"
#include "foundation/module_bindings.h"
#include "foundation/own_module.h"
#include "foundation/product_identity.h"
#include "foundation/unique_handle.h"
#include "paths/product_edition.h"
#include "foundation/boundary.h"

#include <cwchar>
#include <string>

namespace {

using ReadFolderEntry = int (*)(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                                wchar_t* result);

std::wstring InstallDirPlus(const wchar_t* valueName, const wchar_t* file) {
    CRegKeyHolder key(HKEY_LOCAL_MACHINE, tarvox::kArdentKey.c_str(), 0, 0);
    std::wstring folder;
    if (!tarvox::ReadFolderValue(key, valueName, folder)) folder.clear();
    tarvox::AppendBackslash(folder);
    return folder + file;
}

// Where CfgKern lies: beside this library, in its "Data_x64" folder, or in the main product's
// installation folder; failing all, the installation folder named for the edition, unchecked.
std::wstring CfgKernPath() {
    const std::wstring own = tarvox::OwnModuleFolder();
    if (!own.empty()) {
        for (const wchar_t* candidate : {L"CfgKern.dll", L"Data_x64\\CfgKern.dll"}) {
            if (PathExists((own + candidate).c_str()) == 1) return own + candidate;
        }
    }
    const std::wstring installed = InstallDirPlus(L"InstallDir", L"CfgKern.dll");
    if (PathExists(installed.c_str()) == 1) return installed;
    return InstallDirPlus(IsLuminorEdition(nullptr) == 1 ? L"InstallDir_LU" : L"InstallDir",
                          L"CfgKern.dll");
}

}  // namespace

wchar_t* GetDirValue(const wchar_t* name, wchar_t* buffer) {
    static wchar_t own[tarvox::kFolderChars];
    if (buffer == nullptr) buffer = own;
    buffer[0] = L'\0';
    return tarvox::GuardBuffer(buffer, [&]() -> wchar_t* {
        if (name == nullptr || *name == L'\0') return buffer;

        GetLocalConfigDir(buffer);
        if (buffer[0] == L'\0') return buffer;
        std::wstring listFile = buffer;
        if (listFile.back() == L'\\') listFile.pop_back();
        listFile += L"\\Ordner.ini";
        buffer[0] = L'\0';

        tarvox::LoadedModule module(LoadLibraryW(CfgKernPath().c_str()));
        if (!module.Valid()) return buffer;
        // Resolved again: the module is loaded here for the one call and may come back elsewhere.
        const auto read = tarvox::ExportSlot<ReadFolderEntry>(GetCfgKernExports(1), 1);
        wchar_t result[tarvox::kFolderChars] = L"";
        if (read != nullptr && read(listFile.c_str(), L"Ordner", name, result) == 1) {
            // The module's answer as it gave it: how it reads the folder list is its own business.
            result[tarvox::kFolderChars - 1] = L'\0';
            std::wmemcpy(buffer, result, tarvox::kFolderChars);
        }
        module.Reset();
        // The binding must not keep the unloaded module's entry point.
        GetCfgKernExports(1);
        return buffer;
    });
}
