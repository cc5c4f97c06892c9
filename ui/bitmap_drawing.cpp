// Filling, copying and stretching bitmaps.
#include <tarvox/ui.h>

#include "ui/gdi_scope.h"
#include "ui/layout_math.h"
#include "foundation/boundary.h"

using tarvox::ui::GdiObject;
using tarvox::ui::MemoryDc;
using tarvox::ui::ScreenDc;
using tarvox::ui::Selection;

int CreateFilledBitmap(COLORREF colour, CGdiBitmap& bitmap, int width, int height) {
    return tarvox::Guard(0, [&]() -> int {
        bitmap.Delete();
        ScreenDc screen;
        if (screen.Get() == nullptr || width <= 0 || height <= 0) return 1;
        CGdiBitmap created(CreateCompatibleBitmap(screen.Get(), width, height));
        MemoryDc memory(screen.Get());
        if (created.IsEmpty() || memory.Get() == nullptr) return 1;
        {
            Selection selected(memory.Get(), created.Get());
            GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
            RECT area{0, 0, width, height};
            FillRect(memory.Get(), &area, brush.Get());
        }
        bitmap = std::move(created);
        return 1;
    });
}

int CopyBitmap(const CGdiBitmap& source, CGdiBitmap& target, const RECT& rectangle, int stretch,
               DWORD rasterOperation) {
    return tarvox::Guard(0, [&]() -> int {
        const SIZE sourceSize = source.GetSize();
        if (sourceSize.cx <= 0 || sourceSize.cy <= 0) return 0;
        const int width = rectangle.right - rectangle.left;
        const int height = rectangle.bottom - rectangle.top;
        if (width <= 0 || height <= 0) return 1;

        ScreenDc screen;
        if (screen.Get() == nullptr) return 1;
        const SIZE targetSize = target.GetSize();
        if (targetSize.cx != width || targetSize.cy != height) {
            target.Attach(CreateCompatibleBitmap(screen.Get(), width, height));
            if (target.IsEmpty()) return 1;
        }
        MemoryDc from(screen.Get());
        MemoryDc to(screen.Get());
        Selection fromSelected(from.Get(), source.Get());
        Selection toSelected(to.Get(), target.Get());
        if (!fromSelected.Selected() || !toSelected.Selected()) return 1;
        if (stretch == 1) {
            SetStretchBltMode(to.Get(), HALFTONE);
            SetBrushOrgEx(to.Get(), 0, 0, nullptr);
            StretchBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, sourceSize.cx,
                       sourceSize.cy, rasterOperation);
        } else {
            BitBlt(to.Get(), 0, 0, width, height, from.Get(), rectangle.left, rectangle.top,
                   rasterOperation);
        }
        return 1;
    });
}

int ScaleBitmap(CGdiBitmap& bitmap, double factor) {
    return tarvox::Guard(0, [&]() -> int {
        const SIZE size = bitmap.GetSize();
        if (size.cx <= 0 || size.cy <= 0) return 0;
        if (factor == 1.0 || !(factor > 0.0)) return 1;
        const tarvox::ui::Size scaled = tarvox::ui::ScaledSize({size.cx, size.cy}, factor);
        // A picture that would shrink to nothing is kept as it is.
        if (scaled.width <= 0 || scaled.height <= 0) return 1;
        CGdiBitmap stretched;
        CreateFilledBitmap(RGB(255, 255, 255), stretched, scaled.width, scaled.height);
        if (stretched.IsEmpty()) return 1;
        const RECT area{0, 0, scaled.width, scaled.height};
        if (CopyBitmap(bitmap, stretched, area, 1, SRCCOPY) == 1) bitmap = std::move(stretched);
        return 1;
    });
}
