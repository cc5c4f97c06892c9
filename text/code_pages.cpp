#include "text/code_pages.h"

#include <windows.h>

namespace tarvox {
namespace {

bool Decode(unsigned codePage, std::string_view bytes, std::wstring& text) {
    text.clear();
    if (bytes.empty()) return true;
    // Without flags: a byte that is not valid in the code page becomes the system's
    // replacement character and the conversion goes on, so that one damaged byte does not
    // make a whole file unreadable.
    const int size = static_cast<int>(bytes.size());
    const int count = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (count <= 0) return false;
    text.resize(static_cast<std::size_t>(count));
    return MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), count) == count;
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
