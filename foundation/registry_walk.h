// Walking the values and subkeys of an open registry key, and reading string data.
//
// The walkers read every name and every value's data whole: their buffers grow until the item
// fits, so that the one place to say what is too long is the caller's visitor. Each caller keeps
// its own filter there (the type it takes, the names it skips, the lengths it accepts).
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tarvox {

enum class WalkStep { Next, Stop };

// What a value that cannot be read does to the walk (the end of the list always ends it).
enum class OnUnreadable { End, Skip };

// One value as the value walker hands it to its visitor; the views live for the call only.
struct RegValueItem {
    std::wstring_view name;
    DWORD type = REG_NONE;
    const BYTE* data = nullptr;
    std::size_t bytes = 0;
};

// The string data of a value: its characters up to the first terminator, or all of them when
// there is none (an odd last byte is not part of the text).
std::wstring StringData(const BYTE* data, std::size_t bytes);
inline std::wstring StringData(const RegValueItem& value) {
    return StringData(value.data, value.bytes);
}

// Hands each value of key to visit, in enumeration order, until the list ends or visit stops.
void WalkRegValues(HKEY key, OnUnreadable unreadable,
                   const std::function<WalkStep(const RegValueItem& value)>& visit);

// Hands the name of each subkey of key to visit, in enumeration order, until the list ends, a
// name cannot be read, or visit stops.
void WalkRegSubKeys(HKEY key, const std::function<WalkStep(std::wstring_view name)>& visit);

// The shell's "Shell Folders" key below a hive.
inline constexpr wchar_t kShellFoldersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Walks the values of a hive's "Shell Folders" key (opened for reading, default view); nothing
// when the key cannot be opened.
void WalkShellFolders(HKEY hive, OnUnreadable unreadable,
                      const std::function<WalkStep(const RegValueItem& value)>& visit);

}  // namespace tarvox
