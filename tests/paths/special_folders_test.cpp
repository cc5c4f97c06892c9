// Special folders: known folders by name, the "Shell Folders" listing of both hives and the
// "AppData" fall-backs.
#include "paths/special_folders.h"

#include "tests/support/sandbox_fixture.h"

#include <objbase.h>
#include <shlobj.h>

#include <thread>

namespace {

using namespace tarvox::test;
using Strings = std::vector<std::wstring>;

constexpr wchar_t kUserFolders[] =
    L"HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t kMachineFolders[] =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class SpecialFolders : public SandboxTest {
protected:
    void SetUp() override { LoadLibraryW(L"shell32.dll"); }
};

std::wstring ShellAnswer(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
    CoTaskMemFree(path);
    return result;
}

TEST_F(SpecialFolders, KnownFolderAndShellFolderNamesIgnoringCase) {
    registry.Apply({Sz(kUserFolders, L"Tarvox Drawings", L"U:\\drawings"),
                    Sz(kUserFolders, L"AppData", L"U:\\user roaming")});
    const std::wstring roaming = ShellAnswer(FOLDERID_RoamingAppData);
    const struct {
        bool shellFolder;  // GetShellFolder, else GetKnownFolderByName
        const wchar_t* name;
        int found;
        std::wstring folder;
    } rows[] = {{false, L"appdata", 1, roaming},
                {false, L"COMMON APPDATA", 1, ShellAnswer(FOLDERID_ProgramData)},
                {false, L"No Such Folder", 0, L""},
                {false, L"", 0, L""},
                {false, nullptr, 0, L""},
                {true, L"tarvox drawings", 1, L"U:\\drawings"},
                {true, L"appdata", 1, roaming},
                {true, L"Favorites", 0, L""},
                {true, nullptr, 0, L""}};
    for (const auto& row : rows) {
        std::wstring folder = L"stale";
        EXPECT_EQ(row.shellFolder ? GetShellFolder(row.name, folder)
                                  : GetKnownFolderByName(row.name, folder),
                  row.found)
            << (row.name ? row.name : L"null");
        EXPECT_EQ(folder, row.folder) << (row.name ? row.name : L"null");
    }
    const GUID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    std::wstring folder = L"stale";
    EXPECT_EQ(GetKnownFolderPath(unknown, folder), 0);
    EXPECT_EQ(folder, L"");
}

TEST_F(SpecialFolders, ListingFiltersNamesAndPrefersTheShellThenMachineData) {
    Strings names = {L"stale"}, paths = {L"stale"};
    EXPECT_EQ(ListShellFolders(names, paths), 0);  // no Shell Folders keys
    EXPECT_TRUE(names.empty() && paths.empty());
    registry.Apply({
        Sz(kUserFolders, L"AppData", L"U:\\user roaming"),
        Sz(kUserFolders, L"Tarvox Drawings", L"U:\\drawings"),
        Sz(kUserFolders, L"{374DE290-123F-4565-9164-39C4925E467B}", L"U:\\downloads"),
        Sz(kUserFolders, L"!Do not use this registry key", L"U:\\warning"),
        Sz(kUserFolders, L"X", L"U:\\short name"),
        Sz(kUserFolders, L"Empty", L""),
        Dword(kUserFolders, L"Numbered", 12345),
        Sz(kMachineFolders, L"Tarvox Drawings", L"M:\\drawings"),
        Sz(kMachineFolders, L"Common AppData", L"M:\\program data"),
    });
    ASSERT_EQ(ListShellFolders(names, paths), 1);
    // The value type plays no part: a DWORD of 4 bytes is listed with its raw data as text.
    ASSERT_EQ(names, (Strings{L"AppData", L"Common AppData", L"Numbered", L"Tarvox Drawings"}));
    EXPECT_EQ(paths[0], ShellAnswer(FOLDERID_RoamingAppData));
    // Machine data stands in only where the shell has no answer (Wine resolves the
    // program-data folder from machine keys that the sandbox hides).
    const std::wstring programData = ShellAnswer(FOLDERID_ProgramData);
    EXPECT_EQ(paths[1], programData.empty() ? L"M:\\program data" : programData);
    EXPECT_EQ(paths[3], L"M:\\drawings");

    // AppData listed, but the machine's data (two terminators, so long enough to be used) has
    // replaced the user's folder with an empty text: the environment, then the temporary folder.
    registry.Apply({Raw(kMachineFolders, L"AppData", REG_SZ, {0, 0, 0, 0})});
    environment.Set(L"AppData", L"E:\\from environment");
    std::wstring folder;
    ASSERT_EQ(GetShellFolder(L"APPDATA", folder), 1);
    EXPECT_EQ(folder, L"E:\\from environment");
    environment.Unset(L"AppData");
    environment.SetTempFolder(temp.Path() + L"\\");
    ASSERT_EQ(GetShellFolder(L"AppData", folder), 1);
    EXPECT_EQ(folder, temp.Path() + L"\\");
}

HRESULT StateAfterCall(DWORD model) {
    HRESULT seen = E_FAIL;
    std::thread([&] {
        const bool initialised = model != 0xFFFFFFFF && SUCCEEDED(CoInitializeEx(nullptr, model));
        std::wstring folder;
        GetKnownFolderPath(FOLDERID_RoamingAppData, folder);
        // Asking for the apartment the thread had tells whether it still has it.
        seen = CoInitializeEx(nullptr, model == 0xFFFFFFFF ? DWORD{COINIT_MULTITHREADED} : model);
        if (SUCCEEDED(seen)) CoUninitialize();
        if (initialised) CoUninitialize();
    }).join();
    return seen;
}

TEST_F(SpecialFolders, TheCallingThreadsComStateIsLeftAsItWas) {
    EXPECT_EQ(StateAfterCall(COINIT_APARTMENTTHREADED),
              S_FALSE);                                        // still a single-threaded apartment
    EXPECT_EQ(StateAfterCall(COINIT_MULTITHREADED), S_FALSE);  // still in the multithreaded one
    EXPECT_EQ(StateAfterCall(0xFFFFFFFF), S_OK);               // balanced: uninitialised again
}

TEST_F(SpecialFolders, WithoutTheShellModuleTheRegistryDataIsUsed) {
    registry.Apply({Sz(kUserFolders, L"AppData", L"U:\\user roaming")});
    const ChildResult child = RunSandboxed("ShellFoldersWithoutShell");
    ASSERT_TRUE(child.Passed());
    if (child.Value("shell_loaded_at_start") == "1")
        GTEST_SKIP() << "the shell module is loaded at start";
    EXPECT_EQ(child.Value("by_name"), "0");
    EXPECT_EQ(child.Value("appdata"), "U:\\user roaming");
    // The failed lookup is kept for the process, even once the shell module is loaded.
    EXPECT_EQ(child.Value("by_name_after_load"), "0");
}

}  // namespace
