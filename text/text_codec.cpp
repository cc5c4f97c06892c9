#include "text/text_codec.h"

#include "text/utf8_decoder.h"

#include <cctype>

namespace tarvox {

TextFileType::Type DetectTextType(std::string_view bytes) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) return TextFileType::UnicodeLE;
    if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) return TextFileType::UnicodeBE;
    if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
        return TextFileType::Utf8;
    }
    if (bytes.size() >= 5) {
        static constexpr char kXml[] = "<?xml";
        bool xml = true;
        for (std::size_t i = 0; i < 5 && xml; ++i) {
            xml = std::tolower(at(i)) == kXml[i];
        }
        if (xml) return TextFileType::Utf8NoBom;
    }
    return TextFileType::Ansi;
}

namespace {

std::wstring Utf16(std::string_view bytes, bool swap) {
    std::wstring text(bytes.size() / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = swap ? static_cast<wchar_t>((first << 8) | second)
                       : static_cast<wchar_t>((second << 8) | first);
    }
    return text;
}

void AppendUtf16(std::string& bytes, std::wstring_view text, bool bigEndian) {
    for (const wchar_t c : text) {
        const auto high = static_cast<char>((c >> 8) & 0xFF);
        const auto low = static_cast<char>(c & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
}

}  // namespace

bool DecodeText(std::string_view bytes, const CodePageConverter& converter,
                TextFileType::Type& type, std::wstring& text, std::size_t& charCount) {
    type = DetectTextType(bytes);
    text.clear();
    bool ok = true;
    switch (type) {
        case TextFileType::UnicodeLE: text = Utf16(bytes.substr(2), false); break;
        case TextFileType::UnicodeBE: text = Utf16(bytes.substr(2), true); break;
        case TextFileType::Utf8:
        case TextFileType::Utf8NoBom: {
            const std::string_view body = type == TextFileType::Utf8 ? bytes.substr(3) : bytes;
            ok = DecodeWellFormedUtf8(body, text) || converter.decode(kCodePageUtf8, body, text);
            break;
        }
        case TextFileType::Utf7: ok = converter.decode(kCodePageUtf7, bytes, text); break;
        default:
            type = TextFileType::Ansi;
            ok = converter.decode(kCodePageAnsi, bytes, text);
            charCount = bytes.size();
            return ok;
    }
    charCount = text.size();
    return ok;
}

bool EncodeText(std::wstring_view text, TextFileType::Type type, const CodePageConverter& converter,
                std::string& bytes) {
    bytes.clear();
    switch (type) {
        case TextFileType::Ansi: bytes = converter.encode(kCodePageAnsi, text); return true;
        case TextFileType::UnicodeLE:
            bytes = "\xFF\xFE";
            AppendUtf16(bytes, text, false);
            return true;
        case TextFileType::UnicodeBE:
            bytes = "\xFE\xFF";
            AppendUtf16(bytes, text, true);
            return true;
        case TextFileType::Utf8:
            bytes = "\xEF\xBB\xBF" + converter.encode(kCodePageUtf8, text);
            return true;
        case TextFileType::Oem: bytes = converter.encode(kCodePageOem, text); return true;
        case TextFileType::Utf8NoBom: bytes = converter.encode(kCodePageUtf8, text); return true;
        case TextFileType::Utf7: bytes = converter.encode(kCodePageUtf7, text); return true;
        default: return false;
    }
}

}  // namespace tarvox
