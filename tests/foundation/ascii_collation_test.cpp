// The fast comparison of ASCII names must give exactly the system's answer.
#include "foundation/ascii_collation.h"
#include "foundation/text_compare.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>

namespace {

using tarvox::SortOrder;

SortOrder SystemAnswer(const std::wstring& a, const std::wstring& b) {
    switch (CompareStringW(0x0800, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                           static_cast<int>(b.size()))) {
        case CSTR_LESS_THAN: return SortOrder::Before;
        case CSTR_EQUAL: return SortOrder::Equal;
        case CSTR_GREATER_THAN: return SortOrder::After;
        default: return SortOrder::Failed;
    }
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
    const tarvox::AsciiCollation collation([](std::wstring_view a, std::wstring_view b) {
        return SystemAnswer(std::wstring(a), std::wstring(b));
    });
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

TEST(AsciiCollation, CaseIsIgnoredAndPrefixesComeFirst) {
    const tarvox::AsciiCollation collation([](std::wstring_view a, std::wstring_view b) {
        return SystemAnswer(std::wstring(a), std::wstring(b));
    });
    EXPECT_EQ(collation.Compare(L"ACAD", L"acad"), SortOrder::Equal);
    EXPECT_EQ(collation.Compare(L"acad", L"ACAD2020"), SortOrder::Before);
    EXPECT_EQ(collation.Compare(L"Zebra", L"apfel"), SortOrder::After);
    EXPECT_EQ(collation.Compare(L"co-op", L"coop"), std::nullopt);
    EXPECT_EQ(collation.Compare(L"\x00C4pfel", L"Apfel"), std::nullopt);
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
    const tarvox::AsciiCollation ordinal([](std::wstring_view a, std::wstring_view b) {
        return a < b ? SortOrder::Before : a > b ? SortOrder::After : SortOrder::Equal;
    });
    EXPECT_EQ(ordinal.Compare(L"B", L"a"), SortOrder::Before);
    // An order that takes "ch" as one letter after "h" (as Czech does) is refused.
    const tarvox::AsciiCollation czech([](std::wstring_view a, std::wstring_view b) {
        const auto units = [](std::wstring_view text) {
            std::wstring out;
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (i + 1 < text.size() && text[i] == L'c' && text[i + 1] == L'h') {
                    out.push_back(L'h');
                    out.push_back(L'\xFFFF');
                    ++i;
                } else {
                    out.push_back(text[i]);
                }
            }
            return out;
        };
        const std::wstring x = units(a);
        const std::wstring y = units(b);
        return x < y ? SortOrder::Before : x > y ? SortOrder::After : SortOrder::Equal;
    });
    EXPECT_EQ(czech.Compare(L"abc", L"abd"), std::nullopt);
}

}  // namespace
