// The ZIP reader of the CuixPort module on archives in memory: the directory, the checks of an
// entry's data, part names as OPC compares them and the file names of part copies.
#include "stubs/cuixport/part_names.h"
#include "stubs/cuixport/zip_directory.h"
#include "stubs/cuixport/zip_entry_data.h"

#include "tools/package-writer/zip_writer.h"

#include <gtest/gtest.h>

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
    const std::string archive = tarvox::package::CuixPackage(tarvox::package::WorkspaceRootXml(""), "<h/>");
    EXPECT_FALSE(ReadZipDirectory(MemorySource({})));
    const std::string text = "not a zip archive, just text that is long enough to hold an end record";
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
    tarvox::package::PatchFromEnd(directoryPast, tarvox::package::kEndDirectoryOffsetFromEnd, 0x7FFFFFF0, 4);
    EXPECT_FALSE(ReadZipDirectory(MemorySource(Bytes(directoryPast))));
}

TEST(ZipReader, EntryDataMustMatchItsRecordedCrcAndSize) {
    ZipItem item{"WorkspaceRoot.cui", std::string(3000, 'w')};
    item.recordedCrc = 0x12345678;
    EXPECT_EQ(ExtractOnly(item), ExtractResult::CrcMismatch);
    item.deflate = false;
    EXPECT_EQ(ExtractOnly(item), ExtractResult::CrcMismatch);

    ZipItem shorter{"a.cui", std::string(3000, 'w')};
    shorter.recordedSize = 2999;
    EXPECT_EQ(ExtractOnly(shorter), ExtractResult::SizeMismatch);
    ZipItem longer{"a.cui", std::string(3000, 'w')};
    longer.recordedSize = 3001;
    EXPECT_EQ(ExtractOnly(longer), ExtractResult::SizeMismatch);
    ZipItem storedLonger = longer;
    storedLonger.deflate = false;
    EXPECT_EQ(ExtractOnly(storedLonger), ExtractResult::SizeMismatch);

    ZipItem huge{"a.cui", "small"};
    huge.recordedSize = (256ull << 20) + 1;
    EXPECT_EQ(ExtractOnly(huge), ExtractResult::TooLarge);
}

TEST(ZipReader, AnEntryInflatingFarBeyondItsRecordedSizeStopsRightThere) {
    // 64 MiB of zeros deflate to about 64 KB; the directory claims 1,000 bytes.
    ZipItem bomb{"WorkspaceRoot.cui", std::string(64u << 20, '\0')};
    bomb.recordedSize = 1000;
    EXPECT_EQ(ExtractOnly(bomb), ExtractResult::SizeMismatch);
    // Claiming the whole size of a small deflated stream is no real entry either.
    ZipItem claimed{"WorkspaceRoot.cui", std::string(100, 'a')};
    claimed.recordedSize = 200ull << 20;
    EXPECT_EQ(ExtractOnly(claimed), ExtractResult::TooLarge);
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
    EXPECT_EQ(FindPart(*entries, L"workspaceroot.CUI"), 3u);
    EXPECT_EQ(FindPart(*entries, L"/WorkspaceRoot.cui"), 3u);
    EXPECT_EQ(FindPart(*entries, L"sub\\workspaceroot.cui"), 2u);
    EXPECT_EQ(FindPart(*entries, L"[content_types].XML"), 1u);
    EXPECT_EQ(FindPart(*entries, L"Men\u00FC.cui"), 4u);
    EXPECT_EQ(FindPart(*entries, L"\u00C4rger.cui"), 5u);
    // Only ASCII letters ignore case.
    EXPECT_FALSE(FindPart(*entries, L"\u00E4rger.cui"));
    EXPECT_FALSE(FindPart(*entries, L"Folder/"));
    EXPECT_FALSE(FindPart(*entries, L"Header.cui"));
    EXPECT_FALSE(FindPart(*entries, L""));
}

TEST(ZipReader, ItemNamesOutsideUtf8AreCodePage437) {
    const unsigned char oem[] = {'M', 0x81, '.', 'c', 'u', 'i'};  // 0x81 is "ü" in code page 437
    EXPECT_EQ(ItemNameToUtf8(oem, false), "M\xC3\xBC.cui");
    const unsigned char utf8[] = {'M', 0xC3, 0xBC};
    EXPECT_EQ(ItemNameToUtf8(utf8, false), "M\xC3\xBC");
}

TEST(ZipReader, CopyFileNamesStayInTheirFolder) {
    EXPECT_EQ(PartFileName(L"WorkspaceRoot.cui"), L"WorkspaceRoot.cui");
    EXPECT_EQ(PartFileName(L"../../evil.cui"), L"evil.cui");
    EXPECT_EQ(PartFileName(L"..\\..\\evil.cui"), L"evil.cui");
    EXPECT_EQ(PartFileName(L"C:evil.cui"), L"evil.cui");
    EXPECT_EQ(PartFileName(L"C:\\Windows\\evil.cui"), L"evil.cui");
    EXPECT_EQ(PartFileName(L"/abs/x.cui"), L"x.cui");
    EXPECT_EQ(PartFileName(L".."), L"part");
    EXPECT_EQ(PartFileName(L"sub/"), L"part");
    EXPECT_EQ(PartFileName(L"a<b>|\"?*.cui"), L"a_b_____.cui");
    EXPECT_EQ(PartFileName(L"name. . "), L"name");
    EXPECT_EQ(PartFileName(L"CON.cui"), L"_CON.cui");
    EXPECT_EQ(PartFileName(L"com1"), L"_com1");
    EXPECT_EQ(PartFileName(L"console.cui"), L"console.cui");
    const std::wstring longName = PartFileName(std::wstring(300, L'n') + L".cui");
    EXPECT_EQ(longName.size(), 100u);
    EXPECT_EQ(longName.substr(96), L".cui");
}

}  // namespace
