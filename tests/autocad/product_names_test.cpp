#include "autocad/product_names.h"

#include <gtest/gtest.h>

namespace tarvox::autocad {
namespace {

TEST(GetAcadProductType, FirstWordFoundDecides) {
    EXPECT_EQ(GetAcadProductType(nullptr), 99);
    EXPECT_EQ(GetAcadProductType(L""), 99);
    EXPECT_EQ(GetAcadProductType(L"AutoCAD 2020"), 1);
    EXPECT_EQ(GetAcadProductType(L"AutoCAD LT 2020"), 0);
    EXPECT_EQ(GetAcadProductType(L"autocad lt 2020"), 0);
    EXPECT_EQ(GetAcadProductType(L"AutoCAD Architecture 2020"), 2);
    EXPECT_EQ(GetAcadProductType(L"AutoCAD Civil 3D 2020"), 4);
    EXPECT_EQ(GetAcadProductType(L"AutoCAD Electrical 2020"), 3);
    // Position decides, not the order of the words.
    EXPECT_EQ(GetAcadProductType(L"AutoCAD Civil Architecture"), 4);
    EXPECT_EQ(GetAcadProductType(L"AutoCAD Elec LT"), 3);
    // The leading space is part of the word.
    EXPECT_EQ(GetAcadProductType(L"CivilCAD"), 1);
}

TEST(AcadVerticalCode, TableOrderAndFallback) {
    EXPECT_EQ(AcadVerticalCode(L"AutoCAD Architecture 2020"), L"000");
    EXPECT_EQ(AcadVerticalCode(L"AutoCAD MEP 2020"), L"111");
    EXPECT_EQ(AcadVerticalCode(L"AutoCAD Civil 3D 2020"), L"222");
    EXPECT_EQ(AcadVerticalCode(L"AutoCAD Mechanical 2020"), L"333");
    EXPECT_EQ(AcadVerticalCode(L"AutoCAD Raster Design 2020"), L"555");
    EXPECT_EQ(AcadVerticalCode(L"autocad 2020"), L"444");
    EXPECT_EQ(AcadVerticalCode(L"Map 3D"), L"999");
    EXPECT_EQ(AcadVerticalCode(L""), L"999");
}

TEST(MakeAcadProductSortKey, ReleaseField) {
    const std::wstring spaces(128, L' ');
    EXPECT_EQ(MakeAcadProductSortKey(L"Software\\Autodesk\\AutoCAD\\R23.1", nullptr, false),
              L"1000000023.100000000" + spaces);
    EXPECT_EQ(MakeAcadProductSortKey(L"X\\R23.1", nullptr, true),
              L"9000000023.100000000" + spaces);
    EXPECT_EQ(MakeAcadProductSortKey(L"\\R24", nullptr, false), L"1000000024.000000000" + spaces);
    EXPECT_EQ(MakeAcadProductSortKey(L"\\R9.12", nullptr, false),
              L"1000000009.120000000" + spaces);
    EXPECT_EQ(MakeAcadProductSortKey(L"R23.1", nullptr, false), L"");
    EXPECT_EQ(MakeAcadProductSortKey(L"R23\\Release", nullptr, false), L"");
    EXPECT_EQ(MakeAcadProductSortKey(nullptr, nullptr, false), L"");
    // Found by fuzzing: a release key with a long fraction or integer part still gives a field
    // of exactly 20 characters, so the vertical code and the name stay in their places.
    EXPECT_EQ(MakeAcadProductSortKey(L"\\R23.01840901308405", nullptr, false),
              L"1000000023.018409013" + spaces);
    EXPECT_EQ(MakeAcadProductSortKey(L"\\R123456789012345678901", L"AutoCAD 2020", false).substr(0, 24),
              L"12345678901234567890" L"444A");
}

TEST(MakeAcadProductSortKey, VerticalCodeAndPaddedName) {
    const std::wstring key =
        MakeAcadProductSortKey(L"A\\R23.0", L"AutoCAD Mechanical 2019", false);
    ASSERT_EQ(key.size(), 20u + 3u + 128u);
    EXPECT_EQ(key.substr(0, 20), L"1000000023.000000000");
    EXPECT_EQ(key.substr(20, 3), L"333");
    EXPECT_EQ(key.substr(23, 23), L"AutoCAD Mechanical 2019");
    EXPECT_EQ(key.find_first_not_of(L' ', 46), std::wstring::npos);

    const std::wstring longName(140, L'n');
    EXPECT_EQ(MakeAcadProductSortKey(L"A\\R23.0", longName.c_str(), false),
              L"1000000023.000000000999" + longName);
}

TEST(MakeAcadProductSortKey, OrdersLtAfterAutoCadAndReleasesAscending) {
    const std::wstring lt = MakeAcadProductSortKey(L"A\\R22.0", L"AutoCAD LT 2018", true);
    const std::wstring acad24 = MakeAcadProductSortKey(L"A\\R24.0", L"AutoCAD 2021", false);
    const std::wstring acad22 = MakeAcadProductSortKey(L"A\\R22.0", L"AutoCAD 2018", false);
    const std::wstring arch22 =
        MakeAcadProductSortKey(L"A\\R22.0", L"AutoCAD Architecture 2018", false);
    EXPECT_LT(arch22, acad22);
    EXPECT_LT(acad22, acad24);
    EXPECT_LT(acad24, lt);
}

TEST(IsPureAcadName, PlainNamesOfTheKnownYears) {
    int flag = 7;
    EXPECT_EQ(IsPureAcadName(L"AutoCAD 2020", &flag), 1);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(IsPureAcadName(L"autocad 2010 - English", &flag), 1);
    EXPECT_EQ(IsPureAcadName(L"AutoCAD 2021", &flag), 0);
    EXPECT_EQ(IsPureAcadName(L"AutoCAD 2009", &flag), 0);
    EXPECT_EQ(IsPureAcadName(L"AutoCAD 2019 English", &flag), 0);
    EXPECT_EQ(IsPureAcadName(L"AutoCAD Mechanical 2019", &flag), 0);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(IsPureAcadName(L"", &flag), 0);
    EXPECT_EQ(IsPureAcadName(nullptr, &flag), 0);
}

TEST(IsPureAcadName, LtAndArchitectureWordsSetTheFlag) {
    for (const wchar_t* name : {L"AutoCAD LT 2020", L"AutoCAD Architecture 2020",
                                L"AutoCAD Architectural Desktop 2006", L"x architecture y"}) {
        int flag = 0;
        EXPECT_EQ(IsPureAcadName(name, &flag), 0) << name;
        EXPECT_EQ(flag, 1) << name;
    }
    int flag = 0;
    // The words need a space on both sides.
    EXPECT_EQ(IsPureAcadName(L"AutoCAD LT", &flag), 0);
    EXPECT_EQ(flag, 0);
}

}  // namespace
}  // namespace tarvox::autocad
