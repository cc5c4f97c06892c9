// Helpers shared by the fuzz targets: wide text from raw bytes and a plain order of names.
#pragma once

#include "foundation/sorted_search.h"

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <string>
#include <string_view>

namespace fuzz {

// The bytes as UTF-16 code units (little-endian pairs; an odd last byte is dropped), as the
// Windows build would see them; wchar_t is wider here, the values stay 16-bit.
inline std::wstring WideFromBytes(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    text.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    return text;
}

// Each byte as one character (Latin-1): short inputs still make readable text.
inline std::wstring Latin1FromBytes(std::string_view bytes) {
    std::wstring text;
    for (const char c : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return text;
}

// The plain stand-in for the system's case-insensitive order: ASCII letters folded, then code
// units compared.
inline tarvox::SortOrder PlainOrder(std::wstring_view a, std::wstring_view b) {
    const auto fold = [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
    };
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t x = fold(a[i]);
        const wchar_t y = fold(b[i]);
        if (x != y) return x < y ? tarvox::SortOrder::Before : tarvox::SortOrder::After;
    }
    if (a.size() == b.size()) return tarvox::SortOrder::Equal;
    return a.size() < b.size() ? tarvox::SortOrder::Before : tarvox::SortOrder::After;
}

// Stops the run with a message: libFuzzer records the input that got here.
// Appends the UTF-8 bytes of one code point.
inline void AppendUtf8(std::string& out, unsigned long c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "property violated: %s\n", what);
    __builtin_trap();
}

}  // namespace fuzz
