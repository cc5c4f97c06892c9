// The installed AutoCAD products as three parallel lists, and the true-case form of a path.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tarvox::autocad {

// Rewrites each component of a path into the case the file system stores. Returns the length
// of the result, 0 when it does not fit into capacity characters with its terminator, or the
// length plus one for a null buffer.
std::size_t GetTrueCasePath(const wchar_t* path, wchar_t* out, std::size_t capacity);

// Names, product keys (relative to HKEY_LOCAL_MACHINE) and installation folders of the
// installed products in the order of ListAcadProductKeys for CurrentAcadRelease. Products
// whose keys or names can't be read, or whose folder names a year after ProductYear, are left
// out. current is 0 when the first product has a folder, else -1. Returns 1 when product keys
// were found.
int ListInstalledAcads(std::vector<std::wstring>& names, std::vector<std::wstring>& keys,
                       std::vector<std::wstring>& locations, long long& current);

}  // namespace tarvox::autocad
