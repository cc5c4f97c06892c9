// The ZIP reader of the CuixPort module on archives in memory: the directory, the checks of an
// entry's data, part names as OPC compares them and the file names of part copies.
#include "stubs/cuixport/part_names.h"
#include "stubs/cuixport/zip_directory.h"
#include "stubs/cuixport/zip_entry_data.h"

#include "tools/package-writer/zip_writer.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace cuixport;
using tarvox::package::ZipArchive;
using tarvox::package::ZipItem;

std::span<const unsigned char> Bytes(const std::string& archive) {
    return {reinterpret_cast<const unsigned char*>(archive.data()), archive.size()};
}

// The result of extracting the only entry of an archive made of one item.
ExtractResult ExtractOnly(const ZipItem& item, std::string* data = nullptr) {
    const std::string archive = ZipArchive({item});
    const MemorySource source(Bytes(archive));
    const auto entries = ReadZipDirectory(source);
    if (!entries || entries->size() != 1) return ExtractResult::ReadFailed;
    std::vector<unsigned char> out;
    const ExtractResult result = ExtractEntry(source, entries->front(), out);
    if (data) data->assign(out.begin(), out.end());
    return result;
}

TEST(ZipReader, DirectoryOfAPackageGivesNamesAndSizesEvenWithDataDescriptors) {
    const std::string text(5000, 'x');
    const std::string archive = ZipArchive({{"[Content_Types].xml", "<Types/>"},
                                            {"WorkspaceRoot.cui", text, true, true},
                                            {"Header.cui", "<h/>", false, true}});
    const MemorySource source(Bytes(archive));
    const auto entries = ReadZipDirectory(source);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 3u);
    EXPECT_EQ((*entries)[1].name, "WorkspaceRoot.cui");
    EXPECT_EQ((*entries)[1].size, text.size());
    std::string data;
    EXPECT_EQ(ExtractOnly({"WorkspaceRoot.cui", text, true, true}, &data), ExtractResult::Ok);
    EXPECT_EQ(data, text);
    EXPECT_EQ(ExtractOnly({"Header.cui", "<h/>", false, true}, &data), ExtractResult::Ok);
    EXPECT_EQ(data, "<h/>");
}

TEST(ZipReader, ArchivesThatAreNotWholeAreRefused) {
    const std::string archive =
        tarvox::package::CuixPackage(tarvox::package::WorkspaceRootXml(""), "<h/>");
    EXPECT_FALSE(ReadZipDirectory(MemorySource({})));
    const std::string text =
        "not a zip archive, just text that is long enough to hold an end record";
    EXPECT_FALSE(ReadZipDirectory(MemorySource(Bytes(text))));
    // Every cut loses the end record or the directory it points at.
    for (std::size_t length = 0; length < archive.size(); length += 7) {
        const std::string cut = archive.substr(0, length);
        EXPECT_FALSE(ReadZipDirectory(MemorySource(Bytes(cut)))) << length;
    }
    std::string tooMany = archive;
    tarvox::package::PatchFromEnd(tooMany, tarvox::package::kEndEntryCountFromEnd, 0xFFF0, 2);
    tarvox::package::PatchFromEnd(tooMany, tarvox::package::kEndEntryCountFromEnd + 2, 0xFFF0, 2);
    EXPECT_FALSE(ReadZipDirectory(MemorySource(Bytes(tooMany))));
    std::string directoryPast = archive;
    tarvox::package::PatchFromEnd(directoryPast, tarvox::package::kEndDirectoryOffsetFromEnd,
                                  0x7FFFFFF0, 4);
    EXPECT_FALSE(ReadZipDirectory(MemorySource(Bytes(directoryPast))));
}

ZipItem Recorded(std::string data, std::optional<std::uint64_t> size,
                 std::optional<std::uint32_t> crc = {}, bool deflate = true) {
    ZipItem item{"a.cui", std::move(data), deflate};
    item.recordedSize = size;
    item.recordedCrc = crc;
    return item;
}

