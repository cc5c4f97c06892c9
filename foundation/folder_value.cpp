#include "foundation/folder_value.h"

#include <tarvox/registry.h>

#include "foundation/registry_walk.h"

#include <cwchar>

namespace tarvox {

bool ReadFolderValue(HKEY key, const wchar_t* name, std::wstring& text) {
    if (key == nullptr) return false;
    if (name != nullptr && *name == L'\0') name = nullptr;
    wchar_t data[kFolderChars];
    DWORD bytes = sizeof(data);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) !=
        ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    std::wstring value = StringData(reinterpret_cast<const BYTE*>(data), bytes);
    if (value.size() >= static_cast<std::size_t>(kFolderChars))
        return false;  // no room left for the terminator
    text = std::move(value);
    return true;
}

namespace {

bool FitsFolderBuffer(std::wstring& text, bool read) {
    if (read && text.size() < static_cast<std::size_t>(kFolderChars)) return true;
    text.clear();
    return false;
}

}  // namespace

bool ReadShortValue(std::wstring& text, HKEY key, const wchar_t* name) {
    return FitsFolderBuffer(text, ReadRegValueString(text, key, name) == 1);
}

bool GetShortRegValue(std::wstring& text, const wchar_t* path, const wchar_t* name, int view64) {
    return FitsFolderBuffer(text, GetRegValue(text, path, name, view64) == 1);
}

CurVerRead ReadReleaseCurVer(std::wstring_view release, int view64, std::wstring& curVer) {
    curVer.clear();
    const std::wstring path =
        L"HKEY_CURRENT_USER\\Software\\Autodesk\\AutoCAD\\" + std::wstring(release);
    CRegKeyHolder key;
    key.Attach(OpenRegKeyByPath(path.c_str(), 0, view64));
    if (key.Get() == nullptr) return CurVerRead::NoReleaseKey;
    return ReadShortValue(curVer, key, L"CurVer") && !curVer.empty() ? CurVerRead::Found
                                                                     : CurVerRead::Missing;
}

void CopyToFolderBuffer(wchar_t* buffer, const std::wstring& text) {
    if (text.size() >= static_cast<std::size_t>(kFolderChars)) {
        buffer[0] = L'\0';
        return;
    }
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
}

void ExpandIntoFolderBuffer(wchar_t* buffer, const std::wstring& text) {
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), buffer, kFolderChars);
    if (length == 0 || length > static_cast<DWORD>(kFolderChars)) CopyToFolderBuffer(buffer, text);
}

void AppendBackslash(std::wstring& text) {
    if (!text.empty() && text.back() != L'\\') text += L'\\';
}

}  // namespace tarvox
