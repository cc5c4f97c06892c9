// Saving configurations: encodings kept byte for byte, the busy-file retry, the atomic
// replacement, files that must never be written over and the hand-over to the host's drawing.
#include <tarvox/config.h>

#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;

std::string Utf16(std::wstring_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const wchar_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

constexpr wchar_t kBefore[] = L"; kept\r\n[A]\r\nx=1\r\ny=\u00E4\r\n";
constexpr wchar_t kAfter[] = L"; kept\r\n[A]\r\nx=2\r\ny=\u00E4\r\n";

class CfgSaveTest : public SandboxTest {};

TEST_F(CfgSaveTest, EveryEncodingRoundTripsByteForByte) {
    const struct {
        const wchar_t* file;
        TextFileType::Type type;
        std::string before, after;  // [A] x=1 y=ä with a comment, then the same with x=2
    } cases[] = {
        {L"ansi.cfg", TextFileType::Ansi, "; kept\r\n[A]\r\nx=1\r\ny=\xE4\r\n",
         "; kept\r\n[A]\r\nx=2\r\ny=\xE4\r\n"},
        {L"utf16le.cfg", TextFileType::UnicodeLE, Utf16(kBefore, false), Utf16(kAfter, false)},
        {L"utf16be.cfg", TextFileType::UnicodeBE, Utf16(kBefore, true), Utf16(kAfter, true)},
        {L"utf8.cfg", TextFileType::Utf8, "\xEF\xBB\xBF; kept\r\n[A]\r\nx=1\r\ny=\xC3\xA4\r\n",
         "\xEF\xBB\xBF; kept\r\n[A]\r\nx=2\r\ny=\xC3\xA4\r\n"},
        {L"utf8nobom.cfg", TextFileType::Utf8NoBom, "<?xml?>\r\n[A]\r\nx=1\r\ny=\xC3\xA4\r\n",
         "<?xml?>\r\n[A]\r\nx=2\r\ny=\xC3\xA4\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::wstring path = temp.WriteFile(c.file, c.before);
        {
            CCfgReader reader(path.c_str());
            ASSERT_EQ(reader.IsInit(), 1);
            EXPECT_EQ(reader.Get_m_FileType(), c.type);
            std::wstring y;
            EXPECT_EQ(reader.GetValue(y, L"A", L"y", nullptr), 1);
            EXPECT_EQ(y, L"\u00E4");
            ASSERT_EQ(reader.SetValue(L"A", L"x", L"2"), 1);
            EXPECT_EQ(reader.Save(), 1);
            EXPECT_EQ(reader.Get_m_HasChanged(), 0);
            EXPECT_EQ(ReadFileBytes(path), c.after);
            ASSERT_EQ(reader.SetValue(L"A", L"x", L"1"), 1);
        }  // the destructor saves the change back
        EXPECT_EQ(ReadFileBytes(path), c.before);
    }
}

TEST_F(CfgSaveTest, OemAndUtf7AreWrittenWhenSet) {
    const std::wstring path = temp / L"seven.cfg";
    {
        CCfgReader reader(path.c_str());
        reader.Get_m_FileType() = TextFileType::Utf7;
        reader.SetValue(L"A", L"k", L"\u00E4+");
    }
    // UTF-7 is never detected when reading: decode the bytes as UTF-7 to check them.
    const std::string seven = ReadFileBytes(path);
    std::wstring decoded(seven.size(), L'\0');
    decoded.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF7, 0, seven.data(), static_cast<int>(seven.size()),
                            decoded.data(), static_cast<int>(decoded.size()))));
    EXPECT_EQ(decoded, L"[A]\r\nk=\u00E4+\r\n");
    EXPECT_EQ(seven.find('\xE4'), std::string::npos);
    const std::wstring oem = temp / L"oem.cfg";
    {
        CCfgReader reader(oem.c_str());
        reader.Get_m_FileType() = TextFileType::Oem;
        reader.SetValue(L"A", L"k", L"v");
    }
    EXPECT_EQ(ReadFileBytes(oem), "[A]\r\nk=v\r\n");
    CCfgReader unnamed((temp / L"six.cfg").c_str());
    unnamed.Get_m_FileType() = TextFileType::Unnamed;
    unnamed.SetValue(L"A", L"k", L"v");
    EXPECT_EQ(unnamed.Save(), 0);
    EXPECT_EQ(GetFileAttributesW((temp / L"six.cfg").c_str()), INVALID_FILE_ATTRIBUTES);
    unnamed.Get_m_HasChanged() = 0;
}

TEST_F(CfgSaveTest, UnchangedEmptiedAndUninitialisedReaders) {
    // The original is composed as loaded, so merged blank lines alone are no change.
    const std::wstring path = temp.WriteFile(L"u.cfg", "[A]\r\n\r\n\r\na=1\r\n");
    {
        CCfgReader reader(path.c_str());
        reader.Get_m_HasChanged() = 1;
        EXPECT_EQ(reader.Save(), 1);
    }
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\n\r\n\r\na=1\r\n");
    {
        CCfgReader reader(path.c_str());
        reader.Get_m_HasChanged() = 1;  // nothing to write: the text equals the original
        DeleteFileW(path.c_str());
        EXPECT_EQ(reader.Save(), 1);
    }
    EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);

    const std::wstring emptied = temp.WriteFile(L"e.cfg", "[A]\r\na=1\r\n");
    {
        CCfgReader reader(emptied.c_str());
        reader.GetDataArray().clear();
        EXPECT_EQ(reader.Save(), 1);
        EXPECT_EQ(GetFileAttributesW(emptied.c_str()) != INVALID_FILE_ATTRIBUTES, true);
        EXPECT_EQ(ReadFileBytes(emptied), "");
        // The emptied file is what the reader knows to be on disk: the old text is new again.
        reader.GetDataArray() = {L"[A]", L"a=1"};
        EXPECT_EQ(reader.Save(), 1);
        EXPECT_EQ(ReadFileBytes(emptied), "[A]\r\na=1\r\n");
    }

    CCfgReader never;
    EXPECT_EQ(never.Save(), 0);
}

