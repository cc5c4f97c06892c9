// The library's own UTF-8 decoder must agree with the system's wherever it answers.
#include "xml/utf8_decoder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>

namespace {

bool SystemDecode(const std::string& bytes, std::wstring& text) {
    text.clear();
    if (bytes.empty()) return true;
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                         static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0) return false;
    text.resize(static_cast<std::size_t>(size));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                               static_cast<int>(bytes.size()), text.data(), size) == size;
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

TEST(Utf8Decoder, RefusesIllFormedSequences) {
    std::wstring text;
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
                            "\x80", "ab\xC3", "\xE2\x82", "\xF0\x9F\x98", "\xFF"}) {
        EXPECT_FALSE(tarvox::DecodeWellFormedUtf8(bad, text)) << testing::PrintToString(std::string(bad));
    }
    ASSERT_TRUE(tarvox::DecodeWellFormedUtf8("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80", text));
    EXPECT_EQ(text, L"Gr\x00F6\x00DF" L"e \x20AC \xD83D\xDE00");
}

TEST(Utf8Decoder, AgreesWithTheSystemOnRandomBytes) {
    std::mt19937 random(5);
    const unsigned char pieces[] = {'a', 'Z', '=', 0x80, 0x8F, 0x9F, 0xA0, 0xBF, 0xC2, 0xC3, 0xDF,
                                    0xE0, 0xE2, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xC0, 0xFF};
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string bytes;
        const int length = static_cast<int>(random() % 12);
        for (int k = 0; k < length; ++k) bytes.push_back(static_cast<char>(pieces[random() % std::size(pieces)]));
        std::wstring ours;
        std::wstring system;
        const bool systemOk = SystemDecode(bytes, system);
        if (tarvox::DecodeWellFormedUtf8(bytes, ours)) {
            ++accepted;
            ASSERT_TRUE(systemOk) << testing::PrintToString(bytes);
            ASSERT_TRUE(ours == system) << testing::PrintToString(bytes);
        }
    }
    EXPECT_GT(accepted, 1000);
}

}  // namespace
