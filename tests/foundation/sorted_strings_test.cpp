// The shared binary search: first of an equal run, insertion positions, case and locale.
#include <tarvox/registry.h>

#include "foundation/sorted_search.h"
#include "foundation/text_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using Strings = std::vector<std::wstring>;

long long Find(const wchar_t* text, const Strings& sorted, int& result) {
    long long index = -1;
    result = FindSortedString(text, sorted, index);
    return index;
}

TEST(FindSortedString, EmptyArrayGivesInsertionAtZero) {
    int result = -1;
    EXPECT_EQ(Find(L"x", {}, result), 0);
    EXPECT_EQ(result, 0);
}

TEST(FindSortedString, FoundNamesTheFirstOfARunOfEqualEntries) {
    // Runs of every length at every place, so that the bisection lands inside them.
    for (int before = 0; before < 4; ++before) {
        for (int run = 1; run < 12; ++run) {
            for (int after = 0; after < 4; ++after) {
                Strings sorted(before, L"alpha");
                sorted.insert(sorted.end(), run, L"Mike");
                sorted.insert(sorted.end(), after, L"zulu");
                int result = 0;
                EXPECT_EQ(Find(L"MIKE", sorted, result), before)
                    << before << "/" << run << "/" << after;
                EXPECT_EQ(result, 1);
            }
        }
    }
}

TEST(FindSortedString, NotFoundGivesThePositionThatKeepsTheArraySorted) {
    const Strings sorted = {L"b", L"d", L"f", L"h", L"j", L"l", L"n"};
    const wchar_t* probes[] = {L"a", L"c", L"e", L"g", L"i", L"k", L"m", L"o"};
    for (long long expected = 0; expected < 8; ++expected) {
        int result = -1;
        EXPECT_EQ(Find(probes[expected], sorted, result), expected) << probes[expected];
        EXPECT_EQ(result, 0);
    }
}

TEST(FindSortedString, IgnoresCaseAndComparesWholeTexts) {
    const Strings sorted = {L"%APPDATA%", L"%APPDATA%X", L"%WINDIR%"};
    int result = 0;
    EXPECT_EQ(Find(L"%appdata%", sorted, result), 0);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Find(L"%AppData%x", sorted, result), 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Find(L"%APPDAT%", sorted, result), 0);
    EXPECT_EQ(result, 0);
}

// The kinds of case-insensitive equality differ beyond ASCII letters.
TEST(TextCompare, TheKindsOfEqualityIgnoringCase) {
    const struct {
        const wchar_t* a;
        const wchar_t* b;
        bool ascii, ordinal, system, ordinalPrefix;
    } rows[] = {
        {L"RCDATA", L"rcdata", true, true, true, true},
        {L"\u00C4rger", L"\u00E4RGER", false, true, true, true},  // A and a with diaeresis
        {L"Settings", L"SETTING", false, false, false, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(tarvox::EqualsIgnoringAsciiCase(row.a, row.b), row.ascii) << row.a;
        EXPECT_EQ(tarvox::EqualsIgnoringCaseOrdinal(row.a, row.b), row.ordinal) << row.a;
        EXPECT_EQ(tarvox::CompareSystemIgnoringCase(row.a, row.b) == tarvox::SortOrder::Equal,
                  row.system)
            << row.a;
        EXPECT_EQ(tarvox::StartsWithIgnoringCaseOrdinal(row.a, row.b), row.ordinalPrefix) << row.a;
    }
}

TEST(FindSortedString, MaintainsASortedArrayWhenInsertingAtTheReturnedIndex) {
    std::mt19937 random(7);
    const wchar_t* words[] = {L"Support",    L"support",  L"Fonts", L"ÄPFEL",  L"apfel", L"Zebra",
                              L"zeta",       L"Öl",       L"ol",    L"_under", L"123",   L"Help",
                              L"help files", L"Profiles", L"R23.1", L"R24.0",  L"r24.0", L""};
    Strings sorted;
    for (int i = 0; i < 400; ++i) {
        const wchar_t* word = words[random() % std::size(words)];
        long long index = 0;
        if (FindSortedString(word, sorted, index)) ++index;  // equal entries go after the first
        sorted.insert(sorted.begin() + index, word);
    }
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        EXPECT_NE(tarvox::CompareSystemIgnoringCase(sorted[i - 1], sorted[i]),
                  tarvox::SortOrder::After)
            << "at " << i;
    }
}

TEST(SearchSorted, StopsAtTheLowBoundWhenAComparisonFails) {
    std::size_t index = 99;
    const bool found = tarvox::SearchSorted(
        5, [](std::size_t) { return tarvox::SortOrder::Failed; }, index);
    EXPECT_FALSE(found);
    EXPECT_EQ(index, 0u);
}

TEST(SearchSorted, WorksWithAPlainComparison) {
    const std::vector<int> numbers = {1, 3, 3, 3, 5, 8, 8, 13};
    auto at = [&](int wanted) {
        return [&numbers, wanted](std::size_t i) {
            return wanted < numbers[i]   ? tarvox::SortOrder::Before
                   : wanted > numbers[i] ? tarvox::SortOrder::After
                                         : tarvox::SortOrder::Equal;
        };
    };
    std::size_t index = 0;
    EXPECT_TRUE(tarvox::SearchSorted(numbers.size(), at(3), index));
    EXPECT_EQ(index, 1u);
    EXPECT_TRUE(tarvox::SearchSorted(numbers.size(), at(8), index));
    EXPECT_EQ(index, 5u);
    EXPECT_FALSE(tarvox::SearchSorted(numbers.size(), at(20), index));
    EXPECT_EQ(index, numbers.size());
    EXPECT_FALSE(tarvox::SearchSorted(numbers.size(), at(0), index));
    EXPECT_EQ(index, 0u);
    EXPECT_FALSE(tarvox::SearchSorted(numbers.size(), at(6), index));
    EXPECT_EQ(index, 5u);
}

}  // namespace
