// The arithmetic of the scaled background: variant choice, dialog fitting, control placement,
// position records and text measures. No display needed.
#include "ui/layout_math.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvox::ui;

struct Expected {
    std::wstring suffix;
    double factor;
};

void ExpectVariants(double scale, std::vector<Expected> expected) {
    const std::vector<PictureVariant> variants = PictureVariantsForScale(scale);
    ASSERT_EQ(variants.size(), expected.size()) << "scale " << scale;
    for (std::size_t i = 0; i < variants.size(); ++i) {
        EXPECT_EQ(std::wstring(variants[i].suffix), expected[i].suffix) << "scale " << scale << " try " << i;
        EXPECT_DOUBLE_EQ(variants[i].factor, expected[i].factor) << "scale " << scale << " try " << i;
    }
}

TEST(PictureVariants, EveryScaleOfTheTableTriesItsVariantsInOrder) {
    ExpectVariants(1.0, {{L"_100", 1.0}, {L"", 1.0}, {L"_200", 0.5}});
    ExpectVariants(1.25, {{L"_125", 1.0}, {L"_200", 0.625}, {L"", 1.25}});
    ExpectVariants(1.5, {{L"_150", 1.0}, {L"_200", 0.75}, {L"", 1.5}});
    ExpectVariants(2.0, {{L"_200", 1.0}, {L"", 2.0}});
}

TEST(PictureVariants, OtherScalesStretchThe200PictureOrTheBareOne) {
    ExpectVariants(1.75, {{L"_200", 0.875}, {L"", 1.75}});
    ExpectVariants(3.0, {{L"_200", 1.5}, {L"", 3.0}});
    ExpectVariants(1.1, {{L"_200", 0.55}, {L"", 1.1}});
}

TEST(PictureVariants, ScaledSizesAreTruncated) {
    EXPECT_EQ(ScaledSize({80, 60}, 0.625), (Size{50, 37}));
    EXPECT_EQ(ScaledSize({80, 60}, 0.875), (Size{70, 52}));
    EXPECT_EQ(ScaledSize({40, 30}, 1.75), (Size{70, 52}));
    EXPECT_EQ(ScaledSize({3, 3}, 0.5), (Size{1, 1}));
}

TEST(DialogFitting, TheClientGrowsToThePictureOrToTheScaledRecord) {
    const Size picture{420, 280};
    EXPECT_EQ(TargetClientSize(picture, nullptr, 1.5), picture);
    PositionRecord record{400, 300, {}};
    EXPECT_EQ(TargetClientSize(picture, &record, 1.5), (Size{600, 450}));
    EXPECT_EQ(TargetClientSize(picture, &record, 1.25), (Size{500, 375}));
    PositionRecord odd{401, 301, {}};
    EXPECT_EQ(TargetClientSize(picture, &odd, 1.25), (Size{501, 376}));  // 501.25, 376.25
}

TEST(DialogFitting, TheWindowGrowsByTheClientDifference) {
    // A frame of 8 + 8 pixels and a caption of 23 around a 300 x 200 client.
    EXPECT_EQ(GrownWindowSize({316, 239}, {300, 200}, {600, 450}), (Size{616, 489}));
    EXPECT_EQ(GrownWindowSize({316, 239}, {300, 200}, {100, 50}), (Size{116, 89}));
}

TEST(ControlPlacement, TheExampleControlAt150Percent) {
    const Placement placed = PlaceRecordedControl({100, 50, 80}, 1.5, 20);
    EXPECT_EQ(placed, (Placement{90, 65, 120}));
}

TEST(ControlPlacement, WidthAndPositionAreTruncated) {
    // 77 x 1.25 = 96.25 -> 96; x = 123 x 1.25 - 48 = 105.75 -> 105; y = 41 x 1.25 - 11 = 40.25 -> 40.
    EXPECT_EQ(PlaceRecordedControl({123, 41, 77}, 1.25, 23), (Placement{105, 40, 96}));
    // At 2.0 everything doubles around the centre.
    EXPECT_EQ(PlaceRecordedControl({100, 50, 80}, 2.0, 20), (Placement{120, 90, 160}));
}

TEST(ControlPlacement, EdgeMeanIsTheIntegerMean) {
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

TEST(PositionRecord, DecodingTakesWholeControlsAndNeedsTheReferenceSize) {
    const std::string bytes = EncodePositionRecord({400, 300, {{1, 2, 3}, {4, 5, 6}}});
    const auto shortened = DecodePositionRecord(std::string_view(bytes).substr(0, 27));
    ASSERT_TRUE(shortened.has_value());
    EXPECT_EQ(shortened->controls, (std::vector<RecordedControl>{{1, 2, 3}}));
    EXPECT_TRUE(DecodePositionRecord(std::string_view(bytes).substr(0, 8)).has_value());
    EXPECT_FALSE(DecodePositionRecord(std::string_view(bytes).substr(0, 7)).has_value());
}

TEST(PositionRecord, AFileIsOnlyTakenWhenItsSizeMatchesTheControls) {
    const std::string bytes = EncodePositionRecord({400, 300, {{1, 2, 3}, {4, 5, 6}}});
    EXPECT_TRUE(DecodePositionFile(bytes, 2).has_value());
    EXPECT_FALSE(DecodePositionFile(bytes, 1).has_value());
    EXPECT_FALSE(DecodePositionFile(bytes, 3).has_value());
    EXPECT_FALSE(DecodePositionFile(bytes + "x", 2).has_value());
    EXPECT_FALSE(DecodePositionFile("", 0).has_value());
}

TEST(TextMeasures, TabWidthIsXXXXOverTenBlanksTimesTen) {
    EXPECT_EQ(TabBlankCount(40, 50), 8);   // 0.8 x 10
    EXPECT_EQ(TabBlankCount(36, 40), 9);   // 0.9 x 10
    EXPECT_EQ(TabBlankCount(29, 30), 9);   // 9.67 truncated
    EXPECT_EQ(TabBlankCount(40, 0), 0);    // a font without blanks expands nothing
}

TEST(TextMeasures, LineAdvanceIs1Point2LineHeightsTruncated) {
    EXPECT_EQ(LineAdvance(10), 12);
    EXPECT_EQ(LineAdvance(16), 19);  // 19.2
    EXPECT_EQ(LineAdvance(14), 16);  // 16.8
    EXPECT_EQ(LineAdvance(0), 0);
}

TEST(TextMeasures, LinesAreSplitAtLfAndTabsBecomeBlanks) {
    EXPECT_EQ(TextLinesForRendering(L"a\tb\n\nc\t", 3),
              (std::vector<std::wstring>{L"a   b", L"", L"c   "}));
    EXPECT_EQ(TextLinesForRendering(L"end\n", 2), (std::vector<std::wstring>{L"end", L""}));
    EXPECT_EQ(TextLinesForRendering(L"", 2), (std::vector<std::wstring>{L""}));
    EXPECT_EQ(TextLinesForRendering(L"\t\t", 0), (std::vector<std::wstring>{L""}));
}

}  // namespace
