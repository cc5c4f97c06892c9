// Text comparisons: the fast comparison of ASCII names (exactly the system's answer) and the
// shared binary search.
#include <tarvox/registry.h>

#include "foundation/ascii_collation.h"
#include "foundation/sorted_search.h"
#include "foundation/text_compare.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

using Strings = std::vector<std::wstring>;
using tarvox::SortOrder;

// Equal means equal ignoring case, comparing whole texts.
TEST(FindSortedString, FindsTheFirstOfAnEqualRunOrTheInsertionPosition) {
    const Strings none, letters = {L"b", L"d", L"f", L"h", L"j", L"l", L"n"};
    const Strings vars = {L"%APPDATA%", L"%APPDATA%X", L"%WINDIR%"};
    const struct {
        const wchar_t* text;
        const Strings& sorted;
        int result;
        long long index;
    } rows[] = {{L"x", none, 0, 0},       {L"a", letters, 0, 0},      {L"g", letters, 0, 3},
                {L"o", letters, 0, 7},    {L"%appdata%", vars, 1, 0}, {L"%AppData%x", vars, 1, 1},
                {L"%APPDAT%", vars, 0, 0}};
    for (const auto& row : rows) {
        long long index = -1;
        EXPECT_EQ(FindSortedString(row.text, row.sorted, index), row.result) << row.text;
        EXPECT_EQ(index, row.index) << row.text;
    }
    // Runs of every length at every place, so that the bisection lands inside them.
    for (int before = 0; before < 4; ++before) {
        for (int run = 1; run < 12; ++run) {
            for (int after = 0; after < 4; ++after) {
                Strings sorted(before, L"alpha");
                sorted.insert(sorted.end(), run, L"Mike");
                sorted.insert(sorted.end(), after, L"zulu");
                long long index = -1;
                EXPECT_EQ(FindSortedString(L"MIKE", sorted, index), 1);
                EXPECT_EQ(index, before) << before << "/" << run << "/" << after;
            }
        }
    }
}

SortOrder SystemAnswer(std::wstring_view a, std::wstring_view b) {
    switch (CompareStringW(0x0800, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                           static_cast<int>(b.size()))) {
        case CSTR_LESS_THAN: return SortOrder::Before;
        case CSTR_EQUAL: return SortOrder::Equal;
        case CSTR_GREATER_THAN: return SortOrder::After;
        default: return SortOrder::Failed;
    }
}
SortOrder Ordinal(std::wstring_view a, std::wstring_view b) {
    return a < b ? SortOrder::Before : a > b ? SortOrder::After : SortOrder::Equal;
}
// Text in which "ch" is one letter after "h", as Czech sorts it.
std::wstring CzechUnits(std::wstring text) {
    for (auto at = text.find(L"ch"); at != std::wstring::npos; at = text.find(L"ch", at))
        text.replace(at, 2, L"h\xFFFF");
    return text;
}

// Short texts over an alphabet weighted towards what names hold, with shared prefixes, both
// cases of the same letters, and now and then a hyphen, apostrophe or non-ASCII letter.
std::wstring RandomName(std::mt19937& random, const std::wstring& prefix) {
    static const std::wstring alphabet = L"aAbBzZqQ0159_ .\\/%$!#&()*+,;=@[]^`{|}~\"<>?:mMnN";
    std::wstring text = prefix.substr(0, random() % (prefix.size() + 1));
    const int length = static_cast<int>(random() % 7);
    for (int i = 0; i < length; ++i) {
        switch (random() % 40) {
            case 0: text += L'-'; break;
            case 1: text += L'\''; break;
            case 2: text += L'\x00E4'; break;  // ä
            default: text += alphabet[random() % alphabet.size()];
        }
    }
    return text;
}

TEST(AsciiCollation, AgreesWithTheSystemOnEveryPair) {
    std::mt19937 random(2024);
    int fast = 0;
    const tarvox::AsciiCollation collation(&SystemAnswer);
    for (int i = 0; i < 100000; ++i) {
        const std::wstring a = RandomName(random, L"Support");
        const std::wstring b = RandomName(random, a);
        const SortOrder expected = SystemAnswer(a, b);
        ASSERT_EQ(tarvox::CompareSystemIgnoringCase(a, b), expected)
            << "a=" << testing::PrintToString(a) << " b=" << testing::PrintToString(b);
        if (const auto answer = collation.Compare(a, b)) {
            ++fast;
            ASSERT_EQ(*answer, expected);
        }
    }
    // Most of these pairs are plain ASCII: the table must have been learnt.
    EXPECT_GT(fast, 50000);
}

TEST(AsciiCollation, AnOrderItCannotTrustLeavesEverythingToTheSystem) {
    // Every character equal to every other: the table must refuse rather than answer "Equal".
    const tarvox::AsciiCollation allEqual(
        [](std::wstring_view, std::wstring_view) { return SortOrder::Equal; });
    EXPECT_EQ(allEqual.Compare(L"abc", L"xyz"), std::nullopt);
    const tarvox::AsciiCollation failing(
        [](std::wstring_view, std::wstring_view) { return SortOrder::Failed; });
    EXPECT_EQ(failing.Compare(L"abc", L"abc"), std::nullopt);
    // Plain code-unit order is a valid order: uppercase and lowercase then differ.
    EXPECT_EQ(tarvox::AsciiCollation(&Ordinal).Compare(L"B", L"a"), SortOrder::Before);
    // An order that takes "ch" as one letter is refused.
    const tarvox::AsciiCollation czech([](std::wstring_view a, std::wstring_view b) {
        return Ordinal(CzechUnits(std::wstring(a)), CzechUnits(std::wstring(b)));
    });
    EXPECT_EQ(czech.Compare(L"abc", L"abd"), std::nullopt);
}

}  // namespace