TEST(ZipReader, EntryDataMustMatchItsRecordedCrcAndSize) {
    const std::string w(3000, 'w');
    const std::pair<ZipItem, ExtractResult> cases[] = {
        {Recorded(w, {}, 0x12345678), ExtractResult::CrcMismatch},
        {Recorded(w, {}, 0x12345678, false), ExtractResult::CrcMismatch},
        {Recorded(w, 2999), ExtractResult::SizeMismatch},
        {Recorded(w, 3001), ExtractResult::SizeMismatch},
        {Recorded(w, 3001, {}, false), ExtractResult::SizeMismatch},
        {Recorded("small", (256ull << 20) + 1), ExtractResult::TooLarge}};
    for (const auto& [item, result] : cases)
        EXPECT_EQ(ExtractOnly(item), result) << item.recordedSize.value_or(0);
}

TEST(ZipReader, AnEntryInflatingFarBeyondItsRecordedSizeStopsRightThere) {
    // 64 MiB of zeros deflate to about 64 KB; the directory claims 1,000 bytes.
    EXPECT_EQ(ExtractOnly(Recorded(std::string(64u << 20, '\0'), 1000)),
              ExtractResult::SizeMismatch);
    // Claiming the whole size of a small deflated stream is no real entry either.
    EXPECT_EQ(ExtractOnly(Recorded(std::string(100, 'a'), 200ull << 20)), ExtractResult::TooLarge);
}

TEST(ZipReader, BrokenDeflateDataIsCorrupt) {
    std::string archive = ZipArchive({{"a.cui", std::string(4000, 'q') + "tail"}});
    archive[30 + 5 + 2] ^= 0x5A;  // inside the deflated bytes after the local header and name
    const MemorySource source(Bytes(archive));
    const auto entries = ReadZipDirectory(source);
    ASSERT_TRUE(entries);
    std::vector<unsigned char> out;
    const ExtractResult result = ExtractEntry(source, entries->front(), out);
    EXPECT_NE(result, ExtractResult::Ok);
    EXPECT_TRUE(out.empty());
}

TEST(ZipReader, PartNamesCompareAsOpcDoes) {
    const std::string archive = ZipArchive({{"Folder/", ""},
                                            {"[Content_Types].xml", "t"},
                                            {"Sub/WorkspaceRoot.cui", "s"},
                                            {"WorkspaceRoot.cui", "w"},
                                            {"Men%C3%BC.cui", "escaped"},
                                            {"\xC3\x84rger.cui", "umlaut", true, false, true}});
    const auto entries = ReadZipDirectory(MemorySource(Bytes(archive)));
    ASSERT_TRUE(entries);
    // Only ASCII letters ignore case.
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
}

TEST(ZipReader, ItemNamesOutsideUtf8AreCodePage437) {
    const unsigned char oem[] = {'M', 0x81, '.', 'c', 'u', 'i'};  // 0x81 is "ü" in code page 437
    EXPECT_EQ(ItemNameToUtf8(oem, false), "M\xC3\xBC.cui");
    const unsigned char utf8[] = {'M', 0xC3, 0xBC};
    EXPECT_EQ(ItemNameToUtf8(utf8, false), "M\xC3\xBC");
}

TEST(ZipReader, CopyFileNamesStayInTheirFolder) {
    const std::pair<const wchar_t*, const wchar_t*> names[] = {
        {L"WorkspaceRoot.cui", L"WorkspaceRoot.cui"},
        {L"../../evil.cui", L"evil.cui"},
        {L"..\\..\\evil.cui", L"evil.cui"},
        {L"C:evil.cui", L"evil.cui"},
        {L"C:\\Windows\\evil.cui", L"evil.cui"},
        {L"/abs/x.cui", L"x.cui"},
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

}  // namespace
