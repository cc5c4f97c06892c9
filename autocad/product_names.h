// Classifying AutoCAD product names and building the keys products are sorted by. Pure text
// processing: no system calls.
#pragma once

#include <string>

namespace tarvox::autocad {

// Product type codes of GetAcadProductType.
inline constexpr int kAcadTypeLt = 0;
inline constexpr int kAcadTypePlain = 1;
inline constexpr int kAcadTypeArchitecture = 2;
inline constexpr int kAcadTypeElectrical = 3;
inline constexpr int kAcadTypeCivil = 4;
inline constexpr int kAcadTypeNoName = 99;

// The product type of a name: the first of " LT", " Architecture", " Civil", " Elec" found
// scanning from the start decides; none gives plain AutoCAD; a null or empty name gives 99.
int GetAcadProductType(const wchar_t* name);

// The three-character vertical code of a product name ("000" Architecture ... "999" other).
std::wstring AcadVerticalCode(const std::wstring& name);

// The sort key of a product: a 20-character release field taken from the last component of
// the release key path, the vertical code and the name padded to 128 characters. Without a
// name the key is the release field and 128 spaces. An unusable path gives an empty key.
std::wstring MakeAcadProductSortKey(const wchar_t* releaseKeyPath, const wchar_t* productName,
                                    bool isLt);

// 1 for the name of plain AutoCAD of the years 2010 to 2020 ("AutoCAD 2019" or
// "AutoCAD 2019 - English"). Names holding " LT ", " Architecture " or
// " Architectural Desktop " give 0 and set ltOrArchitecture to 1.
int IsPureAcadName(const wchar_t* name, int* ltOrArchitecture);

}  // namespace tarvox::autocad
