#include "paths/config_folders.h"

#include <tarvox/registry.h>

#include "foundation/folder_value.h"
#include "foundation/own_module.h"
#include "foundation/product_identity.h"
#include "foundation/registry_walk.h"
#include "paths/edition_names.h"
#include "paths/product_edition.h"

#include <windows.h>

#include <string>

namespace tarvox {

namespace {

struct ProductNames {
    const wchar_t* variable;      // neutral form of the environment variable
    const wchar_t* key;           // product key under both hives
    const wchar_t* folderValue;   // value naming the folder under HKEY_CURRENT_USER
    const wchar_t* belowAppData;  // folder below the application-data folder
};

constexpr auto kArdentConfigBelowAppData = kFamilyFolder + L"\\" + kArdentOfYear + L"\\Config\\";
constexpr auto kVeskaConfigBelowAppData = kFamilyFolder + L"\\" + kVeskaOfYear + L"\\Config\\";
const ProductNames kArdent = {kArdentConfigVariable.c_str(), kArdentKey.c_str(), L"Config",
                              kArdentConfigBelowAppData.c_str()};
const ProductNames kVeska = {kVeskaConfigVariable.c_str(), kVeskaKey.c_str(), L"ConfigR",
                             kVeskaConfigBelowAppData.c_str()};

enum class Lookup { Found, TooLong, Missing };

Lookup ReadVariable(const std::wstring& name, std::wstring& value) {
    wchar_t buffer[kFolderChars];
    const DWORD length = GetEnvironmentVariableW(name.c_str(), buffer, kFolderChars);
    if (length == 0) return Lookup::Missing;
    if (length >= static_cast<DWORD>(kFolderChars)) return Lookup::TooLong;
    value.assign(buffer, length);
    return Lookup::Found;
}

bool ReadUserFolderValue(const ProductNames& names, bool ardent, std::wstring& folder) {
    CRegKeyHolder key(HKEY_CURRENT_USER, names.key, 0, 0);
    if (key.Get() == nullptr) return false;
    if (ardent && ReadFolderValue(key, MapEditionName(names.folderValue), folder) &&
        !folder.empty())
        return true;
    return ReadFolderValue(key, names.folderValue, folder) && !folder.empty();
}

// The application-data value of the installation key, with "Config\" appended and expanded.
bool InstallationFolder(const ProductNames& names, bool ardent, wchar_t* buffer) {
    CRegKeyHolder key(HKEY_LOCAL_MACHINE, names.key, 0, 0);
    if (key.Get() == nullptr) return false;
    std::wstring folder;
    bool found = false;
    if (ardent) {
        int edition = 0;
        std::wstring productName;
        GetProductEdition(&edition, productName);
        const std::wstring editionValue = WithEditionSuffix(L"AppData", edition);
        // An edition without a suffix reads the default value.
        const wchar_t* first = EditionSuffix(edition).empty() ? nullptr : editionValue.c_str();
        found = ReadFolderValue(key, first, folder) && !folder.empty();
    }
    if (!found) found = ReadFolderValue(key, L"AppData", folder) && !folder.empty();
    if (!found) return false;
    AppendBackslash(folder);
    folder += L"Config\\";
    ExpandIntoFolderBuffer(buffer, folder);
    return buffer[0] != L'\0';
}

// The user's application-data folder with the product's folder below it.
bool UserAppDataFolder(const ProductNames& names, bool ardent, wchar_t* buffer) {
    std::wstring appData;
    if (ardent) {
        if (ReadVariable(L"AppData", appData) != Lookup::Found) return false;
    } else {
        CRegKeyHolder key(HKEY_CURRENT_USER, kShellFoldersKey, 0, 0);
        if (!ReadFolderValue(key, L"AppData", appData)) return false;
    }
    if (appData.empty()) return false;
    AppendBackslash(appData);
    appData += ardent ? MapEditionName(names.belowAppData) : names.belowAppData;
    CopyToFolderBuffer(buffer, appData);
    return buffer[0] != L'\0';
}

wchar_t* LastResort(const ProductNames& names, bool ardent, wchar_t* buffer) {
    if (InstallationFolder(names, ardent, buffer)) return buffer;
    if (UserAppDataFolder(names, ardent, buffer)) return buffer;
    const std::wstring moduleFolder = OwnModuleFolder();
    CopyToFolderBuffer(buffer, moduleFolder.empty() ? std::wstring() : moduleFolder + L"Config\\");
    return buffer;
}

}  // namespace

wchar_t* LocalConfigFolder(wchar_t* buffer, Product product) {
    static wchar_t ardentBuffer[kFolderChars];
    static wchar_t veskaBuffer[kFolderChars];
    const bool ardent = product == Product::Ardent;
    if (buffer == nullptr) buffer = ardent ? ardentBuffer : veskaBuffer;
    buffer[0] = L'\0';
    const ProductNames& names = ardent ? kArdent : kVeska;
    const std::wstring editionVariable = ardent ? MapEditionName(names.variable) : names.variable;

    // The environment: set by the user, or by an earlier call of this process or its parent.
    std::wstring folder;
    Lookup fromEnvironment = ReadVariable(editionVariable, folder);
    if (fromEnvironment == Lookup::Missing && editionVariable != names.variable) {
        fromEnvironment = ReadVariable(names.variable, folder);
    }
    if (fromEnvironment == Lookup::TooLong) return LastResort(names, ardent, buffer);
    bool cache = false;
    if (fromEnvironment == Lookup::Missing) {
        if (ReadUserFolderValue(names, ardent, folder)) {
            cache = true;
        } else {
            CRegKeyHolder key(HKEY_CURRENT_USER, names.key, 0, 0);
            std::wstring base;
            if (ReadFolderValue(key, nullptr, base) && !base.empty()) {
                AppendBackslash(base);
                CopyToFolderBuffer(buffer, base + L"Config\\");
                if (buffer[0] != L'\0') return buffer;
            }
            if (InstallationFolder(names, ardent, buffer)) return buffer;
            if (UserAppDataFolder(names, ardent, buffer)) return buffer;
            return LastResort(names, ardent, buffer);
        }
    }

    AppendBackslash(folder);
    CopyToFolderBuffer(buffer, folder);
    if (buffer[0] == L'\0') return LastResort(names, ardent, buffer);
    if (cache) SetEnvironmentVariableW(editionVariable.c_str(), folder.c_str());
    return buffer;
}

}  // namespace tarvox
