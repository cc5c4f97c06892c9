// Access-right conventions shared by every registry call of the library.
#pragma once

#include <windows.h>

namespace tarvox {

// Exactly 1 selects the 64-bit registry view; any other value the default view.
inline REGSAM ViewBits(int view64) { return view64 == 1 ? KEY_WOW64_64KEY : 0; }

}  // namespace tarvox
