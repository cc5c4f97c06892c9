// The process's GDI+ session.
#pragma once

namespace tarvox::ui {

// Starts GDI+ on first call; false when it cannot start.
bool GdiplusStarted();

}  // namespace tarvox::ui
