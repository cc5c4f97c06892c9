// Which path PathExists looks up: the text rules, without touching the file system.
#pragma once

#include <string>
#include <string_view>

namespace tarvox {

// A path that begins with "\\", has ":" as its second character, or begins with ".\" or "..\".
bool IsQualifiedPath(std::wstring_view path);

// The text handed to the file system for a PathExists test: a qualified path loses a trailing
// backslash unless that backslash follows ":" or another backslash.
std::wstring PathToTest(std::wstring_view path);

}  // namespace tarvox
