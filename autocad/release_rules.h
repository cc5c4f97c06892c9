// Which release flag an installed product sets: its group (AutoCAD LT, AutoCAD with its
// verticals, Architecture) and its release, found from the product name and its UPIRELEASE
// year. Pure text processing: no system calls.
#pragma once

#include "foundation/text_compare.h"

#include <string_view>

namespace tarvox::autocad {

enum class AcadReleaseGroup { Lt = 0, AutoCad = 1, Architecture = 2 };

// Releases per group: 2000, 2000i, 2002, then 2004 to 2024.
inline constexpr int kReleasesPerGroup = 24;
inline constexpr int kReleaseVariables = 3 * kReleasesPerGroup;

// Release index k of a group's variables: 1 for 2000, 2 for 2000i, 3 for 2002 and
// year - 2000 for 2004 to 2024. 0 stands for no release.
inline constexpr int kRelease2000 = 1;
inline constexpr int kRelease2000i = 2;
inline constexpr int kRelease2002 = 3;
constexpr int ReleaseIndexOfYear(int year) {
    return (year >= 2004 && year <= 2000 + kReleasesPerGroup) ? year - 2000 : 0;
}

// The position of a release's variable in the list of all variables (0-based): the LT
// variables first, then AutoCAD, then Architecture.
constexpr int ReleaseVariableSlot(AcadReleaseGroup group, int releaseIndex) {
    return static_cast<int>(group) * kReleasesPerGroup + releaseIndex - 1;
}

// True when the text occurs in the name, ASCII letters compared ignoring case.
using tarvox::ContainsIgnoringAsciiCase;

// A name without " LT ", " Architecture " and " Raster ": plain AutoCAD or another vertical.
bool IsPlainAcadName(std::wstring_view name);

// The group of a product name: LT for " LT "; Architecture for "Architectural" or
// " Architecture " before an "AutoCAD <year>"; AutoCAD otherwise.
AcadReleaseGroup AcadReleaseGroupOfName(std::wstring_view name);

// The release index a name sets in its group (0 for none). The name is walked from the start;
// at each position the group's rules are tried in order: texts such as "2000i" or " 2012"
// that start there, then the UPIRELEASE years 2018 to 2024 (upiYear, -1 when unknown).
int AcadReleaseIndexOfName(std::wstring_view name, AcadReleaseGroup group, int upiYear);

// Two product codes of one family: at least 25 characters each, equal (ignoring case) in the
// four characters after the first hyphen and in the group after the third; the language
// group between them is not compared.
bool SameProductCodeFamily(std::wstring_view a, std::wstring_view b);

}  // namespace tarvox::autocad
