// The CuixPort module: its ZIP reader on archives in memory, and the module through its exports
// table as the library calls it.
#include "cuix/cuixport_abi.h"
#include "foundation/unique_handle.h"
#include "stubs/cuixport/part_names.h"
#include "stubs/cuixport/zip_directory.h"
#include "stubs/cuixport/zip_entry_data.h"

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tools/package-writer/zip_writer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

namespace {

namespace abi = tarvox::cuixport;
using namespace cuixport;
using namespace tarvox::package;
using namespace tarvox::test;

std::span<const unsigned char> Bytes(const std::string& archive) {
    return {reinterpret_cast<const unsigned char*>(archive.data()), archive.size()};
}

ZipItem Recorded(std::string data, std::optional<std::uint64_t> size,
                 std::optional<std::uint32_t> crc = {}, bool deflate = true) {
    ZipItem item{"WorkspaceRoot.cui", std::move(data), deflate};
    item.recordedSize = size;
    item.recordedCrc = crc;
    return item;
}

// The result of extracting the only entry of an archive made of one item, optionally with one
// byte flipped; the data is empty unless the entry checks out.
ExtractResult ExtractOnly(const ZipItem& item, std::size_t flip = 0) {
    std::string archive = ZipArchive({item});
    if (flip != 0) archive[flip] ^= 0x5A;
    const MemorySource source(Bytes(archive));
    const auto entries = ReadZipDirectory(source);
    if (!entries || entries->size() != 1) return ExtractResult::ReadFailed;
    std::vector<unsigned char> out;
    const ExtractResult result = ExtractEntry(source, entries->front(), out);
    EXPECT_EQ(std::string(out.begin(), out.end()), result == ExtractResult::Ok ? item.data : "");
    return result;
}

// Every cut loses the end record or the directory it points at.
TEST(ZipReader, ArchivesThatAreNotWholeAreRefused) {
    const std::string archive = CuixPackage(WorkspaceRootXml(""), "<h/>");
    std::string tooMany = archive, directoryPast = archive;
    PatchFromEnd(tooMany, kEndEntryCountFromEnd, 0xFFF0, 2);
    PatchFromEnd(tooMany, kEndEntryCountFromEnd + 2, 0xFFF0, 2);
    PatchFromEnd(directoryPast, kEndDirectoryOffsetFromEnd, 0x7FFFFFF0, 4);
    EXPECT_FALSE(ReadZipDirectory(MemorySource({})));
    std::vector<std::string> broken = {
        "not a zip archive, just text that is long enough to hold an end record", tooMany,
        directoryPast};
    for (std::size_t length = 0; length < archive.size(); length += 7)
        broken.push_back(archive.substr(0, length));
    for (const std::string& bytes : broken)
        EXPECT_FALSE(ReadZipDirectory(MemorySource(Bytes(bytes)))) << bytes.size();
}

// 64 MiB of zeros deflate to about 64 KB where the directory claims 1,000 bytes; claiming the
// whole size of a small deflated stream is no real entry either.
TEST(ZipReader, EntryDataMustMatchItsRecordedCrcAndSize) {
    const std::string w(3000, 'w');
    const struct {
        const char* label;
        ZipItem item;
        ExtractResult result;
        std::size_t flip = 0;
    } cases[] = {
        {"descriptor", {"WorkspaceRoot.cui", w, true, true}, ExtractResult::Ok},
        {"stored with descriptor", {"Header.cui", "<h/>", false, true}, ExtractResult::Ok},
        {"crc", Recorded(w, {}, 0x12345678), ExtractResult::CrcMismatch},
        {"stored crc", Recorded(w, {}, 0x12345678, false), ExtractResult::CrcMismatch},
        {"short", Recorded(w, 2999), ExtractResult::SizeMismatch},
        {"long", Recorded(w, 3001), ExtractResult::SizeMismatch},
        {"stored long", Recorded(w, 3001, {}, false), ExtractResult::SizeMismatch},
        {"over the limit", Recorded("small", (256ull << 20) + 1), ExtractResult::TooLarge},
        // An entry inflating far beyond its recorded size stops right there.
        {"bomb", Recorded(std::string(64u << 20, '\0'), 1000), ExtractResult::SizeMismatch},
        {"beyond deflate", Recorded(std::string(100, 'a'), 200ull << 20), ExtractResult::TooLarge},
        // A byte inside the deflated data, after the local header and the name.
        {"broken deflate", {"a.cui", std::string(4000, 'q') + "tail"}, ExtractResult::Corrupt, 37}};
    for (const auto& c : cases) EXPECT_EQ(ExtractOnly(c.item, c.flip), c.result) << c.label;
}

// The directory gives names and sizes even of items with data descriptors. Only ASCII letters
// ignore case.
TEST(ZipReader, PartNamesCompareAsOpcDoes) {
    const std::string archive =
        ZipArchive({{"Folder/", ""},
                    {"[Content_Types].xml", "t", false, true},
                    {"Sub/WorkspaceRoot.cui", "s"},
                    {"WorkspaceRoot.cui", std::string(5000, 'w'), true, true},
                    {"Men%C3%BC.cui", "escaped"},
                    {"\xC3\x84rger.cui", "umlaut", true, false, true}});
    const auto entries = ReadZipDirectory(MemorySource(Bytes(archive)));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 6u);
    EXPECT_EQ((*entries)[3].name, "WorkspaceRoot.cui");
    EXPECT_EQ((*entries)[3].size, 5000u);
    const std::pair<const wchar_t*, std::optional<std::size_t>> parts[] = {
        {L"workspaceroot.CUI", 3},
        {L"/WorkspaceRoot.cui", 3},
        {L"sub\\workspaceroot.cui", 2},
        {L"[content_types].XML", 1},
        {L"Men\u00FC.cui", 4},
        {L"\u00C4rger.cui", 5},
        {L"\u00E4rger.cui", {}},
        {L"Folder/", {}},
        {L"Header.cui", {}},
        {L"", {}}};
    for (const auto& [name, index] : parts)
        EXPECT_EQ(FindPart(*entries, name), index) << testing::PrintToString(name);
    // Item names outside UTF-8 are code page 437, where 0x81 is "ü".
    const unsigned char oem[] = {'M', 0x81, '.', 'c', 'u', 'i'}, utf8[] = {'M', 0xC3, 0xBC};
    EXPECT_EQ(ItemNameToUtf8(oem, false), "M\xC3\xBC.cui");
    EXPECT_EQ(ItemNameToUtf8(utf8, false), "M\xC3\xBC");
}

