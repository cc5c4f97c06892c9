// The full path-variable table: every product year of the add-on products, every AutoCAD,
// AutoCAD LT and Architecture release with its roaming folder, the early releases, system and
// shell folders and the rows of an installed Revit extension. Built anew for every expansion.
#pragma once

#include <string>
#include <vector>

// Expands text into out with the full table. out must hold the result: at most the text's
// length plus 512 characters, and the terminator. Returns out (null for a null out).
wchar_t* ExpandAllPathVars(const wchar_t* text, wchar_t* out);

namespace tarvox {

// The table rows in their order (names with percent signs, values); returns the row count.
long long BuildFullPathVarTable(std::vector<std::wstring>& names,
                                std::vector<std::wstring>& values);

// ExpandAllPathVars into a string.
std::wstring ExpandAllPathVars(const wchar_t* text);

// The table of function pointers of "InstallRevitExtension.dll", looked up once per process;
// null when the module or its GetInstaller export is missing.
void* const* GetRevitInstaller();

// The entry of that table that lists the extension's variables: with a null names buffer it
// sets *length to the characters needed; with a buffer it fills it with the names and sets
// *values to the values, both lists of null-terminated strings ending with an empty one.
inline constexpr int kRevitVariablesEntry = 43;
using RevitVariablesFunction = int (*)(wchar_t* names, const wchar_t** values, long long* length);

}  // namespace tarvox
