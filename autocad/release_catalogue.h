// The AutoCAD releases the library knows: the year table, the library's own product year and
// the process-wide release whose current product is preferred when products are listed.
#pragma once

#include "foundation/product_identity.h"

#include <string>

namespace tarvox::autocad {

// The library's own product year: the fallback year of the table and the newest year that
// may appear in the installation folder of a listed product.
using tarvox::ProductYear;

// The release key ("R23.1") of a year; years outside the table give the key of ProductYear.
// Pure table lookup, no system calls.
const wchar_t* AcadReleaseKeyForYear(int year);

// The shared release key, created on first use with the key of ProductYear. Creation is
// thread-safe; later reads and writes are not synchronised.
std::wstring& CurrentAcadRelease();

// Replaces CurrentAcadRelease by the release key of a year.
void SelectAcadReleaseByYear(int year);

}  // namespace tarvox::autocad
