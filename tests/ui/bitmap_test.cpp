// Loading, scaling, filling, copying bitmaps and rendering text into them. GDI needs a
// display (the test run provides a virtual one).
#include <tarvox/ui.h>

#include "tests/support/sandbox_fixture.h"
#include "tests/ui/bitmap_support.h"
#include "ui/layout_math.h"

namespace {

using namespace tarvox::test;

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kYellow = RGB(255, 255, 0), kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

class Pictures : public SandboxTest {
protected:
    void SetUp() override { environment.SetTempFolder(temp.Path()); }
};

// Each picture variant has its own colour. At 100 % the _100 variant, then the bare one, then
// the halved _200; at 125 % the exact variant, else the _200 scaled by 0.625; at 175 % the _200
// scaled by 0.875, else the bare one by 1.75; so at any other scale. A picture that is missing
// or no picture leaves the bitmap empty. No temporary file is left behind.
TEST_F(Pictures, EachScaleLoadsItsVariantsInOrder) {
    const struct {
        const wchar_t* name;
        double scale;
        SIZE size;  // 0 x 0: not loaded
        COLORREF colour;
    } cases[] = {
        {L"NO_SUCH_PICTURE", 1.75, {0, 0}, CLR_INVALID},
        {L"", 1.0, {0, 0}, CLR_INVALID},
        {L"NOTANIMAGE", 1.0, {0, 0}, CLR_INVALID},
        {L"EXACT100", 1.0, {40, 30}, kYellow},
        {L"SCALED", 1.0, {40, 30}, kRed},
        {L"ONLY200", 1.0, {40, 30}, kGreen},
        {L"WITH125", 1.25, {50, 37}, kBlue},
        {L"SCALED", 1.25, {50, 37}, kGreen},
        {L"PLAIN", 1.25, {50, 37}, kRed},
        {L"SCALED", 1.5, {60, 45}, kGreen},
        {L"PLAIN", 1.5, {60, 45}, kRed},
        {L"SCALED", 2.0, {80, 60}, kGreen},
        {L"PLAIN", 2.0, {80, 60}, kRed},
        {L"SCALED", 1.75, {70, 52}, kGreen},
        {L"PLAIN", 1.75, {70, 52}, kRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.name) + " at " + std::to_string(c.scale));
        CGdiBitmap bitmap;
        ASSERT_EQ(CreateFilledBitmap(kRed, bitmap, 5, 5), 1);  // replaced, or emptied
        EXPECT_EQ(LoadScaledBitmap(c.name, bitmap, c.scale), c.size.cx > 0 ? 1 : 0);
        const SIZE loaded = bitmap.GetSize();
        EXPECT_EQ(bitmap.IsEmpty(), c.size.cx == 0);
        EXPECT_EQ(std::pair(loaded.cx, loaded.cy), std::pair(c.size.cx, c.size.cy));
        EXPECT_EQ(PixelOf(bitmap, loaded.cx / 2, loaded.cy / 2), c.colour);
    }
    EXPECT_EQ(FilesIn(temp.Path()), 0u);
}

TEST_F(Pictures, LoadingAFileReplacesTheBitmapOrEmptiesIt) {
    std::wstring file;
    ASSERT_EQ(ExtractResourceToTempFile(GetModuleHandleW(nullptr), L"WITH125_125", file, nullptr),
              1);
    CGdiBitmap bitmap;
    ASSERT_EQ(LoadBitmapFromFile(file.c_str(), bitmap), 1);
    EXPECT_EQ(bitmap.GetSize().cx, 50);
    EXPECT_EQ(PixelOf(bitmap, 3, 3), kBlue);
    // The file is not held open by the loaded picture.
    EXPECT_TRUE(DeleteFileW(file.c_str()));

    EXPECT_EQ(LoadBitmapFromFile(file.c_str(), bitmap), 0);
    EXPECT_TRUE(bitmap.IsEmpty());
    const std::wstring text = temp.WriteFile(L"not-a-picture.png", "plain text");
    ASSERT_EQ(CreateFilledBitmap(kRed, bitmap, 5, 5), 1);
    EXPECT_EQ(LoadBitmapFromFile(text.c_str(), bitmap), 0);
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_EQ(LoadBitmapFromFile(nullptr, bitmap), 0);
}

