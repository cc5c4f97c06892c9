// Encoding detection and decoding of text files.
#include <tarvox/xml.h>

#include "tests/support/sandbox_fixture.h"
#include "text/code_pages.h"
#include "text/text_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using tarvox::test::SandboxTest;
namespace T = TextFileType;

TEST(DetectTextFileType, MarksXmlStartAndEverythingElse) {
    EXPECT_EQ(DetectTextFileType(nullptr, 0), T::Ansi);
    const std::pair<std::string, T::Type> cases[] = {{std::string("\xFF\xFE", 2), T::UnicodeLE},
                                                     {std::string("\xFE\xFF", 2), T::UnicodeBE},
                                                     {"\xEF\xBB\xBFx", T::Utf8},
                                                     {"\xEF\xBB", T::Ansi},
                                                     {"<?XmL version", T::Utf8NoBom},
                                                     {"<?xm", T::Ansi},
                                                     {"<html>", T::Ansi},
                                                     {"\xFF", T::Ansi}};
    for (const auto& [bytes, type] : cases) {
        EXPECT_EQ(DetectTextFileType(reinterpret_cast<const BYTE*>(bytes.data()),
                                     static_cast<DWORD>(bytes.size())),
                  type)
            << testing::PrintToString(bytes);
    }
}

// A converter that tags every conversion with the code page it was asked for.
bool TaggingDecode(unsigned codePage, std::string_view bytes, std::wstring& text) {
    text = std::to_wstring(codePage) + L":" + std::wstring(bytes.begin(), bytes.end());
    return true;
}
std::string TaggingEncode(unsigned codePage, std::wstring_view text) {
    return std::to_string(codePage) + ":" + std::string(text.begin(), text.end());
}
const tarvox::CodePageConverter kTagging{&TaggingDecode, &TaggingEncode};

// Well-formed UTF-8 and UTF-16 are decoded without the converter; the rest goes to it without
// its mark. The count is of characters, for ANSI of bytes.
TEST(TextCodec, EachTypeGoesThroughItsCodePageWithoutItsMark) {
    const struct {
        std::string bytes;
        T::Type type;
        std::wstring text;
        std::size_t count;
    } decoded[] = {
        {"\xEF\xBB\xBF"
         "a\xC3\xA4",
         T::Utf8, L"a\x00E4", 2},
        {"\xEF\xBB\xBF"
         "ab\xC0",
         T::Utf8, L"65001:ab\xFFC0", 9},
        {"<?xml?>\x80", T::Utf8NoBom, L"65001:<?xml?>\xFF80", 14},
        {"plain", T::Ansi, L"0:plain", 5},
        {std::string("\xFF\xFE"
                     "A\0\xE4\0"
                     "x",
                     7),
         T::UnicodeLE, L"A\u00E4", 2},  // odd trailing byte
        {std::string("\xFE\xFF\0A\x20\xAC", 6), T::UnicodeBE, L"A\u20AC", 2},
    };
    for (const auto& c : decoded) {
        T::Type type{};
        std::wstring text;
        std::size_t count = 0;
        ASSERT_TRUE(tarvox::DecodeText(c.bytes, kTagging, type, text, count))
            << testing::PrintToString(c.bytes);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(count, c.count) << testing::PrintToString(c.bytes);
    }
    const std::tuple<T::Type, std::wstring, std::string> encoded[] = {
        {T::Oem, L"x", "1:x"},
        {T::Utf7, L"x", "65000:x"},
        {T::Utf8, L"x",
         "\xEF\xBB\xBF"
         "65001:x"},
        {T::UnicodeBE, L"A\u20AC", std::string("\xFE\xFF\0A\x20\xAC", 6)},
        {T::UnicodeLE, L"A\u20AC",
         std::string("\xFF\xFE"
                     "A\0\xAC\x20",
                     6)},
        {T::Unnamed, L"x", "<fails>"},
        {T::None, L"x", "<fails>"}};
    for (const auto& [type, text, expected] : encoded) {
        std::string bytes;
        EXPECT_EQ(tarvox::EncodeText(text, type, kTagging, bytes) ? bytes : "<fails>", expected)
            << type;
    }
}

TEST(TextCodec, SystemConverterRoundTripsUtf7AndReplacesBrokenUtf8) {
    const auto& system = tarvox::SystemCodePages();
    std::string bytes;
    std::wstring text;
    ASSERT_TRUE(tarvox::EncodeText(L"Gr\u00FC\u00DFe +1", T::Utf7, system, bytes));
    ASSERT_TRUE(system.decode(tarvox::kCodePageUtf7, bytes, text));
    EXPECT_EQ(text, L"Gr\u00FC\u00DFe +1");
    T::Type type{};
    std::size_t count = 0;
    ASSERT_TRUE(tarvox::DecodeText("\xEF\xBB\xBF\xC3(", system, type, text, count));
    EXPECT_EQ(type, T::Utf8);
    EXPECT_EQ(text, L"\xFFFD(");
}

class ReadTextFileTest : public SandboxTest {};

// Files read whole as ReadTextFile's callers do. Bytes that are no UTF-8 become replacement
// characters; the rest of the text is kept.
TEST_F(ReadTextFileTest, DecodesEveryEncodingZeroCountFailsAndBrokenUtf8IsReplaced) {
    const struct {
        std::string bytes;
        T::Type type;
        std::wstring text;
    } cases[] = {
        {std::string("\xFF\xFE"
                     "a\0=\0\xE4\0",
                     8),
         T::UnicodeLE, L"a=\u00E4"},
        {std::string("\xFE\xFF\0a\0=\0\xE4", 8), T::UnicodeBE, L"a=\u00E4"},
        {"\xEF\xBB\xBF"
         "a=\xC3\xA4",
         T::Utf8, L"a=\u00E4"},
        {"<?XML ?>\xE2\x82\xAC", T::Utf8NoBom, L"<?XML ?>\u20AC"},
        {"a=b", T::Ansi, L"a=b"},
        {"\xEF\xBB\xBF"
         "a=\xFF\xC3\xA4",
         T::Utf8, L"a=\xFFFD\x00E4"},
        {"<?xml?><a>\xE9</a>", T::Utf8NoBom, L"<?xml?><a>\xFFFD</a>"},
    };
    for (const auto& c : cases) {
        const std::wstring path = temp.WriteFile(L"t.txt", c.bytes);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::wstring buffer(c.bytes.size() + 1, L'#');
        DWORD count = 12345;
        T::Type type{};
        const BOOL ok = ReadTextFile(file, buffer.data(), static_cast<DWORD>(c.bytes.size()),
                                     &count, nullptr, &type);
        CloseHandle(file);
        ASSERT_TRUE(ok) << testing::PrintToString(c.bytes);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(buffer.substr(0, count), c.text);
    }
    wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
    T::Type type = T::Utf8;
    EXPECT_FALSE(
        ReadTextFile(INVALID_HANDLE_VALUE, buffer, 0, nullptr, nullptr, &type));  // zero count
    EXPECT_EQ(type, T::None);
    EXPECT_EQ(buffer[0], L'\0');
}

}  // namespace
