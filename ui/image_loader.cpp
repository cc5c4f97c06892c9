// Image files to GDI bitmaps through GDI+ (flat API), started once per process.
#include <tarvox/ui.h>

#include "ui/gdiplus_session.h"
#include "foundation/boundary.h"

#include <gdiplus.h>

namespace tarvox::ui {

bool GdiplusStarted() {
    // Started on first use and left running: shutting GDI+ down while the process ends (from
    // a DLL's detach) is not allowed.
    static const bool started = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    return started;
}

}  // namespace tarvox::ui

int LoadBitmapFromFile(const wchar_t* path, CGdiBitmap& bitmap) {
    return tarvox::Guard(0, [&]() -> int {
        bitmap.Delete();
        if (path == nullptr || *path == L'\0' || !tarvox::ui::GdiplusStarted()) return 0;
        tarvox::ui::GdiplusBitmap image;
        if (Gdiplus::DllExports::GdipCreateBitmapFromFile(path, image.Put()) != Gdiplus::Ok ||
            !image.Valid())
            return 0;
        HBITMAP handle = nullptr;
        // Transparent parts of the picture are laid on white.
        const Gdiplus::Status status =
            Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(image.Get(), &handle, 0xFFFFFFFF);
        image.Reset();
        if (status != Gdiplus::Ok || handle == nullptr) return 0;
        bitmap.Attach(handle);
        return 1;
    });
}
