#include "text/utf8_decoder.h"

namespace tarvox {
namespace {

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

}  // namespace

bool DecodeWellFormedUtf8(std::string_view bytes, std::wstring& text) {
    text.clear();
    text.reserve(bytes.size());
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = at + bytes.size();
    while (at < end) {
        const unsigned char lead = *at;
        if (lead < 0x80) {
            text.push_back(static_cast<wchar_t>(lead));
            ++at;
            continue;
        }
        const std::size_t left = static_cast<std::size_t>(end - at);
        if (InRange(lead, 0xC2, 0xDF)) {
            if (left < 2 || !InRange(at[1], 0x80, 0xBF)) return false;
            text.push_back(static_cast<wchar_t>(((lead & 0x1F) << 6) | (at[1] & 0x3F)));
            at += 2;
        } else if (InRange(lead, 0xE0, 0xEF)) {
            // The second byte's range rules out overlong forms (E0) and surrogates (ED).
            const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
            const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
            if (left < 3 || !InRange(at[1], low, high) || !InRange(at[2], 0x80, 0xBF)) return false;
            text.push_back(static_cast<wchar_t>(((lead & 0x0F) << 12) | ((at[1] & 0x3F) << 6) |
                                                (at[2] & 0x3F)));
            at += 3;
        } else if (InRange(lead, 0xF0, 0xF4)) {
            const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
            const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
            if (left < 4 || !InRange(at[1], low, high) || !InRange(at[2], 0x80, 0xBF) ||
                !InRange(at[3], 0x80, 0xBF)) {
                return false;
            }
            const unsigned long code = ((lead & 0x07UL) << 18) | ((at[1] & 0x3FUL) << 12) |
                                       ((at[2] & 0x3FUL) << 6) | (at[3] & 0x3FUL);
            const unsigned long offset = code - 0x10000;
            text.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
            text.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
            at += 4;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace tarvox