TEST(ZipReader, CopyFileNamesStayInTheirFolder) {
    const std::pair<const wchar_t*, const wchar_t*> names[] = {
        {L"WorkspaceRoot.cui", L"WorkspaceRoot.cui"},
        {L"../../evil.cui", L"evil.cui"},
        {L"..\\..\\evil.cui", L"evil.cui"},
        {L"C:evil.cui", L"evil.cui"},
        {L"..", L"part"},
        {L"sub/", L"part"},
        {L"a<b>|\"?*.cui", L"a_b_____.cui"},
        {L"name. . ", L"name"},
        {L"CON.cui", L"_CON.cui"},
        {L"com1", L"_com1"},
        {L"console.cui", L"console.cui"}};
    for (const auto& [name, file] : names) EXPECT_EQ(PartFileName(name), file);
    const std::wstring longName = PartFileName(std::wstring(300, L'n') + L".cui");
    EXPECT_EQ(longName.size(), 100u);
    EXPECT_EQ(longName.substr(96), L".cui");
}

class CuixPortModule : public ::testing::Test {
protected:
    void SetUp() override {
        module.Reset(LoadLibraryW((FolderOfThisProgram() + L"\\cuixport.dll").c_str()));
        ASSERT_TRUE(module);
        const auto entry = reinterpret_cast<long long (*)()>(
            GetProcAddress(module.Get(), "?GetExportsObject@@YA_JXZ"));
        ASSERT_NE(entry, nullptr);
        void* const* table = reinterpret_cast<void* const*>(entry());
        open = reinterpret_cast<abi::OpenPackageFunction>(table[abi::kOpenPackageSlot]);
        close = reinterpret_cast<abi::ClosePackageFunction>(table[abi::kClosePackageSlot]);
        extract = reinterpret_cast<abi::ExtractPartFunction>(table[abi::kExtractPartSlot]);
    }

    long long Open(const std::wstring& path) { return open(path.c_str()); }

    // The part's file, "" when the module refuses; the result buffer is checked either way.
    std::wstring Extract(long long handle, const wchar_t* part) {
        wchar_t result[abi::kPartPathChars];
        std::fill(std::begin(result), std::end(result), L'?');
        const int ok = extract(handle, part, result);
        EXPECT_LT(std::wcslen(result), abi::kPartPathChars);
        EXPECT_TRUE(ok || result[0] == L'\0');
        return ok ? result : L"";
    }

