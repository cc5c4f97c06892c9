// GetAutoCADAppDataDir for all users takes the application-data folders from the full
// path-variable table. That table is built above AutoCAD discovery (it lists the folders of
// every release), so the layer that builds it installs its expansion when the library starts.
#pragma once

#include <string>

namespace tarvox::autocad {

// text with its variables expanded by the full table.
using FullExpansion = std::wstring (*)(const wchar_t* text);

// Null until installed: the folder for all users is then not found.
void SetFullExpansion(FullExpansion expansion);

}  // namespace tarvox::autocad
