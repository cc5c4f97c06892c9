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

// Records release (such as "R23.1") as the user's current AutoCAD release. When the add-on is
// enabled in products of the selected release, the enabled product that is the user's current
// one, or else the first enabled one, becomes the product AutoCAD starts next. Returns 1 when
// the release was recorded (or, in the second case, when that product was made current).
TARVOX_API int SetAcadVersion(const wchar_t* release);

#include <tarvox/acad_folders.h>
#include <tarvox/acad_releases.h>
