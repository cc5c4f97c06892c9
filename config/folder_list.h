// Values of a folder list file ("Ordner.ini") are folder paths with path variables: read
// values are handed out expanded, set values are stored with variables.
#pragma once

#include <string>

namespace tarvox {

// True when the file name part of path (after the last backslash) is "Ordner.ini".
bool IsFolderListFile(const std::wstring& path);

// Converts a value of a folder list; false when it cannot be converted, and the value then
// passes unchanged. expand = true replaces the variables by folders, false puts variables in.
using FolderListConversion = bool (*)(const std::wstring& value, bool expand,
                                      std::wstring& converted);

// The conversion the readers use: the compact path-variable table of the process, which the
// path-variable layer installs when the library starts. Setting null leaves nothing converted.
FolderListConversion GetFolderListConversion();
void SetFolderListConversion(FolderListConversion conversion);

}  // namespace tarvox
