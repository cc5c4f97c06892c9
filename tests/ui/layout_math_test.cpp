// The arithmetic of the scaled background: dialog fitting, control placement,
// position records and text measures. No display needed.
#include "ui/layout_math.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace tarvox::ui;

// A record needs its reference size (8 bytes); a cut control is dropped.
TEST(PositionRecord, DecodingTakesWholeControlsAndFilesMustMatchTheControls) {
    const std::string bytes = EncodePositionRecord({400, 300, {{1, 2, 3}, {4, 5, 6}}});
    const auto shortened = DecodePositionRecord(std::string_view(bytes).substr(0, 27));
    ASSERT_TRUE(shortened.has_value());
    EXPECT_EQ(shortened->controls, (std::vector<RecordedControl>{{1, 2, 3}}));
    EXPECT_TRUE(DecodePositionRecord(std::string_view(bytes).substr(0, 8)).has_value());
    EXPECT_FALSE(DecodePositionRecord(std::string_view(bytes).substr(0, 7)).has_value());
    EXPECT_TRUE(DecodePositionFile(bytes, 2).has_value());
    for (const auto& [file, controls] :
         {std::pair<std::string, std::size_t>{bytes, 1}, {bytes, 3}, {bytes + "x", 2}, {"", 0}}) {
        EXPECT_FALSE(DecodePositionFile(file, controls).has_value())
            << file.size() << " bytes, " << controls;
    }
}

// A tab is XXXX over ten blanks times ten (9.67 truncated; a font without blanks expands
// nothing); a line advances by 1.2 line heights truncated.
TEST(TextMeasures, TabWidthLineAdvanceAndLines) {
    for (const auto& [xxxx, blanks, count] :
         {std::tuple{40, 50, 8}, {36, 40, 9}, {29, 30, 9}, {40, 0, 0}}) {
        EXPECT_EQ(TabBlankCount(xxxx, blanks), count) << xxxx << "/" << blanks;
    }
    for (const auto& [height, advance] : {std::pair{10, 12}, {16, 19}, {14, 16}, {0, 0}}) {
        EXPECT_EQ(LineAdvance(height), advance) << height;
    }
    EXPECT_EQ(TextLinesForRendering(L"a\tb\n\nc\t", 3),
              (std::vector<std::wstring>{L"a   b", L"", L"c   "}));
    EXPECT_EQ(TextLinesForRendering(L"end\n", 2), (std::vector<std::wstring>{L"end", L""}));
    EXPECT_EQ(TextLinesForRendering(L"", 2), (std::vector<std::wstring>{L""}));
    EXPECT_EQ(TextLinesForRendering(L"\t\t", 0), (std::vector<std::wstring>{L""}));
}

}  // namespace
