// Listing the AutoCAD and AutoCAD LT product keys of the machine, in the order the library
// prefers them, and reading the release year of one product.
#pragma once

#include <string>
#include <vector>

namespace tarvox::autocad {

// Fills keys with product key paths relative to HKEY_LOCAL_MACHINE: first the user's current
// AutoCAD product (CurVer) of the release, then the other AutoCAD products of that release,
// then all others by sort key. A null or empty release means CurrentAcadRelease. Returns 1
// when at least one key was listed.
int ListAcadProductKeys(std::vector<std::wstring>& keys, const wchar_t* releaseKey);

// The UPIRELEASE year of a product key (relative to HKEY_LOCAL_MACHINE), or -1.
int GetAcadUpiRelease(const wchar_t* productKey);

}  // namespace tarvox::autocad
