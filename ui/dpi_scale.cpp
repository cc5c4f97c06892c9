// The display scale, measured once per process.
#include <tarvox/ui.h>

#include "ui/gdi_scope.h"

double GetDpiScale() {
    static const double scale = [] {
        const tarvox::ui::WindowDc desktop(GetDesktopWindow());
        if (desktop.Get() == nullptr) return 1.0;
        const int pixelsPerInch = GetDeviceCaps(desktop.Get(), LOGPIXELSX);
        return pixelsPerInch > 0 ? pixelsPerInch / 96.0 : 1.0;
    }();
    return scale;
}
