// Helper modules of the product family and the shared file test.
//
// The configuration module CfgKern and the CUIX module CuixPort each hand out their services
// as a table of function pointers returned by their entry point GetExportsObject. The
// bindings below find the modules once per process; when a module or its entry point is
// missing they return an empty table (every slot null), so every operation that needs the
// module fails instead of crashing.
#pragma once

#include <tarvox/export.h>

#include <windows.h>

// The CfgKern exports table. CfgKern is only looked up among the modules already loaded
// ("cfgkern.dll", then once "cfgkernx86.dll"); it is never loaded here. reload = 1 resolves
// the module and its entry point again.
TARVOX_API long long GetCfgKernExports(int reload);

// The CuixPort exports table. "CUIXPORT.dll" is taken from the loaded modules, or loaded
// from "cuixport.dll" beside the module that holds this library.
TARVOX_API long long GetCuixExports(int reload);

// GetProcAddress that, when the entry point is missing, appends "<module path>;<name>\r\n" to
// "!!!!!!!GetProcAddressFailures.txt" in the temporary folder, but only when that file already
// exists: creating an empty file of that name switches the log on.
TARVOX_API FARPROC GetProcAddressLogged(HMODULE module, const char* name);
TARVOX_API FARPROC GetProcAddressLogged(HMODULE module, const wchar_t* name);

// 1 when the path names an existing file. With isFolder given, 1 for an existing file or
// folder and *isFolder tells which (1 folder, 0 file). A qualified path ending in a backslash
// is tested without it, unless that backslash follows ":" or another backslash.
TARVOX_API int PathExists(const wchar_t* path, int* isFolder = nullptr);
