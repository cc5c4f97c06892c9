#include "autocad/release_catalogue.h"

#include <gtest/gtest.h>

namespace tarvox::autocad {
namespace {

TEST(AcadReleaseKeyForYear, MapsEveryTableYear) {
    const struct {
        int year;
        const wchar_t* key;
    } cases[] = {{2012, L"R18.2"}, {2013, L"R19.0"}, {2014, L"R19.1"}, {2015, L"R20.0"},
                 {2016, L"R20.1"}, {2017, L"R21.0"}, {2018, L"R22.0"}, {2019, L"R23.0"},
                 {2020, L"R23.1"}, {2021, L"R24.0"}, {2022, L"R25.0"}};
    for (const auto& c : cases) {
        EXPECT_STREQ(AcadReleaseKeyForYear(c.year), c.key) << c.year;
    }
}

TEST(AcadReleaseKeyForYear, YearsOutsideTheTableFallBackToProductYear) {
    for (int year : {0, -5, 2011, 2023, 2024, 9999}) {
        EXPECT_STREQ(AcadReleaseKeyForYear(year), L"R23.1") << year;
    }
}

TEST(CurrentAcadRelease, StartsAtProductYearAndFollowsSelection) {
    // Each test case runs in a process of its own, so this is the first use.
    EXPECT_EQ(CurrentAcadRelease(), L"R23.1");
    SelectAcadReleaseByYear(2018);
    EXPECT_EQ(CurrentAcadRelease(), L"R22.0");
    SelectAcadReleaseByYear(2024);
    EXPECT_EQ(CurrentAcadRelease(), L"R23.1");
    SelectAcadReleaseByYear(2012);
    CurrentAcadRelease() += L"x";
    EXPECT_EQ(CurrentAcadRelease(), L"R18.2x");
}

}  // namespace
}  // namespace tarvox::autocad