TEST_F(CfgSaveTest, BusyTargetIsRetriedAndKeptWhole) {
    const std::wstring path = temp.WriteFile(L"busy.cfg", "[A]\r\na=1\r\n");
    CCfgReader reader(path.c_str());
    reader.SetValue(L"A", L"a", L"2");
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    reader.SetTimeout(0);
    EXPECT_EQ(reader.Save(), 0);
    EXPECT_EQ(reader.Get_m_HasChanged(), 1);
    EXPECT_EQ(reader.Get_m_Original(), L"[A]\r\na=1\r\n");  // still what is on disk
    CloseHandle(lock);
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\na=1\r\n");
    EXPECT_EQ(reader.Save(), 1);
    EXPECT_EQ(ReadFileBytes(path), "[A]\r\na=2\r\n");

    // A target that another reader holds open with read and write sharing but without delete
    // sharing cannot be replaced: it is written in place, longer or shorter than before.
    for (const std::string value : {"3333", "4"}) {
        SCOPED_TRACE(value);
        const std::string expected = "[A]\r\na=" + value + "\r\n";
        reader.SetValue(L"A", L"a", std::wstring(value.begin(), value.end()).c_str());
        lock = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        EXPECT_EQ(reader.Save(), 1);
        EXPECT_EQ(reader.Get_m_HasChanged(), 0);
        EXPECT_EQ(reader.Get_m_Original(), std::wstring(expected.begin(), expected.end()));
        char seen[32] = {};
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(lock, seen, sizeof seen - 1, &read, nullptr));
        EXPECT_EQ(std::string(seen, read), expected);  // the holder's own handle sees the new text
        CloseHandle(lock);
        EXPECT_EQ(ReadFileBytes(path), expected);
    }
    EXPECT_EQ(FilesIn(temp.Path()), 1u);  // no temporary file stays
}

TEST_F(CfgSaveTest, BrokenUtf8LoadsWithReplacementCharactersAndIsSaved) {
    struct {
        const char* label;
        std::string bytes;
        TextFileType::Type type;
        const char* mark;
    } const cases[] = {
        {"with mark", "\xEF\xBB\xBF[A]\r\na=\xC3(\r\n", TextFileType::Utf8, "\xEF\xBB\xBF"},
        {"xml start", "<?xml?>\r\n[A]\r\na=\xC3(\r\n", TextFileType::Utf8NoBom, "<?xml?>"},
        {"stray byte", "\xEF\xBB\xBF[A]\r\n\x80\r\na=\xC3(\r\n", TextFileType::Utf8,
         "\xEF\xBB\xBF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::wstring path = temp.WriteFile(L"broken.cfg", c.bytes);
        {
            CCfgReader reader(path.c_str());
            ASSERT_EQ(reader.IsInit(), 1);
            EXPECT_EQ(reader.Get_m_FileType(), c.type);
            std::wstring value;
            EXPECT_EQ(reader.GetValue(value, L"A", L"a", nullptr), 1);
            EXPECT_EQ(value, L"\xFFFD(");
            reader.SetValue(L"A", L"b", L"1");
            EXPECT_EQ(reader.Save(), 1);
        }
        const std::string saved = ReadFileBytes(path);
        EXPECT_EQ(saved.rfind(c.mark, 0), 0u);
        EXPECT_NE(saved.find("\r\na=\xEF\xBF\xBD(\r\n"), std::string::npos) << saved;
        EXPECT_NE(saved.find("\r\nb=1\r\n"), std::string::npos) << saved;
    }
}

// Children save the file with the drawing hand-over on and the host in the test modules: one
// loads the host first, the other only after its first save.
TEST_F(CfgSaveTest, HostGetsTheDrawingKeyAndTheTextWithoutCommentsAndAMissingOneStaysMissing) {
    const std::wstring modules = FolderOfThisProgram() + L"\\testmodules";
    const std::wstring path =
        temp.WriteFile(L"Settings.cfg", "; comment\r\n[A]\r\n/note\r\nk=0\r\n\r\n[B]\r\nb=1\r\n");
    const ChildResult child = RunSandboxed("DrawingHandOver", {.args = {modules, path}});
    EXPECT_EQ(child.Value("saved") + child.Value("calls") + child.Value("key"), "11SETTINGS");
    EXPECT_NE(child.Value("text").find("[A]"), std::string::npos);
    EXPECT_EQ(child.Value("text").find("comment"), std::string::npos);
    EXPECT_EQ(child.Value("text").find("note"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(path), "; comment\r\n[A]\r\n/note\r\nk=1\r\n\r\n[B]\r\nb=1\r\n");

    const std::wstring notes = temp.WriteFile(L"Notes.xml", "[A]\r\nk=0\r\n");
    const ChildResult missing = RunSandboxed("DrawingHostMissing", {.args = {modules, notes}});
    EXPECT_EQ(missing.Value("first_saved") + missing.Value("second_saved"), "11");
    EXPECT_EQ(missing.Value("calls"), "0");
    EXPECT_EQ(ReadFileBytes(notes), "[A]\r\nk=2\r\n");
}

}  // namespace
