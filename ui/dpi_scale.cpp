// The display scale, measured once per process.
#include <tarvox/ui.h>

double GetDpiScale() {
    static const double scale = [] {
        HWND desktop = GetDesktopWindow();
        HDC dc = GetDC(desktop);
        if (dc == nullptr) return 1.0;
        const int pixelsPerInch = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(desktop, dc);
        return pixelsPerInch > 0 ? pixelsPerInch / 96.0 : 1.0;
    }();
    return scale;
}