    // Where the module writes its copies, compared ignoring case.
    static bool InCopies(const std::wstring& file) {
        wchar_t buffer[MAX_PATH + 1];
        const std::wstring root =
            std::wstring(buffer, GetTempPathW(MAX_PATH + 1, buffer)) + L"CuixPort\\";
        return _wcsnicmp(file.c_str(), root.c_str(), root.size()) == 0;
    }
    static bool Exists(const std::wstring& path) {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    TempFolder temp;
    tarvox::LoadedModule module;
    abi::OpenPackageFunction open = nullptr;
    abi::ClosePackageFunction close = nullptr;
    abi::ExtractPartFunction extract = nullptr;
};

// Two opens of one file are independent; closing removes the package's copies, and closing
// twice, or a handle of 0, does nothing.
TEST_F(CuixPortModule, PartsOfAPackageAtANonAsciiPathComeOutAsFiles) {
    const std::string workspaces = WorkspaceRootXml(WorkspaceXml("Zeichnen &amp; Beschriften"));
    const std::string header = HeaderXml({"_TarvoArdent.cuix"});
    const std::wstring path =
        temp.WriteFile(L"Профиль ü\\Menü 2020.cuix", CuixPackage(workspaces, header));
    long long handle = Open(path), second = Open(path);
    ASSERT_NE(handle, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(handle, second);
    const std::wstring workspaceFile = Extract(handle, L"workspaceroot.CUI");
    EXPECT_TRUE(InCopies(workspaceFile)) << Utf8(workspaceFile);
    EXPECT_EQ(ReadFileBytes(workspaceFile), workspaces);
    EXPECT_EQ(ReadFileBytes(Extract(handle, L"WorkspaceRoot.cui")), workspaces);  // again
    const std::wstring secondCopy = Extract(second, L"Header.cui");
    EXPECT_NE(Extract(handle, L"Header.cui"), secondCopy);
    EXPECT_EQ(ReadFileBytes(secondCopy), header);
    EXPECT_EQ(Extract(handle, L"Ribbon.cui"), L"");
    close(&handle);
    EXPECT_EQ(handle, 0);
    EXPECT_FALSE(Exists(workspaceFile));
    EXPECT_EQ(ReadFileBytes(Extract(second, L"Header.cui")), header);
    close(&handle);
    close(nullptr);
    for (const long long refused : {0ll, second + 1000})
        EXPECT_EQ(Extract(refused, L"Header.cui"), L"");
    close(&second);
}

// Every way a file can fail the ZIP reader is its own test; these are the file's own.
TEST_F(CuixPortModule, FilesThatAreNoWholePackageDoNotOpen) {
    const std::string package = CuixPackage(WorkspaceRootXml(""), HeaderXml({}));
    for (const auto& [name, bytes] : {std::pair<const wchar_t*, std::string>{L"empty.cuix", ""},
                                      {L"cut.cuix", package.substr(0, package.size() / 2)}})
        EXPECT_EQ(Open(temp.WriteFile(name, bytes)), 0) << Utf8(name);
    EXPECT_EQ(Open(temp / L"missing.cuix"), 0);
    EXPECT_EQ(open(nullptr), 0);
    EXPECT_EQ(Open(temp.Path()), 0);  // a folder
}

// Hostile names are cases of the file names' table: this proves the module goes through it. A
// part that does not check out is refused like a missing one.
TEST_F(CuixPortModule, HostileNamesNeverLeaveTheModulesFolder) {
    long long handle = Open(temp.WriteFile(
        L"names\\hostile.cuix",
        ZipArchive({{"../../escaped.cui", "up"}, Recorded("<WorkspaceRoot/>", {}, 1)})));
    ASSERT_NE(handle, 0);
    const std::wstring file = Extract(handle, L"../../escaped.cui");
    EXPECT_TRUE(InCopies(file)) << Utf8(file);
    EXPECT_EQ(file.find(L".."), std::wstring::npos);
    EXPECT_FALSE(Exists(temp / L"escaped.cui"));
    EXPECT_EQ(Extract(handle, L"WorkspaceRoot.cui"), L"");
    close(&handle);
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
    DWORD before = 0, after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (int i = 0; i < 300; ++i) cycle();
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_LE(after, before + 2);
}

}  // namespace
