#include "autocad/product_names.h"

#include <gtest/gtest.h>

namespace tarvox::autocad {
namespace {

TEST(ProductNames, TypeByTheFirstWordFoundAndVerticalCodeByTheFirstTableWord) {
    const std::pair<const wchar_t*, int> types[] = {
        {nullptr, 99},
        {L"", 99},
        {L"AutoCAD 2020", 1},
        {L"autocad lt 2020", 0},
        {L"AutoCAD Architecture 2020", 2},
        // Position decides, not the order of the words; the leading space is part of the word.
        {L"AutoCAD Civil Architecture", 4},
        {L"AutoCAD Elec LT", 3},
        {L"CivilCAD", 1}};
    for (const auto& [name, type] : types)
        EXPECT_EQ(GetAcadProductType(name), type) << (name ? name : L"null");
    // Raster Design names hold "AutoCAD" too: the earlier table word wins.
    const std::pair<const wchar_t*, const wchar_t*> codes[] = {
        {L"AutoCAD Architecture 2020", L"000"},
        {L"AutoCAD Raster Design 2020", L"555"},
        {L"autocad 2020", L"444"},
        {L"Map 3D", L"999"}};
    for (const auto& [name, code] : codes) EXPECT_EQ(AcadVerticalCode(name), code) << name;
}

TEST(MakeAcadProductSortKey, ReleaseFieldVerticalCodePaddedNameAndOrder) {
    const std::wstring spaces(128, L' ');
    const struct {
        const wchar_t* key;
        bool lt;
        std::wstring sortKey;
    } cases[] = {{L"Software\\Autodesk\\AutoCAD\\R23.1", false, L"1000000023.100000000" + spaces},
                 {L"X\\R23.1", true, L"9000000023.100000000" + spaces},
                 {L"\\R24", false, L"1000000024.000000000" + spaces},
                 {L"R23.1", false, L""},
                 {L"R23\\Release", false, L""},
                 {nullptr, false, L""},
                 // Found by fuzzing: a release key with a long fraction still gives a field of
                 // exactly 20 characters, so the vertical code and the name stay in their places.
                 {L"\\R23.01840901308405", false, L"1000000023.018409013" + spaces}};
    for (const auto& c : cases) EXPECT_EQ(MakeAcadProductSortKey(c.key, nullptr, c.lt), c.sortKey);
    // ... and so does a long integer part.
    EXPECT_EQ(
        MakeAcadProductSortKey(L"\\R123456789012345678901", L"AutoCAD 2020", false).substr(0, 24),
        L"12345678901234567890444A");
    EXPECT_EQ(MakeAcadProductSortKey(L"A\\R23.0", L"AutoCAD Mechanical 2019", false),
              L"1000000023.000000000333AutoCAD Mechanical 2019" + std::wstring(128 - 23, L' '));
    const std::wstring longName(140, L'n');
    EXPECT_EQ(MakeAcadProductSortKey(L"A\\R23.0", longName.c_str(), false),
              L"1000000023.000000000999" + longName);

    // LT after AutoCAD, releases ascending, Architecture before plain AutoCAD.
    EXPECT_LT(MakeAcadProductSortKey(L"A\\R22.0", L"AutoCAD Architecture 2018", false),
              MakeAcadProductSortKey(L"A\\R22.0", L"AutoCAD 2018", false));
    EXPECT_LT(MakeAcadProductSortKey(L"A\\R22.0", L"AutoCAD 2018", false),
              MakeAcadProductSortKey(L"A\\R24.0", L"AutoCAD 2021", false));
    EXPECT_LT(MakeAcadProductSortKey(L"A\\R24.0", L"AutoCAD 2021", false),
              MakeAcadProductSortKey(L"A\\R22.0", L"AutoCAD LT 2018", true));
}

TEST(IsPureAcadName, PlainNamesOfTheKnownYearsAndTheLtOrArchitectureFlag) {
    const struct {
        const wchar_t* name;
        int pure, flag;
    } cases[] = {{L"AutoCAD 2020", 1, 0},
                 {L"autocad 2010 - English", 1, 0},
                 {L"AutoCAD 2021", 0, 0},
                 {L"", 0, 0},
                 {nullptr, 0, 0},
                 {L"AutoCAD LT 2020", 0, 1},
                 // The words need a space on both sides.
                 {L"AutoCAD LT", 0, 0}};
    for (const auto& c : cases) {
        int flag = 7;
        EXPECT_EQ(IsPureAcadName(c.name, &flag), c.pure) << (c.name ? c.name : L"null");
        EXPECT_EQ(flag, c.flag) << (c.name ? c.name : L"null");
    }
}

}  // namespace
}  // namespace tarvox::autocad
