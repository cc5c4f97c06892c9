// Reading folder values from the registry into the library's 260-character folder buffers.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tarvox {

inline constexpr int kFolderChars = 260;

// A REG_SZ or REG_EXPAND_SZ value as stored (not expanded) that fits a folder buffer with its
// terminator. A longer value, another type or a missing value gives false. A null or empty
// name reads the default value.
bool ReadFolderValue(HKEY key, const wchar_t* name, std::wstring& text);

// A string value as ReadRegValueString gives it, when it fits a buffer of 260 characters with
// its terminator. A longer value counts as missing: false and an empty text.
bool ReadShortValue(std::wstring& text, HKEY key, const wchar_t* name);

// The same for a value of the key that a registry path names (as GetRegValue reads it).
bool GetShortRegValue(std::wstring& text, const wchar_t* path, const wchar_t* name, int view64);

enum class CurVerRead { NoReleaseKey, Missing, Found };

// The user's current product of an AutoCAD release: "CurVer" of
// HKEY_CURRENT_USER\Software\Autodesk\AutoCAD\<release> (AutoCAD's root, for AutoCAD LT as well),
// read as ReadShortValue reads it. Found with a non-empty value; otherwise curVer is empty, and
// NoReleaseKey tells that the release key itself cannot be opened.
CurVerRead ReadReleaseCurVer(std::wstring_view release, int view64, std::wstring& curVer);

// Copies text into a folder buffer; a text that does not fit leaves the buffer empty.
void CopyToFolderBuffer(wchar_t* buffer, const std::wstring& text);

// Environment references expanded into a folder buffer; when the expansion fails or does not
// fit, the text goes in unexpanded.
void ExpandIntoFolderBuffer(wchar_t* buffer, const std::wstring& text);

// Appends a backslash unless the text is empty or already ends with one.
void AppendBackslash(std::wstring& text);

// The text without one trailing backslash.
inline std::wstring_view WithoutTrailingBackslash(std::wstring_view text) {
    if (!text.empty() && text.back() == L'\\') text.remove_suffix(1);
    return text;
}

}  // namespace tarvox
