// The shared edition record, written here as another program of the family would write it.
// These tests change a section that every process of the session sees, so they run alone.
#include "paths/edition_record.h"

#include "tests/support/sandbox_fixture.h"

#include <cstdint>
#include <cstring>

namespace {

using namespace tarvox::test;

class SharedRecord {
public:
    SharedRecord(int code, const std::wstring& name) {
        mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE | SEC_COMMIT, 0,
                                      tarvox::kEditionRecordBytes, tarvox::kEditionRecordName);
        view_ = static_cast<BYTE*>(
            MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, tarvox::kEditionRecordBytes));
        std::memset(view_, 0, tarvox::kEditionRecordBytes);
        std::memcpy(view_, name.data(), std::min<std::size_t>(name.size(), 520) * sizeof(wchar_t));
        const std::int32_t value = code;
        std::memcpy(view_ + tarvox::kEditionCodeOffset, &value, sizeof(value));
    }
    ~SharedRecord() {
        std::memset(view_, 0, tarvox::kEditionRecordBytes);
        UnmapViewOfFile(view_);
        CloseHandle(mapping_);
    }
    bool Valid() const { return view_ != nullptr; }

private:
    HANDLE mapping_ = nullptr;
    BYTE* view_ = nullptr;
};

class EditionRecordTest : public SandboxTest {
protected:
    std::string Run(const wchar_t* folder, const wchar_t* marker) {
        temp.WriteFile(std::wstring(folder) + L"\\" + marker, "");
        const ChildResult child =
            RunSandboxed("EditionAndFolders", {.programFolder = temp / folder});
        return child.Value("code") + "|" + child.Value("name") + "|" + child.Value("luminor");
    }
};

TEST_F(EditionRecordTest, TheRecordWinsOverTheMarkerFilesUnlessItIsEmpty) {
    {
        SharedRecord record(5, L"Tarvo CAD");
        ASSERT_TRUE(record.Valid());
        EXPECT_EQ(Run(L"ardent", L"Tarvo Ardent 2020.txt"), "5|Tarvo CAD|0");
    }
    {
        SharedRecord record(0, L"Tarvo Zenit");
        EXPECT_EQ(Run(L"luminor", L"Tarvo Luminor 2020.txt"), "3|Tarvo Luminor|1");
    }
    // An unterminated name is cut at the record's end.
    SharedRecord record(3, std::wstring(600, L'n'));
    EXPECT_EQ(Run(L"plain", L"unrelated.txt"), "3|" + std::string(519, 'n') + "|1");
}

}  // namespace
