// Per-release AutoCAD folders, the current user's support path, and finding a file the way
// AutoCAD does.
#pragma once

#include <tarvox/export.h>

#include <string>
#include <vector>

#include <tarvox/acad_folders_by_year.h>

extern "C" {
// The installation folders of the products of a year's release (years outside 2012 to 2022
// look at "R23.1"), by product type: AutoCAD LT, AutoCAD, Architecture, Electrical, Civil.
// AutoCAD LT is never listed, so its buffer keeps its text, like every buffer whose type is
// not installed. Any buffer may be null. Returns 1 when a folder was found.
TARVOX_API int GetAcadDirs(long long year, wchar_t* lt, wchar_t* acad, wchar_t* arch,
                           wchar_t* electrical, wchar_t* civil);
// The same with the user's roaming folder ("RoamableRootFolder") of each product.
TARVOX_API int GetAcadRoamableDirs(long long year, wchar_t* lt, wchar_t* acad, wchar_t* arch,
                                   wchar_t* electrical, wchar_t* civil);
}

// The roaming folder of the current AutoCAD product; with allUsers 1 the same folder below the
// all-users application data ("%Common AppData%") instead of the user's ("%AppData%").
TARVOX_API const wchar_t* GetAutoCADAppDataDir(std::wstring& out, int allUsers);

// Appends the folders of the current profile's support path (each ending in a backslash, path
// variables expanded, no duplicates); with allProfiles 1 those of every profile of the
// product. Returns 1 when the array is not empty.
TARVOX_API int GetAcadSupportPath(std::vector<std::wstring>& folders);
TARVOX_API int GetAcadSupportPath(std::vector<std::wstring>& folders, int allProfiles);

// Looks for a file in the AutoCAD folder, then along the support path. 1 when found, with its
// full path in path.
TARVOX_API int AcadFindFile(const wchar_t* name);
TARVOX_API int AcadFindFile(const wchar_t* name, std::wstring& path);
