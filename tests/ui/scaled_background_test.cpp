// The background control itself: which picture it holds, how it paints, and its brushes.
#include <tarvox/ui.h>

#include "tests/support/sandbox_fixture.h"
#include "tests/ui/bitmap_support.h"

#include <memory>

namespace {

using namespace tarvox::test;

constexpr COLORREF kBackground = RGB(0, 128, 255);  // ID_BACKGROUND of the test pictures
constexpr COLORREF kInactive = RGB(128, 128, 128);  // ID_BACKGROUND_INACTIVE
constexpr int kBackgroundId = 1000;

std::pair<long, long> SizeOf(const CGdiBitmap& bitmap) {
    return {bitmap.GetSize().cx, bitmap.GetSize().cy};
}
std::pair<long, long> ExpectedSize(const wchar_t* name) {
    CGdiBitmap expected;
    LoadScaledBitmap(name, expected, GetDpiScale());
    return SizeOf(expected);
}

// A top-level window with one button, to be taken over by a background control.
struct HostWindow {
    HostWindow() {
        window = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        button = CreateWindowExW(
            0, L"BUTTON", L"Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 120, 60, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBackgroundId)), nullptr, nullptr);
    }
    ~HostWindow() {
        if (window) DestroyWindow(window);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND window = nullptr;
    HWND button = nullptr;
};

// A canvas of a size, first all magenta, after something has drawn on it through a DC.
template <typename Draw>
CGdiBitmap DrawnOn(int width, int height, Draw draw) {
    CGdiBitmap canvas;
    CreateFilledBitmap(RGB(255, 0, 255), canvas, width, height);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, canvas.Get());
    draw(dc);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return canvas;
}

CGdiBitmap Painted(HWND button) {
    RECT area{};
    GetClientRect(button, &area);
    return DrawnOn(area.right, area.bottom, [&](HDC dc) {
        SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    });
}

TEST(ScaledBackground, HoldsTheActiveBackgroundForTheDisplayScaleOrTheProducts) {
    CScaledBackground background;
    ASSERT_GT(ExpectedSize(L"ID_BACKGROUND").first, 0);
    EXPECT_EQ(SizeOf(background.GetBitmap()), ExpectedSize(L"ID_BACKGROUND"));
    EXPECT_EQ(PixelOf(background.GetBitmap(), 5, 5), kBackground);
    EXPECT_TRUE(background.GetInactiveBitmap().IsEmpty());
    EXPECT_EQ(background.m_FitToPicture, 1);

    CMyScaledBackground product(L"WITH125"), missing(L"NO_SUCH_PICTURE");
    EXPECT_EQ(SizeOf(product.GetBitmap()), ExpectedSize(L"WITH125"));
    EXPECT_EQ(product.m_FitToPicture, 1);
    EXPECT_EQ(SizeOf(missing.GetBitmap()), ExpectedSize(L"ID_BACKGROUND"));
    EXPECT_EQ(PixelOf(missing.GetBitmap(), 5, 5), kBackground);
}

TEST(ScaledBackground, TheButtonFaceIsThePictureOrTheInactiveOne) {
    HostWindow host;
    CScaledBackground background;
    CreateFilledBitmap(kBackground, background.GetBitmap(), 100, 40);  // smaller than the button
    ASSERT_TRUE(background.SubclassDlgItem(kBackgroundId, host.window, L"CHost"));
    EXPECT_EQ(background.GetSafeHwnd(), host.button);
    EXPECT_EQ(background.GetDialog(), host.window);
    EXPECT_EQ(background.GetDialogClassName(), L"CHost");
    EXPECT_FALSE(
        background.SubclassDlgItem(kBackgroundId, host.window, L"CHost"));  // taken already

    CGdiBitmap face = Painted(host.button);
    EXPECT_EQ(PixelOf(face, 50, 20), kBackground);
    EXPECT_EQ(PixelOf(face, 110, 50), GetSysColor(COLOR_BTNFACE));  // beyond the picture

    // Without an inactive picture the active one stays on show.
    background.ShowInactive(true);
    EXPECT_EQ(PixelOf(Painted(host.button), 50, 20), kBackground);
    CreateFilledBitmap(kInactive, background.GetInactiveBitmap(), 120, 60);
    face = Painted(host.button);
    EXPECT_EQ(PixelOf(face, 50, 20), kInactive);
    EXPECT_EQ(PixelOf(face, 110, 50), kInactive);
    background.ShowInactive(false);
    EXPECT_EQ(PixelOf(Painted(host.button), 50, 20), kBackground);
}

TEST(ScaledBackground, LetsGoOfTheButtonWhenEitherGoesAway) {
    HostWindow host;
    {
        CScaledBackground background;
        ASSERT_TRUE(background.SubclassDlgItem(kBackgroundId, host.window, L"CHost"));
    }
    // The button is a plain button again and still answers.
    EXPECT_EQ(SendMessageW(host.button, WM_GETTEXTLENGTH, 0, 0), 5);

    CScaledBackground background;
    ASSERT_TRUE(background.SubclassDlgItem(kBackgroundId, host.window, L"CHost"));
    DestroyWindow(host.window);
    host.window = nullptr;
    EXPECT_EQ(background.GetSafeHwnd(), nullptr);
    EXPECT_EQ(background.GetDialog(), nullptr);
    EXPECT_FALSE(background.SubclassDlgItem(kBackgroundId, nullptr, L"CHost"));
}

TEST(ScaledBackground, ControlBrushesShowThePictureBeneathTheControl) {
    HostWindow host;
    CScaledBackground background;
    CreateFilledBitmap(kBackground, background.GetBitmap(), 120, 60);
    FillPart(background.GetBitmap(), {60, 0, 120, 60}, kInactive);  // right half grey
    ASSERT_TRUE(background.SubclassDlgItem(kBackgroundId, host.window, L"CHost"));
    HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 70, 10, 20, 20,
                                 host.window, nullptr, nullptr, nullptr);

    const CGdiBitmap canvas = DrawnOn(20, 20, [&](HDC dc) {
        HBRUSH brush = background.GetControlBrush(dc, label);
        ASSERT_NE(brush, nullptr);
        EXPECT_EQ(background.GetControlBrush(dc, label), brush);  // made once, kept by the control
        RECT area{0, 0, 20, 20};
        FillRect(dc, &area, brush);
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    });
    // The label sits over the grey half of the picture.
    EXPECT_EQ(PixelOf(canvas, 2, 2), kInactive);

    CScaledBackground empty;
    empty.GetBitmap().Delete();
    EXPECT_EQ(empty.GetControlBrush(nullptr, nullptr), nullptr);
}

}  // namespace
