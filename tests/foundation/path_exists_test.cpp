// The file test: files, folders, drive roots, qualified and relative paths.
#include <tarvox/modules.h>

#include "foundation/path_test.h"
#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;

class PathExistsTest : public SandboxTest {
protected:
    void SetUp() override {
        file = temp.WriteFile(L"Data\\file.txt", "x");
        folder = temp / L"Data";
    }
    std::wstring file, folder;
};

TEST_F(PathExistsTest, AFileExistsWithAndWithoutTheFlag) {
    EXPECT_EQ(PathExists(file.c_str()), 1);
    int isFolder = 7;
    EXPECT_EQ(PathExists(file.c_str(), &isFolder), 1);
    EXPECT_EQ(isFolder, 0);
}

TEST_F(PathExistsTest, AFolderCountsOnlyWhenTheFlagIsAsked) {
    EXPECT_EQ(PathExists(folder.c_str()), 0);
    int isFolder = 7;
    EXPECT_EQ(PathExists(folder.c_str(), &isFolder), 1);
    EXPECT_EQ(isFolder, 1);
    EXPECT_EQ(PathExists((folder + L"\\").c_str(), &isFolder), 1);
    EXPECT_EQ(isFolder, 1);
}

TEST_F(PathExistsTest, TheWindowsFolderWithATrailingBackslash) {
    int isFolder = 0;
    EXPECT_EQ(PathExists(L"C:\\Windows\\", &isFolder), 1);
    EXPECT_EQ(isFolder, 1);
    EXPECT_EQ(PathExists(L"C:\\Windows\\"), 0);
}

TEST_F(PathExistsTest, MissingShortAndNullPathsDoNotExist) {
    int isFolder = 7;
    EXPECT_EQ(PathExists((temp / L"missing.txt").c_str(), &isFolder), 0);
    EXPECT_EQ(isFolder, 0);
    isFolder = 7;
    EXPECT_EQ(PathExists(nullptr, &isFolder), 0);
    EXPECT_EQ(isFolder, 0);
    EXPECT_EQ(PathExists(L""), 0);
    EXPECT_EQ(PathExists(L"C"), 0);
}

TEST_F(PathExistsTest, AWildcardPathExistsWhenAnEntryMatchesIt) {
    struct {
        std::wstring path;
        int withoutFlag;
        int withFlag;
        int isFolder;
    } const cases[] = {
        {folder + L"\\*.txt", 1, 1, 0},
        {folder + L"\\file.tx?", 1, 1, 0},
        {temp / L"Dat?", 0, 1, 1},
        {folder + L"\\*.none", 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        EXPECT_EQ(PathExists(c.path.c_str()), c.withoutFlag);
        int isFolder = 7;
        EXPECT_EQ(PathExists(c.path.c_str(), &isFolder), c.withFlag);
        EXPECT_EQ(isFolder, c.isFolder);
    }
}

TEST_F(PathExistsTest, RelativePathsKeepTheirTrailingBackslashUnlessDotted) {
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.Path().c_str()));
    int isFolder = 0;
    const int dotted = PathExists(L".\\Data\\", &isFolder);
    const int dottedFolder = isFolder;
    const int plain = PathExists(L"Data", &isFolder);
    const int plainFile = PathExists(L"Data\\file.txt");
    SetCurrentDirectoryW(previous);

    EXPECT_EQ(dotted, 1);
    EXPECT_EQ(dottedFolder, 1);
    EXPECT_EQ(plain, 1);
    EXPECT_EQ(plainFile, 1);
}

// A drive root and a relative path keep their backslash, and the system finds no entry for a
// name that ends in one: both count as missing, as on Windows.
TEST_F(PathExistsTest, DriveRootsAndRelativePathsWithBackslashAreTestedAsGiven) {
    int isFolder = 5;
    EXPECT_EQ(PathExists(L"C:\\", &isFolder), 0);
    EXPECT_EQ(isFolder, 0);
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.Path().c_str()));
    const int relative = PathExists(L"Data\\", &isFolder);
    const int dotted = PathExists(L".\\Data\\", &isFolder);
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(relative, 0);
    EXPECT_EQ(dotted, 1);
}

TEST(PathToTest, DropsOneTrailingBackslashOfQualifiedPathsOnly) {
    using tarvox::PathToTest;
    EXPECT_EQ(PathToTest(L"C:\\Windows\\"), L"C:\\Windows");
    EXPECT_EQ(PathToTest(L"C:\\"), L"C:\\");
    EXPECT_EQ(PathToTest(L"\\\\server\\share\\"), L"\\\\server\\share");
    EXPECT_EQ(PathToTest(L"\\\\"), L"\\\\");
    EXPECT_EQ(PathToTest(L"C:\\Data\\\\"), L"C:\\Data\\\\");
    EXPECT_EQ(PathToTest(L".\\Data\\"), L".\\Data");
    EXPECT_EQ(PathToTest(L"..\\Data\\"), L"..\\Data");
    EXPECT_EQ(PathToTest(L"Data\\"), L"Data\\");
    EXPECT_EQ(PathToTest(L"\\Data\\"), L"\\Data\\");
}

}  // namespace
