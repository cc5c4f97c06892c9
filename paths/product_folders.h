// Product folders used inside the library.
#pragma once

// The per-user folder of the main product as the path variables publish it: the product key of
// the user, then of the machine, then the shell's "AppData" folder with the product folder name.
wchar_t* GetProductUserDir(wchar_t* buffer, long long year);

namespace tarvox {

inline constexpr int kFolderBufferChars = 260;

// The year at the end of a product name text such as "Tarvo Ardent 2020": the characters after
// its last blank as a decimal number; 0 when there are none.
long long YearOfProductName(const wchar_t* productName);

}  // namespace tarvox
