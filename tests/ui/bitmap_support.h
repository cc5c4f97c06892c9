// Reading pixels and making pictures for the bitmap tests.
#pragma once

#include <tarvox/ui.h>

#include <windows.h>

namespace tarvox::test {

// The colour of one pixel of a bitmap (CLR_INVALID when it cannot be read).
COLORREF PixelOf(const CGdiBitmap& bitmap, int x, int y);

void FillPart(CGdiBitmap& bitmap, const RECT& part, COLORREF colour);

bool SamePixels(const CGdiBitmap& first, const CGdiBitmap& second);

// True when some pixel of the band of rows has the colour.
bool RowsContain(const CGdiBitmap& bitmap, int top, int bottom, COLORREF colour);

}  // namespace tarvox::test
