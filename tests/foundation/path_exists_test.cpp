// The file test: files, folders, drive roots, qualified and relative paths.
#include <tarvox/modules.h>

#include "foundation/path_test.h"
#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;

class PathExistsTest : public SandboxTest {};

// A folder counts only when the flag is asked. The system finds no entry for a name that ends in
// a backslash, so a drive root and a plain relative path with one count as missing, as on
// Windows; a dotted relative path is qualified and loses it.
TEST_F(PathExistsTest, FilesFoldersWildcardsDriveRootsAndRelativePaths) {
    const std::wstring file = temp.WriteFile(L"Data\\file.txt", "x"), folder = temp / L"Data";
    const struct {
        std::wstring path;
        int withoutFlag, withFlag, isFolder;
    } rows[] = {{file, 1, 1, 0},
                {folder, 0, 1, 1},
                {folder + L"\\", 0, 1, 1},
                {temp / L"missing.txt", 0, 0, 0},
                {L"", 0, 0, 0},
                {L"C", 0, 0, 0},
                {L"C:\\", 0, 0, 0},
                {folder + L"\\*.txt", 1, 1, 0},
                {temp / L"Dat?", 0, 1, 1},
                {L".\\Data\\", 0, 1, 1},
                {L"Data", 0, 1, 1},
                {L"Data\\", 0, 0, 0}};
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.Path().c_str()));
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.path));
        EXPECT_EQ(PathExists(row.path.c_str()), row.withoutFlag);
        int isFolder = 7;
        EXPECT_EQ(PathExists(row.path.c_str(), &isFolder), row.withFlag);
        EXPECT_EQ(isFolder, row.isFolder);
    }
    int isFolder = 7;
    EXPECT_EQ(PathExists(nullptr, &isFolder), 0);
    EXPECT_EQ(isFolder, 0);
    SetCurrentDirectoryW(previous);
}

TEST(PathToTest, DropsOneTrailingBackslashOfQualifiedPathsOnly) {
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"C:\\Windows\\", L"C:\\Windows"},
        {L"C:\\", L"C:\\"},
        {L"\\\\server\\share\\", L"\\\\server\\share"},
        {L"\\\\", L"\\\\"},
        {L"C:\\Data\\\\", L"C:\\Data\\\\"},
        {L".\\Data\\", L".\\Data"},
        {L"..\\Data\\", L"..\\Data"},
        {L"\\Data\\", L"\\Data\\"}};
    for (const auto& [path, tested] : rows) EXPECT_EQ(tarvox::PathToTest(path), tested) << path;
}

}  // namespace