TEST(Bitmaps, FilledBitmapsHaveTheSizeAndColourAndScalingStretchesThem) {
    CGdiBitmap bitmap;
    EXPECT_EQ(CreateFilledBitmap(kRed, bitmap, 41, 19), 1);
    EXPECT_EQ(std::pair(bitmap.GetSize().cx, bitmap.GetSize().cy), std::pair(41L, 19L));
    EXPECT_EQ(PixelOf(bitmap, 0, 0), kRed);
    EXPECT_EQ(PixelOf(bitmap, 40, 18), kRed);
    EXPECT_EQ(CreateFilledBitmap(kRed, bitmap, 40, 20), 1);
    FillPart(bitmap, {20, 0, 40, 20}, kBlue);
    const HBITMAP original = bitmap.Get();
    for (const double factor : {1.0, 0.0, -2.0}) EXPECT_EQ(ScaleBitmap(bitmap, factor), 1);
    EXPECT_EQ(bitmap.Get(), original);  // left as it is

    EXPECT_EQ(ScaleBitmap(bitmap, 1.5), 1);
    EXPECT_EQ(std::pair(bitmap.GetSize().cx, bitmap.GetSize().cy), std::pair(60L, 30L));
    EXPECT_EQ(PixelOf(bitmap, 5, 15), kRed);
    EXPECT_EQ(PixelOf(bitmap, 55, 15), kBlue);

    CGdiBitmap empty;
    EXPECT_EQ(ScaleBitmap(empty, 2.0), 0);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(Bitmaps, CopyingStretchesTheWholeSourceOrCopiesThePartAtTheCorner) {
    CGdiBitmap source;
    CreateFilledBitmap(kRed, source, 40, 20);
    FillPart(source, {20, 0, 40, 20}, kBlue);

    CGdiBitmap target;
    EXPECT_EQ(CopyBitmap(source, target, {0, 0, 20, 10}, 1, SRCCOPY), 1);
    EXPECT_EQ(std::pair(target.GetSize().cx, target.GetSize().cy), std::pair(20L, 10L));
    EXPECT_EQ(PixelOf(target, 2, 5), kRed);
    EXPECT_EQ(PixelOf(target, 17, 5), kBlue);

    // A target of the right size is drawn on, not replaced.
    const HBITMAP kept = target.Get();
    EXPECT_EQ(CopyBitmap(source, target, {25, 5, 45, 15}, 0, SRCCOPY), 1);
    EXPECT_EQ(target.Get(), kept);
    EXPECT_EQ(PixelOf(target, 0, 0), kBlue);

    // The raster operation is the caller's: copying black with SRCPAINT keeps what is there.
    CGdiBitmap black;
    CreateFilledBitmap(kBlack, black, 20, 10);
    EXPECT_EQ(CopyBitmap(black, target, {0, 0, 20, 10}, 0, SRCPAINT), 1);
    EXPECT_EQ(PixelOf(target, 0, 0), kBlue);

    CGdiBitmap empty;
    EXPECT_EQ(CopyBitmap(empty, target, {0, 0, 20, 10}, 1, SRCCOPY), 0);
    EXPECT_EQ(target.Get(), kept);
}

struct FontMeasures {
    int blanks = 0;
    int advance = 0;
};

FontMeasures Measure(const wchar_t* face, int height) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             0, 0, face);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE xxxx{}, blanks{};
    GetTextExtentPoint32W(dc, L"XXXX", 4, &xxxx);
    GetTextExtentPoint32W(dc, L"          ", 10, &blanks);
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return {tarvox::ui::TabBlankCount(xxxx.cx, blanks.cx), tarvox::ui::LineAdvance(xxxx.cy)};
}

TEST(TextBitmaps, EachLineAlsoAnEmptyOneAdvancesBy12LineHeights) {
    const FontMeasures measures = Measure(L"Tahoma", 20);
    const int margin = 6;
    CGdiBitmap two, three;
    ASSERT_EQ(RenderTextBitmap(L"XXXX\nXXXX", kYellow, kBlue, L"Tahoma", 20, margin, two), 1);
    ASSERT_EQ(RenderTextBitmap(L"XXXX\n\nXXXX", kYellow, kBlue, L"Tahoma", 20, margin, three), 1);
    EXPECT_EQ(two.GetSize().cy, 2 * measures.advance + 2 * margin);
    EXPECT_EQ(three.GetSize().cy, 3 * measures.advance + 2 * margin);
    EXPECT_EQ(two.GetSize().cx, three.GetSize().cx);
    EXPECT_EQ(PixelOf(two, 0, 0), kYellow);

    // Ink of the first line below the top margin, of the second one advance further down,
    // and nothing in the empty middle line of the three.
    EXPECT_FALSE(RowsContain(two, 0, margin, kBlue));
    EXPECT_TRUE(RowsContain(two, margin, margin + measures.advance, kBlue));
    EXPECT_TRUE(RowsContain(two, margin + measures.advance, margin + 2 * measures.advance, kBlue));
    EXPECT_FALSE(
        RowsContain(three, margin + measures.advance, margin + 2 * measures.advance, kBlue));
    EXPECT_TRUE(
        RowsContain(three, margin + 2 * measures.advance, margin + 3 * measures.advance, kBlue));
}

TEST(TextBitmaps, AGivenBitmapIsDrawnOnTransparently) {
    CGdiBitmap bitmap;
    CreateFilledBitmap(kGreen, bitmap, 100, 40);
    const HBITMAP given = bitmap.Get();
    ASSERT_EQ(RenderTextBitmap(L"XX", kYellow, kRed, L"Tahoma", 20, 2, bitmap), 1);
    EXPECT_EQ(bitmap.Get(), given);
    EXPECT_EQ(PixelOf(bitmap, 99, 39), kGreen);  // not filled with the background colour
    EXPECT_TRUE(RowsContain(bitmap, 0, 40, kRed));
    EXPECT_FALSE(RowsContain(bitmap, 0, 40, kYellow));
}

}  // namespace
