// Access-right conventions shared by every registry call of the library.
#pragma once

#include <windows.h>

namespace tarvox {

// Exactly 1 selects the 64-bit registry view; any other value the default view.
inline REGSAM ViewBits(int view64) { return view64 == 1 ? KEY_WOW64_64KEY : 0; }

// The registry flags of a configuration reader (m_IsRegistry): read from the registry, and
// every registry access of the reader in the 64-bit view (the bit of KEY_WOW64_64KEY).
inline constexpr int kCfgFromRegistry = 1;
inline constexpr int kCfgView64 = KEY_WOW64_64KEY;

// The view flag of the registry functions (1: the 64-bit view) for a reader's registry flags.
constexpr int CfgViewFlag(int registryFlags) { return (registryFlags & kCfgView64) != 0 ? 1 : 0; }

}  // namespace tarvox
