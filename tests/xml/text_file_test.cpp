// Encoding detection and decoding of text files, and the library's own UTF-8 decoder, which
// must agree with the system's wherever it answers.
#include <tarvox/xml.h>

#include "foundation/unique_handle.h"
#include "tests/support/sandbox_fixture.h"
#include "text/code_pages.h"
#include "text/text_codec.h"
#include "text/utf8_decoder.h"

#include <algorithm>
#include <optional>
#include <random>
#include <string>

namespace {

using tarvox::test::SandboxTest;
namespace T = TextFileType;

const std::string kBom = "\xEF\xBB\xBF";

// The UTF-16 bytes of a text after the byte-order mark, little- or big-endian.
std::string Utf16(std::wstring_view text, bool bigEndian = false) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const wchar_t c : text) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(DetectTextFileType, MarksXmlStartAndEverythingElse) {
    EXPECT_EQ(DetectTextFileType(nullptr, 0), T::Ansi);
    const std::pair<std::string, T::Type> cases[] = {{Utf16(L""), T::UnicodeLE},
                                                     {Utf16(L"", true), T::UnicodeBE},
                                                     {kBom + "x", T::Utf8},
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

class ReadTextFileTest : public SandboxTest {};

// Files read whole as ReadTextFile's callers do. Bytes that are no UTF-8 become replacement
// characters; the rest of the text is kept.
TEST_F(ReadTextFileTest, DecodesEveryEncodingZeroCountFailsAndBrokenUtf8IsReplaced) {
    const struct {
        std::string bytes;
        T::Type type;
        std::wstring text;
    } cases[] = {{Utf16(L"a=\u00E4"), T::UnicodeLE, L"a=\u00E4"},
                 {"a=b", T::Ansi, L"a=b"},
                 {kBom + "a=\xFF\xC3\xA4", T::Utf8, L"a=\xFFFD\x00E4"},
                 {"<?xml?><a>\xE9</a>", T::Utf8NoBom, L"<?xml?><a>\xFFFD</a>"}};
    for (const auto& c : cases) {
        tarvox::FileHandle file(CreateFileW(temp.WriteFile(L"t.txt", c.bytes).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file.Valid());
        std::wstring buffer(c.bytes.size() + 1, L'#');
        DWORD count = 12345;
        T::Type type{};
        ASSERT_TRUE(ReadTextFile(file.Get(), buffer.data(), static_cast<DWORD>(c.bytes.size()),
                                 &count, nullptr, &type))
            << testing::PrintToString(c.bytes);
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

// The system's conversion: strict (nothing when the bytes are no UTF-8) or, with flags 0,
// replacing as a file's text must decode.
std::optional<std::wstring> SystemDecode(const std::string& bytes,
                                         DWORD flags = MB_ERR_INVALID_CHARS) {
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_UTF8, flags, bytes.data(), length, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    if (!bytes.empty() && (size <= 0 || MultiByteToWideChar(CP_UTF8, flags, bytes.data(), length,
                                                            text.data(), size) != size))
        return std::nullopt;
    return text;
}

// The library's decoding of a UTF-8 file (with mark) holding bytes.
std::wstring LibraryDecoding(const std::string& bytes) {
    T::Type type{};
    std::wstring text;
    std::size_t count = 0;
    EXPECT_TRUE(tarvox::DecodeText(kBom + bytes, tarvox::SystemCodePages(), type, text, count));
    EXPECT_EQ(type, T::Utf8);
    EXPECT_EQ(count, text.size());
    return text;
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
    ASSERT_TRUE(
        tarvox::DecodeWellFormedUtf8(tarvox::SystemCodePages().encode(CP_UTF8, all), decoded));
    EXPECT_TRUE(decoded == all);
}

TEST(Utf8Decoder, IllFormedTextIsReplacedExactlyAsTheSystemConverterReplacesIt) {
    // One kind of damage a line, the cases separated by "|": stray continuation bytes,
    // truncated sequences (octal escapes where a letter follows), overlong forms, surrogates in
    // UTF-8, code points above U+10FFFF, bytes UTF-8 never uses, and well-formed text around it.
    const std::string cases =
        "\x80|a\277b|\x80\x80\x80|"
        "\xC3|ab\xC3|\xE2\x82|\xF0\x9F\x98|\342\202a|\360\237\230a|x\xC3|"
        "\xC0\xAF|\xC1\xBF|\xE0\x80\xAF|\xE0\x9F\xBF|\xF0\x80\x80\xAF|\xF0\x8F\xBF\xBF|"
        "\xED\xA0\x80|\xED\xBF\xBF|\xED\xA0\xBD\xED\xB8\x80|"
        "\xF4\x90\x80\x80|\xF5\x80\x80\x80|\xF8\x88\x80\x80\x80|\xFC\x84\x80\x80\x80\x80|"
        "\xFE|\xFF|\xFE\xFF|"
        "ok=\xC3(\xE2\x82\xAC\xFF\xF0\x9F\x98\x80\r\n[\xE9t\xE9]";
    for (std::size_t start = 0, end = 0; start < cases.size(); start = end + 1) {
        end = std::min(cases.find('|', start), cases.size());
        const std::string bytes = cases.substr(start, end - start);
        std::wstring unused;
        EXPECT_FALSE(tarvox::DecodeWellFormedUtf8(bytes, unused)) << testing::PrintToString(bytes);
        const std::wstring system = *SystemDecode(bytes, 0);
        EXPECT_NE(system.find(L'\xFFFD'), std::wstring::npos);
        EXPECT_TRUE(LibraryDecoding(bytes) == system) << testing::PrintToString(bytes);
    }
    std::wstring text;
    ASSERT_TRUE(
        tarvox::DecodeWellFormedUtf8("Gr\xC3\xB6\xC3\237e \xE2\x82\xAC \xF0\x9F\x98\x80", text));
    EXPECT_EQ(text, L"Gr\u00F6\u00DFe \u20AC \xD83D\xDE00");
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
        if (tarvox::DecodeWellFormedUtf8(bytes, ours)) {
            ++accepted;  // the system accepts the bytes too, with the same text
            ASSERT_TRUE(SystemDecode(bytes) == ours) << testing::PrintToString(bytes);
        }
        // Accepted or not, the text of a file holding these bytes is the system's.
        ASSERT_TRUE(LibraryDecoding(bytes) == *SystemDecode(bytes, 0))
            << testing::PrintToString(bytes);
    }
    EXPECT_GT(accepted, 1000);
}

}  // namespace
