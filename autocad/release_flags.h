// The installed-release flags behind every overload of GetACReleases and GetACRReleases.
#pragma once

#include <array>

#include "autocad/release_rules.h"

namespace tarvox::autocad {

// The caller's release variables in the order of the exported overloads: 24 AutoCAD LT,
// 24 AutoCAD, 24 Architecture (see ReleaseVariableSlot). A null slot is a release the calling
// overload does not take; the library keeps a zeroed variable of its own in its place.
using AcadReleaseSlots = std::array<long long*, kReleaseVariables>;

// Sets each variable to 1 when a product of its group and release is listed, else 0, and
// reports the selected product (the one setting *selector, else the current product) through
// selected and the three 260-character buffers (each may be null). Returns 1 when any AutoCAD
// or AutoCAD LT product key exists.
int FillAcadReleases(const AcadReleaseSlots& slots, long long*& selected, wchar_t* keyBuf,
                     wchar_t* profileKeyBuf, wchar_t* exeBuf, const long long* selector);

// Raster Design of AutoCAD 2006 to 2012, one variable per release (null for a release the
// overload does not take). A release counts when an AutoCAD product of its base release is
// listed and carries one of the release's Raster Design product codes.
inline constexpr int kRasterReleases = 7;
using RasterReleaseSlots = std::array<long long*, kRasterReleases>;

int FillRasterReleases(const RasterReleaseSlots& slots, long long*& selected, wchar_t* keyBuf,
                       wchar_t* profileKeyBuf, wchar_t* exeBuf, const long long* selector);

}  // namespace tarvox::autocad
