#include <tarvox/folders.h>
#include <tarvox/registry.h>

#include "foundation/boundary.h"
#include "foundation/folder_value.h"
#include "foundation/product_identity.h"
#include "paths/config_folders.h"
#include "paths/product_edition.h"
#include "paths/product_folders.h"
#include "paths/special_folders.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

using tarvox::kFolderBufferChars;

// The caller's buffer, or the static one of the calling function; emptied.
wchar_t* Prepare(wchar_t* buffer, wchar_t* own) {
    wchar_t* result = buffer != nullptr ? buffer : own;
    result[0] = L'\0';
    return result;
}

// Fills the caller's buffer, or the static one of the calling function, and returns it; what
// fill throws leaves it empty.
template <class Fill>
wchar_t* FillFolderBuffer(wchar_t* buffer, wchar_t* own, Fill fill) {
    wchar_t* out = Prepare(buffer, own);
    return tarvox::GuardBuffer(out, [&] { return fill(out); });
}

// A key or folder name of a year, from one of the formats of the product identity.
std::wstring ProductKey(const wchar_t* format, long long year) {
    wchar_t name[kFolderBufferChars];
    swprintf(name, kFolderBufferChars, format, static_cast<int>(year));
    return name;
}

using tarvox::CopyToFolderBuffer;
using tarvox::ExpandIntoFolderBuffer;
using tarvox::ReadFolderValue;

wchar_t* CentralFolder(wchar_t* buffer, const std::wstring& keyName) {
    CRegKeyHolder key(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, 0);
    if (key.Get() == nullptr) return buffer;
    const wchar_t* valueName = IsLuminorEdition(nullptr) == 1 ? L"InstallDir_LU" : L"InstallDir";
    std::wstring folder;
    if (ReadFolderValue(key, valueName, folder) || ReadFolderValue(key, nullptr, folder))
        CopyToFolderBuffer(buffer, folder);
    return buffer;
}

wchar_t* LocalFolder(wchar_t* buffer, const wchar_t* keyFormat, const wchar_t* folderFormat,
                     bool editionValue, long long year) {
    {
        CRegKeyHolder key(HKEY_LOCAL_MACHINE, ProductKey(keyFormat, year).c_str(), 0, 0);
        std::wstring folder;
        if (key.Get() != nullptr &&
            (ReadFolderValue(key, L"AppData", folder) ||
             (editionValue && ReadFolderValue(key, L"AppData_AR", folder)))) {
            ExpandIntoFolderBuffer(buffer, folder);
            return buffer;
        }
    }
    wchar_t appData[kFolderBufferChars];
    const DWORD length = GetEnvironmentVariableW(L"AppData", appData, kFolderBufferChars);
    std::wstring folder =
        length > 0 && length < static_cast<DWORD>(kFolderBufferChars) ? appData : L"";
    if (folder.empty()) return buffer;  // no per-user root to put the default below
    if (folder.back() != L'\\') folder += L'\\';
    folder += ProductKey(folderFormat, year);
    CopyToFolderBuffer(buffer, folder);
    return buffer;
}

// The main product's key of a year: the older line's name before the first Ardent year.
std::wstring MainProductKey(long long year) {
    return ProductKey(year >= tarvox::kFirstArdentYear ? tarvox::kArdentKeyFormat.c_str()
                                                       : tarvox::kZenitKeyFormat.c_str(),
                      year);
}

}  // namespace

namespace tarvox {

long long YearOfProductName(const wchar_t* productName) {
    if (productName == nullptr) return 0;
    const wchar_t* blank = std::wcsrchr(productName, L' ');
    return std::wcstoll(blank ? blank + 1 : productName, nullptr, 10);
}

}  // namespace tarvox

wchar_t* GetCentralAppDir(wchar_t* buffer) {
    static wchar_t own[kFolderBufferChars];
    return FillFolderBuffer(
        buffer, own, [&](wchar_t* out) { return CentralFolder(out, tarvox::kArdentKey.c_str()); });
}

