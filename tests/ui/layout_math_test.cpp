// The arithmetic of the scaled background: dialog fitting, control placement,
// position records and text measures. No display needed.
#include "ui/layout_math.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace tarvox::ui;

// Sizes, positions and widths are truncated: 501.25 x 376.25 gives 501 x 376; 77 x 1.25 = 96.25
// gives 96, x = 123 x 1.25 - 48 = 105.75 gives 105, y = 41 x 1.25 - 11 = 40.25 gives 40.
TEST(DialogFitting, ScaledSizesClientAndWindowAndControlPlacement) {
    EXPECT_EQ(ScaledSize({80, 60}, 0.625), (Size{50, 37}));
    EXPECT_EQ(ScaledSize({80, 60}, 0.875), (Size{70, 52}));
    EXPECT_EQ(ScaledSize({40, 30}, 1.75), (Size{70, 52}));
    EXPECT_EQ(ScaledSize({3, 3}, 0.5), (Size{1, 1}));

    // The client grows to the picture, or to the scaled record when there is one.
    const Size picture{420, 280};
    const PositionRecord record{400, 300, {}}, odd{401, 301, {}};
    EXPECT_EQ(TargetClientSize(picture, nullptr, 1.5), picture);
    EXPECT_EQ(TargetClientSize(picture, &record, 1.5), (Size{600, 450}));
    EXPECT_EQ(TargetClientSize(picture, &record, 1.25), (Size{500, 375}));
    EXPECT_EQ(TargetClientSize(picture, &odd, 1.25), (Size{501, 376}));

    // The window grows by the client difference: a frame of 8 + 8 and a caption of 23.
    EXPECT_EQ(GrownWindowSize({316, 239}, {300, 200}, {600, 450}), (Size{616, 489}));
    EXPECT_EQ(GrownWindowSize({316, 239}, {300, 200}, {100, 50}), (Size{116, 89}));

    EXPECT_EQ(PlaceRecordedControl({100, 50, 80}, 1.5, 20),
              (Placement{90, 65, 120}));  // the example control
    EXPECT_EQ(PlaceRecordedControl({123, 41, 77}, 1.25, 23), (Placement{105, 40, 96}));
    EXPECT_EQ(PlaceRecordedControl({100, 50, 80}, 2.0, 20),
              (Placement{120, 90, 160}));  // doubles around the centre
    EXPECT_EQ(EdgeMean(60, 140), 100);
    EXPECT_EQ(EdgeMean(10, 21), 15);
    EXPECT_EQ(EdgeMean(-21, -10), -15);  // truncated towards zero
}

TEST(PositionRecord, EncodesLittleEndianIntegersInOrder) {
    const PositionRecord record{400, 300, {{100, 50, 80}, {-2, 7, 258}}};
    const std::string bytes = EncodePositionRecord(record);
    ASSERT_EQ(bytes.size(), PositionRecordSize(2));
    EXPECT_EQ(bytes.size(), 32u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x90\x01\x00\x00\x2c\x01\x00\x00", 8));
    EXPECT_EQ(bytes.substr(20, 4), std::string("\xfe\xff\xff\xff", 4));
    EXPECT_EQ(bytes.substr(28, 4), std::string("\x02\x01\x00\x00", 4));
    EXPECT_EQ(DecodePositionRecord(bytes), record);
}

// Decoding takes whole controls and needs the reference size; a file is only taken when its
// size matches the controls.
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
    // Lines are split at LF and tabs become blanks.
    EXPECT_EQ(TextLinesForRendering(L"a\tb\n\nc\t", 3),
              (std::vector<std::wstring>{L"a   b", L"", L"c   "}));
    EXPECT_EQ(TextLinesForRendering(L"end\n", 2), (std::vector<std::wstring>{L"end", L""}));
    EXPECT_EQ(TextLinesForRendering(L"", 2), (std::vector<std::wstring>{L""}));
    EXPECT_EQ(TextLinesForRendering(L"\t\t", 0), (std::vector<std::wstring>{L""}));
}

}  // namespace
