// The CuixPort module through its exports table, as the library calls it: opening packages by
// path, writing parts to files, and everything it must refuse without harm.
#include "cuix/cuixport_abi.h"

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tools/package-writer/zip_writer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

namespace {

namespace abi = tarvox::cuixport;
using tarvox::package::CuixPackage;
using tarvox::package::HeaderXml;
using tarvox::package::WorkspaceRootXml;
using tarvox::package::WorkspaceXml;
using tarvox::package::ZipArchive;
using tarvox::package::ZipItem;
using tarvox::test::ReadFileBytes;
using tarvox::test::TempFolder;
using tarvox::test::Utf8;

class CuixPortModule : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryW((tarvox::test::FolderOfThisProgram() + L"\\cuixport.dll").c_str());
        ASSERT_NE(module, nullptr);
        using Entry = long long (*)();
        const auto entry =
            reinterpret_cast<Entry>(GetProcAddress(module, "?GetExportsObject@@YA_JXZ"));
        ASSERT_NE(entry, nullptr);
        void* const* table = reinterpret_cast<void* const*>(entry());
        open = reinterpret_cast<abi::OpenPackageFunction>(table[abi::kOpenPackageSlot]);
        close = reinterpret_cast<abi::ClosePackageFunction>(table[abi::kClosePackageSlot]);
        extract = reinterpret_cast<abi::ExtractPartFunction>(table[abi::kExtractPartSlot]);
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }

    long long Open(const std::wstring& path) { return open(path.c_str()); }

    // The part's file, "" when the module refuses; the result buffer is checked either way.
    std::wstring Extract(long long handle, const wchar_t* part) {
        wchar_t result[abi::kPartPathChars];
        std::fill(std::begin(result), std::end(result), L'?');
        const int ok = extract(handle, part, result);
        EXPECT_LT(std::wcslen(result), abi::kPartPathChars);
        if (!ok) {
            EXPECT_EQ(result[0], L'\0');
            return L"";
        }
        return result;
    }

    // What one package made of these items gives for its first item: "" when refused.
    std::wstring ExtractFromArchive(const std::string& archive, const wchar_t* part) {
        long long handle = Open(temp.WriteFile(L"package.cuix", archive));
        if (handle == 0) return L"open refused";
        const std::wstring file = Extract(handle, part);
        close(&handle);
        return file;
    }

    static std::wstring CopiesRoot() {
        wchar_t buffer[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
        return std::wstring(buffer, length) + L"CuixPort\\";
    }

    TempFolder temp;
    HMODULE module = nullptr;
    abi::OpenPackageFunction open = nullptr;
    abi::ClosePackageFunction close = nullptr;
    abi::ExtractPartFunction extract = nullptr;
};

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() &&
           _wcsnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