wchar_t* GetCentralAppDir(wchar_t* buffer, long long year) {
    static wchar_t own[kFolderBufferChars];
    return FillFolderBuffer(buffer, own,
                            [&](wchar_t* out) { return CentralFolder(out, MainProductKey(year)); });
}

wchar_t* GetCentralRAppDir(wchar_t* buffer, long long year) {
    static wchar_t own[kFolderBufferChars];
    return FillFolderBuffer(buffer, own, [&](wchar_t* out) {
        return CentralFolder(out, ProductKey(tarvox::kVeskaKeyFormat.c_str(), year));
    });
}

wchar_t* GetLocalAppDir(wchar_t* buffer, long long year) {
    static wchar_t own[kFolderBufferChars];
    return FillFolderBuffer(buffer, own, [&](wchar_t* out) {
        return LocalFolder(out, tarvox::kArdentKeyFormat.c_str(),
                           tarvox::kArdentFolderFormat.c_str(), true, year);
    });
}

wchar_t* GetLocalAppDir(wchar_t* buffer) {
    static wchar_t own[kFolderBufferChars];
    return FillFolderBuffer(buffer, own, [&](wchar_t* out) {
        return GetLocalAppDir(out, tarvox::YearOfProductName(tarvox::kArdentOfYear.c_str()));
    });
}

wchar_t* GetLocalRAppDir(wchar_t* buffer, long long year) {
    static wchar_t own[kFolderBufferChars];
    return FillFolderBuffer(buffer, own, [&](wchar_t* out) {
        return LocalFolder(out, tarvox::kVeskaKeyFormat.c_str(), tarvox::kVeskaFolderFormat.c_str(),
                           false, year);
    });
}

wchar_t* GetLocalRAppDir(wchar_t* buffer) {
    static wchar_t own[kFolderBufferChars];
    return FillFolderBuffer(buffer, own, [&](wchar_t* out) {
        return GetLocalRAppDir(out, tarvox::YearOfProductName(tarvox::kVeskaOfYear.c_str()));
    });
}

wchar_t* GetProductUserDir(wchar_t* buffer, long long year) {
    static wchar_t own[kFolderBufferChars];
    buffer = Prepare(buffer, own);
    const std::wstring keyName = MainProductKey(year);

    int code = 0;
    std::wstring productName;
    GetProductEdition(&code, productName);
    const std::wstring editionValue = L"AppData_" + std::wstring(tarvox::EditionSuffix(code));
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        CRegKeyHolder key(root, keyName.c_str(), 0, 0);
        std::wstring folder;
        if (key.Get() != nullptr && (ReadFolderValue(key, L"AppData", folder) ||
                                     ReadFolderValue(key, editionValue.c_str(), folder))) {
            ExpandIntoFolderBuffer(buffer, folder);
            return buffer;
        }
    }
    std::wstring appData;
    if (GetShellFolder(L"AppData", appData) == 1 && !appData.empty()) {
        // The temporary-folder fall-back ends in a backslash already.
        if (appData.back() == L'\\') appData.pop_back();
        CopyToFolderBuffer(buffer,
                           appData + L"\\" + ProductKey(tarvox::kArdentFolderFormat.c_str(), year));
    }
    return buffer;
}

wchar_t* GetLocalConfigDir(wchar_t* buffer) {
    static wchar_t own[kFolderBufferChars];
    return FillFolderBuffer(buffer, own, [&](wchar_t* out) {
        return tarvox::LocalConfigFolder(out, tarvox::Product::Ardent);
    });
}

wchar_t* GetLocalRConfigDir(wchar_t* buffer) {
    static wchar_t own[kFolderBufferChars];
    return FillFolderBuffer(buffer, own, [&](wchar_t* out) {
        return tarvox::LocalConfigFolder(out, tarvox::Product::Veska);
    });
}
