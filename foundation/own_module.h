// The module that holds the library's code: tarvox.dll, or a program the core is linked into.
#pragma once

#include <windows.h>

#include <string>

namespace tarvox {

// Full file name of a loaded module (null: the program); "" when it cannot be told.
std::wstring ModuleFileName(HMODULE module);

// Full file name of the module that holds the library; "" when it cannot be told.
std::wstring OwnModulePath();

// Its folder, ending in a backslash; "" when it cannot be told.
std::wstring OwnModuleFolder();

// Full file name of the running program (the process executable).
std::wstring ProgramPath();

}  // namespace tarvox