TEST_F(CuixPortModule, PartsOfAPackageAtANonAsciiPathComeOutAsFiles) {
    const std::string workspaces = WorkspaceRootXml(WorkspaceXml("Zeichnen &amp; Beschriften"));
    const std::string header = HeaderXml({"_TarvoArdent.cuix"});
    const std::wstring path =
        temp.WriteFile(L"Профиль ü\\Menü 2020.cuix", CuixPackage(workspaces, header));
    long long handle = Open(path);
    ASSERT_NE(handle, 0);

    const std::wstring workspaceFile = Extract(handle, L"workspaceroot.CUI");
    ASSERT_FALSE(workspaceFile.empty());
    EXPECT_TRUE(StartsWithIgnoringCase(workspaceFile, CopiesRoot())) << workspaceFile;
    EXPECT_EQ(ReadFileBytes(workspaceFile), workspaces);
    const std::wstring headerFile = Extract(handle, L"Header.cui");
    EXPECT_EQ(ReadFileBytes(headerFile), header);
    // The same part again gives the same content.
    EXPECT_EQ(ReadFileBytes(Extract(handle, L"WorkspaceRoot.cui")), workspaces);
    EXPECT_EQ(Extract(handle, L"Ribbon.cui"), L"");

    close(&handle);
    EXPECT_EQ(handle, 0);
    // Closing removes the package's copies.
    EXPECT_EQ(GetFileAttributesW(workspaceFile.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Extract(handle, L"Header.cui"), L"");
}

TEST_F(CuixPortModule, FilesThatAreNoWholePackageDoNotOpen) {
    namespace pw = tarvox::package;
    const std::string package = CuixPackage(WorkspaceRootXml(""), HeaderXml({}));
    std::string countPast = package, directoryPast = package;
    pw::PatchFromEnd(countPast, pw::kEndEntryCountFromEnd, 5000, 2);
    pw::PatchFromEnd(countPast, pw::kEndEntryCountFromEnd + 2, 5000, 2);
    pw::PatchFromEnd(directoryPast, pw::kEndDirectoryOffsetFromEnd, 0x00FFFFFF, 4);
    const std::pair<const wchar_t*, std::string> files[] = {
        {L"empty.cuix", ""},
        {L"text.cuix", std::string(500, 'x')},
        {L"cut.cuix", package.substr(0, package.size() / 2)},
        {L"cut-end.cuix", package.substr(0, package.size() - 3)},
        {L"count.cuix", countPast},
        {L"offset.cuix", directoryPast}};
    for (const auto& [name, bytes] : files)
        EXPECT_EQ(Open(temp.WriteFile(name, bytes)), 0) << Utf8(name);
    EXPECT_EQ(Open(temp / L"missing.cuix"), 0);
    EXPECT_EQ(open(nullptr), 0);
    EXPECT_EQ(Open(temp.Path()), 0);  // a folder
}

// Parts whose CRC or size do not match their data, or that are recorded too large, and a part
// whose deflated data makes 128 MiB where 4 KB are recorded.
TEST_F(CuixPortModule, PartsThatDoNotCheckOutAreRefused) {
    const auto part = [](std::string data, std::optional<std::uint64_t> size,
                         std::optional<std::uint32_t> crc = {}, bool deflate = true) {
        ZipItem item{"WorkspaceRoot.cui", std::move(data), deflate};
        item.recordedSize = size;
        item.recordedCrc = crc;
        return ZipArchive({item});
    };
    const std::string xml = "<WorkspaceRoot/>";
    for (const std::string& archive :
         {part(xml, {}, 1), part(xml, {}, 1, false), part(xml, 100), part(xml, 3),
          part(xml, 300ull << 20), part(std::string(128u << 20, ' '), 4096)}) {
        EXPECT_EQ(ExtractFromArchive(archive, L"WorkspaceRoot.cui"), L"");
    }
    EXPECT_FALSE(ExtractFromArchive(part(xml, {}), L"WorkspaceRoot.cui").empty());
}

TEST_F(CuixPortModule, HostileNamesNeverLeaveTheModulesFolder) {
    const std::string archive = ZipArchive({{"../../escaped.cui", "up"},
                                            {"C:/Windows/escaped2.cui", "drive"},
                                            {"/escaped3.cui", "root"},
                                            {"..", "dots"}});
    long long handle = Open(temp.WriteFile(L"names\\hostile.cuix", archive));
    ASSERT_NE(handle, 0);
    for (const wchar_t* name :
         {L"../../escaped.cui", L"C:/Windows/escaped2.cui", L"/escaped3.cui", L".."}) {
        const std::wstring file = Extract(handle, name);
        SCOPED_TRACE(testing::Message() << "part " << std::string(name, name + std::wcslen(name)));
        ASSERT_FALSE(file.empty());
        EXPECT_TRUE(StartsWithIgnoringCase(file, CopiesRoot()))
            << std::string(file.begin(), file.end());
        EXPECT_EQ(file.find(L".."), std::wstring::npos);
    }
    EXPECT_EQ(GetFileAttributesW((CopiesRoot() + L"..\\escaped.cui").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((temp / L"escaped.cui").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(L"C:\\Windows\\escaped2.cui"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(L"C:\\escaped3.cui"), INVALID_FILE_ATTRIBUTES);
    close(&handle);
}

TEST_F(CuixPortModule, TwoOpensOfOneFileAreIndependent) {
    const std::wstring path =
        temp.WriteFile(L"shared.cuix", CuixPackage(WorkspaceRootXml(""), HeaderXml({"a.cuix"})));
    long long first = Open(path);
    long long second = Open(path);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);
    const std::wstring firstCopy = Extract(first, L"Header.cui");
    const std::wstring secondCopy = Extract(second, L"Header.cui");
    EXPECT_NE(firstCopy, secondCopy);
    close(&first);
    EXPECT_EQ(GetFileAttributesW(firstCopy.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileBytes(secondCopy), ReadFileBytes(Extract(second, L"Header.cui")));
    EXPECT_NE(ReadFileBytes(secondCopy).find("a.cuix"), std::string::npos);
    // Closing twice, or a handle of 0, does nothing.
    close(&first);
    close(nullptr);
    EXPECT_EQ(Extract(0, L"Header.cui"), L"");
    EXPECT_EQ(Extract(second + 1000, L"Header.cui"), L"");
    close(&second);
}

TEST_F(CuixPortModule, ALongRunLeaksNoHandles) {
    const std::wstring path = temp.WriteFile(
        L"run.cuix", CuixPackage(WorkspaceRootXml(WorkspaceXml("A")), HeaderXml({})));
    const auto cycle = [&] {
        long long handle = Open(path);
        Extract(handle, L"WorkspaceRoot.cui");
        Extract(handle, L"Missing.cui");
        close(&handle);
    };
    cycle();  // first use sets up what stays
    DWORD before = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (int i = 0; i < 300; ++i) cycle();
    DWORD after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_LE(after, before + 2);
}

}  // namespace
