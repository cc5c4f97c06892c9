// Text file decoding and encoding: detection, the UTF-8 decoder, UTF-16 in both orders.
#include "fuzz/targets/fuzz_input.h"
#include "text/text_codec.h"
#include "text/utf8_decoder.h"

#include <cstdint>

namespace {

// The plain converter: UTF-8 by the library's own decoder (failing where it fails), every
// other code page as Latin-1.
bool PlainDecode(unsigned codePage, std::string_view bytes, std::wstring& text) {
    if (codePage == tarvox::kCodePageUtf8) return tarvox::DecodeWellFormedUtf8(bytes, text);
    text = fuzz::Latin1FromBytes(bytes);
    return true;
}

std::string PlainEncode(unsigned, std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) bytes.push_back(static_cast<char>(c & 0xFF));
    return bytes;
}

// UTF-8 of UTF-16 units (pairs joined), the reference for the decoder.
std::string Utf8Of(const std::wstring& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned long c = static_cast<unsigned long>(text[i]) & 0xFFFF;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) +
                ((static_cast<unsigned long>(text[++i]) & 0xFFFF) - 0xDC00);
        }
        fuzz::AppendUtf8(out, c);
    }
    return out;
}

const tarvox::CodePageConverter kPlain{&PlainDecode, &PlainEncode};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Whatever the decoder accepts is exactly the UTF-8 of what it returns.
    std::wstring decoded;
    if (tarvox::DecodeWellFormedUtf8(bytes, decoded) && Utf8Of(decoded) != bytes) {
        fuzz::Fail("UTF-8 decoder accepted bytes it does not give back");
    }

    TextFileType::Type type{};
    std::wstring text;
    std::size_t count = 0;
    if (tarvox::DecodeText(bytes, kPlain, type, text, count)) {
        if (type == TextFileType::None) fuzz::Fail("decoded without a type");
        // UTF-16 text written again and read back is the same text.
        for (const TextFileType::Type utf16 : {TextFileType::UnicodeLE, TextFileType::UnicodeBE}) {
            std::string written;
            if (!tarvox::EncodeText(text, utf16, kPlain, written)) fuzz::Fail("UTF-16 not written");
            TextFileType::Type again{};
            std::wstring back;
            std::size_t backCount = 0;
            if (!tarvox::DecodeText(written, kPlain, again, back, backCount) || again != utf16)
                fuzz::Fail("UTF-16 not read back");
            std::wstring narrowed;
            for (const wchar_t c : text) narrowed.push_back(static_cast<wchar_t>(c & 0xFFFF));
            if (back != narrowed) fuzz::Fail("UTF-16 round trip changed the text");
        }
    }
    return 0;
}
