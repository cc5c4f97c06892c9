// Rewriting a registry export text into configuration lines. No system calls: the ANSI
// decoding of hex(2) bytes comes in as a function.
#pragma once

#include <string>

namespace tarvox {

using AnsiByteDecoder = wchar_t (*)(unsigned char byte);

// Unless text begins with "REGEDIT4" (case ignored) nothing changes and the result is false.
// Otherwise comment and blank lines are dropped, continuation lines joined, hex(2) values
// replaced by SZ_EX:"text", and every line ends with CR LF.
bool NormalizeRegedit(std::wstring& text, AnsiByteDecoder decode);

}  // namespace tarvox
