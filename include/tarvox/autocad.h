// The AutoCAD an add-on works with: its executable, folder, registry key and current profile,
// and which AutoCAD, AutoCAD LT, Architecture and Raster Design releases are installed.
//
// Two notions of "current" stay apart: GetAcadExe and GetAcadDir without a key follow the
// chain AutoCAD records for the user (CurProd, CurVer, CurVer under HKEY_CURRENT_USER); the
// other functions look at the first product of the release the library has selected ("R23.1"
// unless changed).
#pragma once

#include <tarvox/export.h>

#include <string>

// Full path of the executable ("acad.exe" or "aclt.exe") of the user's current AutoCAD. When
// no installation folder can be read, out is left as it was: pass an empty string to tell.
TARVOX_API const wchar_t* GetAcadExe(std::wstring& out);
// Full path of the executable of a product key ("Software\Autodesk\AutoCAD\R23.1\ACAD-..."),
// relative to HKEY_LOCAL_MACHINE. A null key, or one with fewer than three backslashes, means
// the user's current AutoCAD; a key that does not exist empties out.
TARVOX_API const wchar_t* GetAcadExe(std::wstring& out, const wchar_t* productKey);

// The folder of GetAcadExe, without trailing backslash.
TARVOX_API const wchar_t* GetAcadDir(std::wstring& out);
TARVOX_API const wchar_t* GetAcadDir(std::wstring& out, const wchar_t* productKey);

// Product key of the current product of the selected release, or "".
TARVOX_API const wchar_t* GetAcadKey(std::wstring& out);
// Its current profile key ("<product key>\Profiles\<profile>", relative to
// HKEY_CURRENT_USER), or "".
TARVOX_API const wchar_t* GetAcadProfileKey(std::wstring& out);
// 1 when that product is an AutoCAD LT product.
TARVOX_API int IsAutoCADLT();

#include <tarvox/acad_releases.h>
