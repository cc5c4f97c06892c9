// The library's own UTF-8 decoder must agree with the system's wherever it answers.
#include "text/utf8_decoder.h"

#include "text/code_pages.h"
#include "text/text_codec.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>

namespace {

// The system's conversion: strict (false when the bytes are no UTF-8) or, without flags,
// replacing as a file's text must decode.
bool SystemDecode(const std::string& bytes, std::wstring& text,
                  DWORD flags = MB_ERR_INVALID_CHARS) {
    text.clear();
    if (bytes.empty()) return true;
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_UTF8, flags, bytes.data(), length, nullptr, 0);
    if (size <= 0) return false;
    text.resize(static_cast<std::size_t>(size));
    return MultiByteToWideChar(CP_UTF8, flags, bytes.data(), length, text.data(), size) == size;
}
std::wstring SystemReplacing(const std::string& bytes) {
    std::wstring text;
    SystemDecode(bytes, text, 0);
    return text;
}

// The library's decoding of a UTF-8 file (with mark) holding bytes.
std::wstring LibraryDecoding(const std::string& bytes) {
    TextFileType::Type type{};
    std::wstring text;
    std::size_t count = 0;
    EXPECT_TRUE(
        tarvox::DecodeText("\xEF\xBB\xBF" + bytes, tarvox::SystemCodePages(), type, text, count));
    EXPECT_EQ(type, TextFileType::Utf8);
    EXPECT_EQ(count, text.size());
    return text;
}

std::string SystemEncode(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

TEST(Utf8Decoder, DecodesEveryCodePointAsTheSystemEncodesIt) {
    std::wstring all;
    for (unsigned long code = 1; code <= 0x10FFFF; code += (code < 0x3000 ? 1 : 7)) {
        if (code >= 0xD800 && code <= 0xDFFF) continue;
        if (code <= 0xFFFF) {
            all.push_back(static_cast<wchar_t>(code));
        } else {
            all.push_back(static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10)));
            all.push_back(static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        }
    }
    std::wstring decoded;
    ASSERT_TRUE(tarvox::DecodeWellFormedUtf8(SystemEncode(all), decoded));
    EXPECT_TRUE(decoded == all);
}

TEST(Utf8Decoder, IllFormedTextIsReplacedExactlyAsTheSystemConverterReplacesIt) {
    const char* const malformed[] = {
        "\x80",
        "a\xBF"
        "b",
        "\x80\x80\x80",  // stray continuation bytes
        "\xC3",
        "ab\xC3",
        "\xE2\x82",
        "\xF0\x9F\x98",
        "\xE2\x82"
        "a",
        "\xF0\x9F\x98"
        "a",
        "x\xC3",  // truncated
        "\xC0\xAF",
        "\xC1\xBF",
        "\xE0\x80\xAF",
        "\xE0\x9F\xBF",
        "\xF0\x80\x80\xAF",
        "\xF0\x8F\xBF\xBF",  // overlong
        "\xED\xA0\x80",
        "\xED\xBF\xBF",
        "\xED\xA0\xBD\xED\xB8\x80",  // surrogates in UTF-8
        "\xF4\x90\x80\x80",
        "\xF5\x80\x80\x80",
        "\xF8\x88\x80\x80\x80",  // above U+10FFFF
        "\xFC\x84\x80\x80\x80\x80",
        "\xFE",
        "\xFF",
        "\xFE\xFF",
        "ok=\xC3(\xE2\x82\xAC\xFF\xF0\x9F\x98\x80\r\n[\xE9t\xE9]",  // well-formed around damage
    };
    for (const char* bytes : malformed) {
        std::wstring unused;
        EXPECT_FALSE(tarvox::DecodeWellFormedUtf8(bytes, unused))
            << testing::PrintToString(std::string(bytes));
        const std::wstring system = SystemReplacing(bytes);
        EXPECT_NE(system.find(L'\xFFFD'), std::wstring::npos);
        EXPECT_TRUE(LibraryDecoding(bytes) == system) << testing::PrintToString(std::string(bytes));
    }
    std::wstring text;
    ASSERT_TRUE(
        tarvox::DecodeWellFormedUtf8("Gr\xC3\xB6\xC3\x9F"
                                     "e \xE2\x82\xAC \xF0\x9F\x98\x80",
                                     text));
    EXPECT_EQ(text,
              L"Gr\x00F6\x00DF"
              L"e \x20AC \xD83D\xDE00");
}

TEST(Utf8Decoder, AgreesWithTheSystemOnRandomBytes) {
    std::mt19937 random(5);
    const unsigned char pieces[] = {'a',  'Z',  '=',  0x80, 0x8F, 0x9F, 0xA0, 0xBF, 0xC2, 0xC3,
                                    0xDF, 0xE0, 0xE2, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xC0, 0xFF};
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string bytes;
        const int length = static_cast<int>(random() % 12);
        for (int k = 0; k < length; ++k)
            bytes.push_back(static_cast<char>(pieces[random() % std::size(pieces)]));
        std::wstring ours;
        std::wstring system;
        const bool systemOk = SystemDecode(bytes, system);
        if (tarvox::DecodeWellFormedUtf8(bytes, ours)) {
            ++accepted;
            ASSERT_TRUE(systemOk) << testing::PrintToString(bytes);
            ASSERT_TRUE(ours == system) << testing::PrintToString(bytes);
        }
        // Accepted or not, the text of a file holding these bytes is the system's.
        ASSERT_TRUE(LibraryDecoding(bytes) == SystemReplacing(bytes))
            << testing::PrintToString(bytes);
    }
    EXPECT_GT(accepted, 1000);
}

}  // namespace
