// The process's GDI+ session.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>
#include <gdiplus.h>

namespace tarvox::ui {

// Starts GDI+ on first call; false when it cannot start.
bool GdiplusStarted();

// A bitmap of the GDI+ flat API, disposed of.
struct GdiplusBitmapTraits : NullIsInvalid<Gdiplus::GpBitmap*> {
    static void Close(Type value) noexcept { Gdiplus::DllExports::GdipDisposeImage(value); }
};
using GdiplusBitmap = UniqueHandle<GdiplusBitmapTraits>;

}  // namespace tarvox::ui
