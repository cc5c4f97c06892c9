#include "xml/code_pages.h"

#include <windows.h>

namespace tarvox {
namespace {

bool Decode(unsigned codePage, std::string_view bytes, std::wstring& text) {
    text.clear();
    if (bytes.empty()) return true;
    // Broken UTF-8 is refused rather than replaced, so that a damaged file is never
    // rewritten with replacement characters.
    const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int size = static_cast<int>(bytes.size());
    const int count = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (count <= 0) return false;
    text.resize(static_cast<std::size_t>(count));
    return MultiByteToWideChar(codePage, flags, bytes.data(), size, text.data(), count) == count;
}

std::string Encode(unsigned codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int count =
        WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return {};
    std::string bytes(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, bytes.data(), count, nullptr, nullptr);
    return bytes;
}

}  // namespace

const CodePageConverter& SystemCodePages() {
    static const CodePageConverter converter{&Decode, &Encode};
    return converter;
}

}  // namespace tarvox
