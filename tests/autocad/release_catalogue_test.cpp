#include "autocad/release_catalogue.h"

#include <gtest/gtest.h>

namespace tarvox::autocad {
namespace {

// The table's first, a middle and its last year; years outside it fall back to the product year.
TEST(AcadReleaseKeyForYear, TableYearsAndFallBackToProductYear) {
    const struct {
        int year;
        const wchar_t* key;
    } cases[] = {{2012, L"R18.2"}, {2018, L"R22.0"}, {2022, L"R25.0"},
                 {0, L"R23.1"},    {-5, L"R23.1"},   {2011, L"R23.1"},
                 {2023, L"R23.1"}, {2024, L"R23.1"}, {9999, L"R23.1"}};
    for (const auto& c : cases) EXPECT_STREQ(AcadReleaseKeyForYear(c.year), c.key) << c.year;
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
