// Encoding detection and decoding of text files.
#include <tarvox/xml.h>

#include "tests/support/sandbox_fixture.h"
#include "text/code_pages.h"
#include "text/text_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tarvox::test::SandboxTest;

TextFileType::Type Detect(std::string_view bytes) {
    return DetectTextFileType(reinterpret_cast<const BYTE*>(bytes.data()),
                              static_cast<DWORD>(bytes.size()));
}

TEST(DetectTextFileType, MarksXmlStartAndEverythingElse) {
    EXPECT_EQ(DetectTextFileType(nullptr, 0), TextFileType::Ansi);
    EXPECT_EQ(Detect(std::string("\xFF\xFE", 2)), TextFileType::UnicodeLE);
    EXPECT_EQ(Detect(std::string("\xFE\xFF", 2)), TextFileType::UnicodeBE);
    EXPECT_EQ(Detect("\xEF\xBB\xBFx"), TextFileType::Utf8);
    EXPECT_EQ(Detect("\xEF\xBB"), TextFileType::Ansi);
    EXPECT_EQ(Detect("<?XmL version"), TextFileType::Utf8NoBom);
    EXPECT_EQ(Detect("<?xm"), TextFileType::Ansi);
    EXPECT_EQ(Detect("<html>"), TextFileType::Ansi);
    EXPECT_EQ(Detect("\xFF"), TextFileType::Ansi);
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

TEST(TextCodec, EachTypeGoesThroughItsCodePageWithoutItsMark) {
    TextFileType::Type type{};
    std::wstring text;
    std::size_t count = 0;
    // Well-formed UTF-8 is decoded without the converter; the rest goes to it.
    ASSERT_TRUE(tarvox::DecodeText("\xEF\xBB\xBF" "a\xC3\xA4", kTagging, type, text, count));
    EXPECT_EQ(type, TextFileType::Utf8);
    EXPECT_EQ(text, L"a\x00E4");
    EXPECT_EQ(count, text.size());
    ASSERT_TRUE(tarvox::DecodeText("\xEF\xBB\xBF" "ab\xC0", kTagging, type, text, count));
    EXPECT_EQ(text, L"65001:ab\xFFC0");
    EXPECT_EQ(count, text.size());

    ASSERT_TRUE(tarvox::DecodeText("<?xml?>\x80", kTagging, type, text, count));
    EXPECT_EQ(type, TextFileType::Utf8NoBom);
    EXPECT_EQ(text, L"65001:<?xml?>\xFF80");

    ASSERT_TRUE(tarvox::DecodeText("plain", kTagging, type, text, count));
    EXPECT_EQ(type, TextFileType::Ansi);
    EXPECT_EQ(text, L"0:plain");
    EXPECT_EQ(count, 5u);  // ANSI keeps the byte count

    std::string bytes;
    EXPECT_TRUE(tarvox::EncodeText(L"x", TextFileType::Oem, kTagging, bytes));
    EXPECT_EQ(bytes, "1:x");
    EXPECT_TRUE(tarvox::EncodeText(L"x", TextFileType::Utf7, kTagging, bytes));
    EXPECT_EQ(bytes, "65000:x");
    EXPECT_TRUE(tarvox::EncodeText(L"x", TextFileType::Utf8, kTagging, bytes));
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" "65001:x");
    EXPECT_FALSE(tarvox::EncodeText(L"x", TextFileType::Unnamed, kTagging, bytes));
    EXPECT_FALSE(tarvox::EncodeText(L"x", TextFileType::None, kTagging, bytes));
}

TEST(TextCodec, Utf16BothOrdersAndOddTrailingByte) {
    TextFileType::Type type{};
    std::wstring text;
    std::size_t count = 0;
    ASSERT_TRUE(tarvox::DecodeText(std::string("\xFF\xFE" "A\0\xE4\0" "x", 7), kTagging, type, text, count));
    EXPECT_EQ(type, TextFileType::UnicodeLE);
    EXPECT_EQ(text, L"A\u00E4");
    EXPECT_EQ(count, 2u);
    ASSERT_TRUE(tarvox::DecodeText(std::string("\xFE\xFF\0A\x20\xAC", 6), kTagging, type, text, count));
    EXPECT_EQ(type, TextFileType::UnicodeBE);
    EXPECT_EQ(text, L"A\u20AC");

    std::string bytes;
    ASSERT_TRUE(tarvox::EncodeText(L"A\u20AC", TextFileType::UnicodeBE, kTagging, bytes));
    EXPECT_EQ(bytes, std::string("\xFE\xFF\0A\x20\xAC", 6));
    ASSERT_TRUE(tarvox::EncodeText(L"A\u20AC", TextFileType::UnicodeLE, kTagging, bytes));
    EXPECT_EQ(bytes, std::string("\xFF\xFE" "A\0\xAC\x20", 6));
}

TEST(TextCodec, SystemConverterRoundTripsUtf7AndReplacesBrokenUtf8) {
    const auto& system = tarvox::SystemCodePages();
    std::string bytes;
    ASSERT_TRUE(tarvox::EncodeText(L"Gr\u00FC\u00DFe +1", TextFileType::Utf7, system, bytes));
    std::wstring text;
    ASSERT_TRUE(system.decode(tarvox::kCodePageUtf7, bytes, text));
    EXPECT_EQ(text, L"Gr\u00FC\u00DFe +1");

    TextFileType::Type type{};
    std::size_t count = 0;
    ASSERT_TRUE(tarvox::DecodeText("\xEF\xBB\xBF\xC3(", system, type, text, count));
    EXPECT_EQ(type, TextFileType::Utf8);
    EXPECT_EQ(text, L"\xFFFD(");
}

class ReadTextFileTest : public SandboxTest {
protected:
    // Reads a whole file as ReadTextFile's callers do.
    BOOL Read(std::string_view bytes, std::wstring& text, TextFileType::Type& type) {
        const std::wstring path = temp.WriteFile(L"t.txt", bytes);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        std::wstring buffer(bytes.size() + 1, L'#');
        DWORD count = 12345;
        const BOOL ok = ReadTextFile(file, buffer.data(), static_cast<DWORD>(bytes.size()), &count,
                                     nullptr, &type);
        CloseHandle(file);
        text = buffer.substr(0, ok ? count : 0);
        return ok;
    }
};

TEST_F(ReadTextFileTest, DecodesEveryDetectedEncoding) {
    std::wstring text;
    TextFileType::Type type{};
    ASSERT_TRUE(Read(std::string("\xFF\xFE" "a\0=\0\xE4\0", 8), text, type));
    EXPECT_EQ(type, TextFileType::UnicodeLE);
    EXPECT_EQ(text, L"a=\u00E4");
    ASSERT_TRUE(Read(std::string("\xFE\xFF\0a\0=\0\xE4", 8), text, type));
    EXPECT_EQ(type, TextFileType::UnicodeBE);
    EXPECT_EQ(text, L"a=\u00E4");
    ASSERT_TRUE(Read("\xEF\xBB\xBF" "a=\xC3\xA4", text, type));
    EXPECT_EQ(type, TextFileType::Utf8);
    EXPECT_EQ(text, L"a=\u00E4");
    ASSERT_TRUE(Read("<?XML ?>\xE2\x82\xAC", text, type));
    EXPECT_EQ(type, TextFileType::Utf8NoBom);
    EXPECT_EQ(text, L"<?XML ?>\u20AC");
    ASSERT_TRUE(Read("a=b", text, type));
    EXPECT_EQ(type, TextFileType::Ansi);
    EXPECT_EQ(text, L"a=b");
}

TEST_F(ReadTextFileTest, ZeroCountFailsAndBrokenUtf8IsReplaced) {
    wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
    TextFileType::Type type = TextFileType::Utf8;
    EXPECT_FALSE(ReadTextFile(INVALID_HANDLE_VALUE, buffer, 0, nullptr, nullptr, &type));
    EXPECT_EQ(type, TextFileType::None);
    EXPECT_EQ(buffer[0], L'\0');

    // Bytes that are no UTF-8 become replacement characters; the rest of the text is kept.
    std::wstring text;
    ASSERT_TRUE(Read("\xEF\xBB\xBF" "a=\xFF\xC3\xA4", text, type));
    EXPECT_EQ(type, TextFileType::Utf8);
    EXPECT_EQ(text, L"a=\xFFFD\x00E4");
    ASSERT_TRUE(Read("<?xml?><a>\xE9</a>", text, type));
    EXPECT_EQ(type, TextFileType::Utf8NoBom);
    EXPECT_EQ(text, L"<?xml?><a>\xFFFD</a>");
}

}  // namespace
