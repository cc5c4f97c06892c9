// Resource bytes and temporary resource files.
#include <tarvox/ui.h>

#include "tests/support/sandbox_fixture.h"

#include <cstring>

namespace {

using namespace tarvox::test;

class ResourceData : public SandboxTest {
protected:
    void SetUp() override { environment.SetTempFolder(temp.Path()); }
    HMODULE program = GetModuleHandleW(nullptr);
};

std::string Text(const std::vector<BYTE>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A null, empty or RCDATA type (in any case) finds raw data; a named type only its own.
TEST_F(ResourceData, RawDataIsFoundByTypeAndNameOrGivesNull) {
    const char* const notAnImage = "this is not an image";
    const struct {
        const wchar_t* name;
        const wchar_t* type;
        const char* text;  // nullptr: not found
    } cases[] = {
        {L"NOTANIMAGE", nullptr, notAnImage},
        {L"NOTANIMAGE", L"", notAnImage},
        {L"NOTANIMAGE", L"rcData", notAnImage},
        {L"TYPEDDATA", L"TARVOXDATA", "typed bytes"},
        {L"TYPEDDATA", nullptr, nullptr},
        {L"NOTANIMAGE", L"TARVOXDATA", nullptr},
        {L"", nullptr, nullptr},
        {nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        std::vector<BYTE> buffer;
        DWORD size = 99;
        const BYTE* bytes = LoadResourceData(program, c.name, buffer, size, c.type);
        SCOPED_TRACE(Utf8(c.name ? c.name : L"<null>") + " as " +
                     Utf8(c.type ? c.type : L"<null>"));
        if (!c.text) {
            EXPECT_EQ(bytes, nullptr);
            EXPECT_EQ(size, 0u);
            continue;
        }
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(bytes, buffer.data());
        EXPECT_EQ(size, buffer.size());
        EXPECT_EQ(Text(buffer).substr(0, std::strlen(c.text)), c.text);
    }
}

TEST_F(ResourceData, FailedExtractionLeavesAnEmptyPathAndNoFile) {
    for (const auto& [name, type] :
         {std::pair<const wchar_t*, const wchar_t*>{L"NO_SUCH_PICTURE", nullptr},
          {L"TYPEDDATA", L"OTHERTYPE"},
          {L"SCALED", nullptr}}) {
        if (std::wstring(name) == L"SCALED") environment.SetTempFolder(temp / L"missing");
        std::wstring path = L"previous";
        EXPECT_EQ(ExtractResourceToTempFile(program, name, path, type), 0) << Utf8(name);
        EXPECT_EQ(path, L"");
    }
    EXPECT_EQ(FilesMatching(temp / L"rc*"), 0u);
}

}  // namespace
