#include "autocad/release_rules.h"

#include "autocad/release_catalogue.h"

#include <gtest/gtest.h>

namespace tarvox::autocad {
namespace {

constexpr AcadReleaseGroup kLt = AcadReleaseGroup::Lt;
constexpr AcadReleaseGroup kAcad = AcadReleaseGroup::AutoCad;
constexpr AcadReleaseGroup kArch = AcadReleaseGroup::Architecture;

TEST(ReleaseRules, GroupsOfProductNames) {
    const struct {
        const wchar_t* name;
        AcadReleaseGroup group;
    } cases[] = {{L"AutoCAD LT 2020 - English", kLt},
                 {L"AutoCAD LT", kAcad},  // " LT" at the very end is not the LT word
                 {L"AutoCAD Architecture 2020 - English", kArch},
                 {L"Autodesk Architectural Desktop 3.3", kArch},
                 {L"", kAcad},
                 // The scan ends at "AutoCAD <year>": a later "Architecture" word does not count.
                 {L"AutoCAD 2019 Architecture Toolset", kAcad},
                 {L"AutoCAD 19 Architecture Toolset", kArch}};
    for (const auto& c : cases) EXPECT_EQ(AcadReleaseGroupOfName(c.name), c.group) << c.name;
}

TEST(ReleaseRules, ReleaseIndexOfNamesByGroupAndUpiRelease) {
    const struct {
        const wchar_t* name;
        AcadReleaseGroup group;
        int upiRelease, index;
    } cases[] = {{L"AutoCAD 2000i", kAcad, -1, kRelease2000i},
                 {L"AutoCAD 2000", kAcad, -1, kRelease2000},
                 {L"AutoCAD 2011 - Deutsch", kAcad, -1, 11},
                 // From 2012 on AutoCAD needs the blank before the year; LT does not.
                 {L"AutoCAD-2012", kAcad, -1, 0},
                 {L"AutoCAD LT-2012", kLt, -1, 12},
                 // Years from 2018 on come from UPIRELEASE only.
                 {L"AutoCAD 2019 - English", kAcad, -1, 0},
                 {L"AutoCAD 2019 - English", kAcad, 2019, 19},
                 {L"AutoCAD LT 2024", kLt, 2024, 24},
                 {L"AutoCAD 2025", kAcad, 2025, 0},
                 // The year decides at the first position, before a text later in the name, unless
                 // a text rule fires there already.
                 {L"AutoCAD 2016", kAcad, 2021, 21},
                 {L"2016 AutoCAD", kLt, 2021, 16},
                 // Architecture: versions and years. The blank before a version is the " 2" rule,
                 // tried before "2.0i" one position later.
                 {L"Architectural Desktop v2.0i", kArch, -1, kRelease2000i},
                 {L"Architectural Desktop 2.0i", kArch, -1, kRelease2000},
                 {L"Architectural Desktop 2.0", kArch, -1, kRelease2000},
                 {L"Architectural Desktop 3.3", kArch, -1, kRelease2002},
                 {L"Architectural Desktop 3.0", kArch, -1, kRelease2000i},
                 {L"AutoCAD Architecture 2017", kArch, -1, 17},
                 {L"AutoCAD Architecture 2020", kArch, 2020, 20},
                 // Without UPIRELEASE a later year falls through to the " 2" rule of version 2.
                 {L"AutoCAD Architecture 2020", kArch, -1, kRelease2000},
                 {L"Architecture", kArch, -1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(AcadReleaseIndexOfName(c.name, c.group, c.upiRelease), c.index)
            << c.name << " " << c.upiRelease;
    }
}

TEST(ReleaseRules, PlainNamesProductCodeFamiliesAndReleaseKeysOfYears) {
    EXPECT_TRUE(IsPlainAcadName(L"AutoCAD Mechanical 2019 - English"));
    for (const wchar_t* name :
         {L"AutoCAD Raster Design 2010", L"AutoCAD architecture 2019", L"AutoCAD LT 2019"}) {
        EXPECT_FALSE(IsPlainAcadName(name)) << name;
    }
    const wchar_t* german = L"{5783F2D7-7001-0407-0012-0060B0CE6BBA}";
    EXPECT_TRUE(SameProductCodeFamily(german, L"{00000000-7001-FFFF-0012-0"));
    for (const wchar_t* other :
         {L"{5783F2D7-8001-0407-0012-0060B0CE6BBA}", L"{5783F2D7-7001-0407-0022-0060B0CE6BBA}",
          L"{5783F2D7-7001-0407-0012"}) {
        EXPECT_FALSE(SameProductCodeFamily(german, other)) << other;
    }
    EXPECT_FALSE(SameProductCodeFamily(L"", L""));
    // Years outside the release table fall back to the product year's release.
    EXPECT_STREQ(AcadReleaseKeyForYear(2018), L"R22.0");
    for (int year : {0, 2011, 2023, 9999}) EXPECT_STREQ(AcadReleaseKeyForYear(year), L"R23.1");
}

}  // namespace
}  // namespace tarvox::autocad
