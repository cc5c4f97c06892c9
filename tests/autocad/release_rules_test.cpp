#include "autocad/release_rules.h"

#include <gtest/gtest.h>

namespace tarvox::autocad {
namespace {

constexpr AcadReleaseGroup kLt = AcadReleaseGroup::Lt;
constexpr AcadReleaseGroup kAcad = AcadReleaseGroup::AutoCad;
constexpr AcadReleaseGroup kArch = AcadReleaseGroup::Architecture;

TEST(ReleaseRules, GroupsOfProductNames) {
    EXPECT_EQ(AcadReleaseGroupOfName(L"AutoCAD LT 2020 - English"), kLt);
    EXPECT_EQ(AcadReleaseGroupOfName(L"AutoCAD lt 2012 "), kLt);
    // " LT" at the very end is not the LT word.
    EXPECT_EQ(AcadReleaseGroupOfName(L"AutoCAD LT"), kAcad);
    EXPECT_EQ(AcadReleaseGroupOfName(L"AutoCAD Architecture 2020 - English"), kArch);
    EXPECT_EQ(AcadReleaseGroupOfName(L"Autodesk Architectural Desktop 3.3"), kArch);
    EXPECT_EQ(AcadReleaseGroupOfName(L"AutoCAD Mechanical 2020 - English"), kAcad);
    // The scan ends at "AutoCAD <year>": a later "Architecture" word does not count.
    EXPECT_EQ(AcadReleaseGroupOfName(L"AutoCAD 2019 Architecture Toolset"), kAcad);
    EXPECT_EQ(AcadReleaseGroupOfName(L"AutoCAD 19 Architecture Toolset"), kArch);
    EXPECT_EQ(AcadReleaseGroupOfName(L""), kAcad);
}

TEST(ReleaseRules, TextRulesOfEachGroup) {
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD 2000i", kAcad, -1), kRelease2000i);
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD 2000", kAcad, -1), kRelease2000);
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD 2002", kAcad, -1), kRelease2002);
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD 2011 - Deutsch", kAcad, -1), 11);
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD 2016 - English", kAcad, -1), 16);
    // From 2012 on AutoCAD needs the blank before the year; LT does not.
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD-2012", kAcad, -1), 0);
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD LT-2012", kLt, -1), 12);
    // Years from 2018 on come from UPIRELEASE only.
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD 2019 - English", kAcad, -1), 0);
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD 2019 - English", kAcad, 2019), 19);
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD LT 2024", kLt, 2024), 24);
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD 2025", kAcad, 2025), 0);
    // The year decides at the first position, before a text later in the name.
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD 2016", kAcad, 2021), 21);
    // ... unless a text rule fires there already.
    EXPECT_EQ(AcadReleaseIndexOfName(L"2016 AutoCAD", kLt, 2021), 16);
}

TEST(ReleaseRules, ArchitectureVersionsAndYears) {
    EXPECT_EQ(AcadReleaseIndexOfName(L"Architectural Desktop v2.0i", kArch, -1), kRelease2000i);
    // The blank before a version is the " 2" rule, tried before "2.0i" one position later.
    EXPECT_EQ(AcadReleaseIndexOfName(L"Architectural Desktop 2.0i", kArch, -1), kRelease2000);
    EXPECT_EQ(AcadReleaseIndexOfName(L"Architectural Desktop 2.0", kArch, -1), kRelease2000);
    EXPECT_EQ(AcadReleaseIndexOfName(L"Architectural Desktop 3.3", kArch, -1), kRelease2002);
    EXPECT_EQ(AcadReleaseIndexOfName(L"Architectural Desktop 3.0", kArch, -1), kRelease2000i);
    EXPECT_EQ(AcadReleaseIndexOfName(L"Autodesk Architectural Desktop 2006", kArch, -1), 6);
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD Architecture 2017", kArch, -1), 17);
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD Architecture 2020", kArch, 2020), 20);
    // Without UPIRELEASE a later year falls through to the " 2" rule of version 2.
    EXPECT_EQ(AcadReleaseIndexOfName(L"AutoCAD Architecture 2020", kArch, -1), kRelease2000);
    EXPECT_EQ(AcadReleaseIndexOfName(L"Architecture", kArch, -1), 0);
}

TEST(ReleaseRules, PlainNames) {
    EXPECT_TRUE(IsPlainAcadName(L"AutoCAD 2019 - English"));
    EXPECT_TRUE(IsPlainAcadName(L"AutoCAD Mechanical 2019 - English"));
    EXPECT_FALSE(IsPlainAcadName(L"AutoCAD Raster Design 2010"));
    EXPECT_FALSE(IsPlainAcadName(L"AutoCAD architecture 2019"));
    EXPECT_FALSE(IsPlainAcadName(L"AutoCAD LT 2019"));
}

TEST(ReleaseRules, ProductCodeFamilies) {
    const wchar_t* german = L"{5783F2D7-7001-0407-0012-0060B0CE6BBA}";
    EXPECT_TRUE(SameProductCodeFamily(german, L"{5783f2d7-7001-0409-0012-0060B0CE6BBA}"));
    EXPECT_TRUE(SameProductCodeFamily(german, L"{00000000-7001-FFFF-0012-0"));
    EXPECT_FALSE(SameProductCodeFamily(german, L"{5783F2D7-8001-0407-0012-0060B0CE6BBA}"));
    EXPECT_FALSE(SameProductCodeFamily(german, L"{5783F2D7-7001-0407-0022-0060B0CE6BBA}"));
    EXPECT_FALSE(SameProductCodeFamily(german, L"{5783F2D7-7001-0407-0012"));
    EXPECT_FALSE(SameProductCodeFamily(L"", L""));
}

}  // namespace
}  // namespace tarvox::autocad
