// Resource bytes and temporary resource files.
#include <tarvox/ui.h>

#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvox::test;

class ResourceData : public SandboxTest {
protected:
    void SetUp() override { environment.SetTempFolder(temp.Path()); }
    HMODULE program = GetModuleHandleW(nullptr);
};

std::string Text(const std::vector<BYTE>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST_F(ResourceData, RawDataIsFoundWithANullEmptyOrRcdataType) {
    for (const wchar_t* type : {static_cast<const wchar_t*>(nullptr), L"", L"RCDATA", L"rcData"}) {
        std::vector<BYTE> buffer;
        DWORD size = 99;
        const BYTE* bytes = LoadResourceData(program, L"NOTANIMAGE", buffer, size, type);
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(bytes, buffer.data());
        EXPECT_EQ(size, buffer.size());
        EXPECT_EQ(Text(buffer).substr(0, 20), "this is not an image");
    }
}

TEST_F(ResourceData, ANamedTypeIsLookedUpByItsName) {
    std::vector<BYTE> buffer;
    DWORD size = 0;
    ASSERT_NE(LoadResourceData(program, L"TYPEDDATA", buffer, size, L"TARVOXDATA"), nullptr);
    EXPECT_EQ(Text(buffer).substr(0, 11), "typed bytes");
    EXPECT_EQ(LoadResourceData(program, L"TYPEDDATA", buffer, size, nullptr), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(LoadResourceData(program, L"NOTANIMAGE", buffer, size, L"TARVOXDATA"), nullptr);
}

TEST_F(ResourceData, MissingOrUnnamedResourcesGiveNull) {
    std::vector<BYTE> buffer;
    DWORD size = 5;
    EXPECT_EQ(LoadResourceData(program, L"NO_SUCH_PICTURE", buffer, size, nullptr), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(LoadResourceData(program, L"", buffer, size, nullptr), nullptr);
    EXPECT_EQ(LoadResourceData(program, nullptr, buffer, size, nullptr), nullptr);
}

TEST_F(ResourceData, ExtractingWritesTheBytesToANewRcFileInTheTemporaryFolder) {
    std::wstring first, second;
    ASSERT_EQ(ExtractResourceToTempFile(program, L"SCALED", first, L"RCDATA"), 1);
    ASSERT_EQ(ExtractResourceToTempFile(program, L"SCALED", second, nullptr), 1);
    EXPECT_NE(first, second);
    const std::wstring prefix = temp.Path() + L"\\rc";
    EXPECT_EQ(first.compare(0, prefix.size(), prefix), 0) << Utf8(first);

    std::vector<BYTE> buffer;
    DWORD size = 0;
    ASSERT_NE(LoadResourceData(program, L"SCALED", buffer, size, nullptr), nullptr);
    EXPECT_EQ(ReadFileBytes(first), Text(buffer));
    EXPECT_EQ(Text(buffer).substr(1, 3), "PNG");
    DeleteFileW(first.c_str());
    DeleteFileW(second.c_str());
}

TEST_F(ResourceData, FailedExtractionLeavesAnEmptyPathAndNoFile) {
    std::wstring path = L"previous";
    EXPECT_EQ(ExtractResourceToTempFile(program, L"NO_SUCH_PICTURE", path, nullptr), 0);
    EXPECT_EQ(path, L"");
    path = L"previous";
    EXPECT_EQ(ExtractResourceToTempFile(program, L"TYPEDDATA", path, L"OTHERTYPE"), 0);
    EXPECT_EQ(path, L"");

    // A temporary folder that does not exist cannot take the file.
    environment.SetTempFolder(temp / L"missing");
    EXPECT_EQ(ExtractResourceToTempFile(program, L"SCALED", path, nullptr), 0);
    EXPECT_EQ(path, L"");

    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((temp / L"rc*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

}  // namespace
