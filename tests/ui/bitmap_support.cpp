#include "tests/ui/bitmap_support.h"

namespace tarvox::test {
namespace {

// A memory device context with the bitmap selected, for reading and painting.
class BitmapDc {
public:
    explicit BitmapDc(HBITMAP bitmap) : m_dc(CreateCompatibleDC(nullptr)) {
        if (m_dc && bitmap) m_previous = SelectObject(m_dc, bitmap);
    }
    ~BitmapDc() {
        if (m_previous) SelectObject(m_dc, m_previous);
        if (m_dc) DeleteDC(m_dc);
    }
    BitmapDc(const BitmapDc&) = delete;
    BitmapDc& operator=(const BitmapDc&) = delete;
    HDC Get() const { return m_previous ? m_dc : nullptr; }

private:
    HDC m_dc;
    HGDIOBJ m_previous = nullptr;
};

}  // namespace

COLORREF PixelOf(const CGdiBitmap& bitmap, int x, int y) {
    BitmapDc dc(bitmap.Get());
    return dc.Get() ? GetPixel(dc.Get(), x, y) : CLR_INVALID;
}

void FillPart(CGdiBitmap& bitmap, const RECT& part, COLORREF colour) {
    BitmapDc dc(bitmap.Get());
    HBRUSH brush = CreateSolidBrush(colour);
    if (dc.Get()) FillRect(dc.Get(), &part, brush);
    DeleteObject(brush);
}

bool SamePixels(const CGdiBitmap& first, const CGdiBitmap& second) {
    const SIZE a = first.GetSize();
    const SIZE b = second.GetSize();
    if (a.cx != b.cx || a.cy != b.cy) return false;
    BitmapDc one(first.Get());
    BitmapDc two(second.Get());
    if (!one.Get() || !two.Get()) return false;
    for (int y = 0; y < a.cy; ++y) {
        for (int x = 0; x < a.cx; ++x) {
            if (GetPixel(one.Get(), x, y) != GetPixel(two.Get(), x, y)) return false;
        }
    }
    return true;
}

bool RowsContain(const CGdiBitmap& bitmap, int top, int bottom, COLORREF colour) {
    BitmapDc dc(bitmap.Get());
    if (!dc.Get()) return false;
    const SIZE size = bitmap.GetSize();
    for (int y = top; y < bottom && y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            if (GetPixel(dc.Get(), x, y) == colour) return true;
        }
    }
    return false;
}

}  // namespace tarvox::test
