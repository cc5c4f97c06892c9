#include "tests/ui/bitmap_support.h"

#include <algorithm>
#include <vector>

namespace tarvox::test {
namespace {

// Every pixel of a bitmap, row by row from the top; empty when it cannot be read.
std::vector<COLORREF> Pixels(const CGdiBitmap& bitmap) {
    const SIZE size = bitmap.GetSize();
    std::vector<COLORREF> pixels(
        static_cast<std::size_t>(std::max(0L, size.cx) * std::max(0L, size.cy)));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    const int rows = pixels.empty() ? 0
                                    : GetDIBits(dc, bitmap.Get(), 0, size.cy, pixels.data(), &info,
                                                DIB_RGB_COLORS);
    DeleteDC(dc);
    if (rows != size.cy) return {};
    // Blue, green, red in memory: swapped into a COLORREF.
    for (COLORREF& pixel : pixels)
        pixel = RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel));
    return pixels;
}

}  // namespace

COLORREF PixelOf(const CGdiBitmap& bitmap, int x, int y) {
    const std::vector<COLORREF> pixels = Pixels(bitmap);
    const SIZE size = bitmap.GetSize();
    const bool inside = !pixels.empty() && x >= 0 && y >= 0 && x < size.cx && y < size.cy;
    return inside ? pixels[static_cast<std::size_t>(y) * size.cx + x] : CLR_INVALID;
}

void FillPart(CGdiBitmap& bitmap, const RECT& part, COLORREF colour) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap.Get());
    HBRUSH brush = CreateSolidBrush(colour);
    if (previous) FillRect(dc, &part, brush);
    DeleteObject(brush);
    if (previous) SelectObject(dc, previous);
    DeleteDC(dc);
}

bool SamePixels(const CGdiBitmap& first, const CGdiBitmap& second) {
    const std::vector<COLORREF> one = Pixels(first);
    return !one.empty() && first.GetSize().cx == second.GetSize().cx && one == Pixels(second);
}

bool RowsContain(const CGdiBitmap& bitmap, int top, int bottom, COLORREF colour) {
    const std::vector<COLORREF> pixels = Pixels(bitmap);
    const long width = bitmap.GetSize().cx;
    const auto at = [&](int row) {
        return pixels.begin() + std::min<long>(pixels.size(), row * width);
    };
    return std::find(at(top), at(bottom), colour) != at(bottom);
}

}  // namespace tarvox::test
