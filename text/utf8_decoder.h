// A decoder for well-formed UTF-8, so that the common case does not go through the system's
// converter. Ill-formed input is left to the converter, whose replacement characters are the
// system's own.
#pragma once

#include <string>
#include <string_view>

namespace tarvox {

// Decodes bytes into text when every sequence is well-formed UTF-8 (Unicode's table of
// well-formed byte sequences: no overlong forms, no surrogates, nothing above U+10FFFF);
// characters above U+FFFF become surrogate pairs. False, with text unspecified, otherwise.
bool DecodeWellFormedUtf8(std::string_view bytes, std::wstring& text);

}  // namespace tarvox
