// The per-user configuration folder of each product, every step of its lookup.
#include <tarvox/folders.h>

#include "foundation/own_module.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;

constexpr wchar_t kUserArdent[] = L"HKCU\\Software\\Tarvox\\Tarvo Ardent 2020";
constexpr wchar_t kMachineArdent[] = L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020";
constexpr wchar_t kUserVeska[] = L"HKCU\\Software\\Tarvox\\Tarvo Veska 2020";
constexpr wchar_t kMachineVeska[] = L"HKLM\\Software\\Tarvox\\Tarvo Veska 2020";

class ConfigFolders : public SandboxTest {
protected:
    void SetUp() override {
        // Remembered so that the folder this process caches in them goes away with the test.
        environment.Unset(L"TarvoArdent_2020_CFG_L");
        environment.Unset(L"TarvoVeska_2020_CFG_L");
        environment.Set(L"AppData", L"C:\\Users\\u\\AppData\\Roaming");
    }
    std::wstring Ardent() { return GetLocalConfigDir(buffer); }
    std::wstring Veska() { return GetLocalRConfigDir(buffer); }
    wchar_t buffer[260];
};

TEST_F(ConfigFolders, TheEnvironmentComesFirstAndGetsItsBackslash) {
    environment.Set(L"TarvoArdent_2020_CFG_L", L"E:\\Ardent Config");
    registry.Apply({Sz(kUserArdent, L"Config", L"R:\\never read")});
    EXPECT_EQ(Ardent(), L"E:\\Ardent Config\\");
    environment.Set(L"TarvoVeska_2020_CFG_L", L"E:\\Veska Config\\");
    EXPECT_EQ(Veska(), L"E:\\Veska Config\\");
}

TEST_F(ConfigFolders, TheUsersFolderValueIsCachedInTheEnvironment) {
    registry.Apply({Sz(kUserArdent, L"Config", L"U:\\Ardent Config")});
    EXPECT_EQ(Ardent(), L"U:\\Ardent Config\\");
    EXPECT_EQ(GetEnv(L"TarvoArdent_2020_CFG_L").value_or(L"<unset>"), L"U:\\Ardent Config\\");
    // The value goes; the process keeps its answer.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Tarvox\\Tarvo Ardent 2020", L"Config");
    EXPECT_EQ(Ardent(), L"U:\\Ardent Config\\");
}

TEST_F(ConfigFolders, VeskaReadsItsOwnValueName) {
    registry.Apply(
        {Sz(kUserVeska, L"Config", L"U:\\wrong"), Sz(kUserVeska, L"ConfigR", L"U:\\Veska")});
    EXPECT_EQ(Veska(), L"U:\\Veska\\");
    EXPECT_EQ(GetEnv(L"TarvoVeska_2020_CFG_L").value_or(L"<unset>"), L"U:\\Veska\\");
}

TEST_F(ConfigFolders, TheUserKeysDefaultValueGetsConfigAndIsNotCached) {
    registry.Apply({Sz(kUserArdent, L"", L"U:\\Ardent")});
    EXPECT_EQ(Ardent(), L"U:\\Ardent\\Config\\");
    EXPECT_FALSE(GetEnv(L"TarvoArdent_2020_CFG_L").has_value());
}

TEST_F(ConfigFolders, TheInstallationKeysApplicationDataIsExpanded) {
    environment.Set(L"TARVOX_PROFILE", L"P:\\Profile");
    registry.Apply({ExpandSz(kMachineArdent, L"AppData", L"%TARVOX_PROFILE%\\Ardent"),
                    Sz(kMachineVeska, L"AppData", L"M:\\Veska\\")});
    EXPECT_EQ(Ardent(), L"P:\\Profile\\Ardent\\Config\\");
    EXPECT_EQ(Veska(), L"M:\\Veska\\Config\\");
    EXPECT_FALSE(GetEnv(L"TarvoArdent_2020_CFG_L").has_value());
}

TEST_F(ConfigFolders, WithoutAnEditionTheInstallationKeysDefaultValueComesFirst) {
    registry.Apply(
        {Sz(kMachineArdent, L"", L"M:\\Default"), Sz(kMachineArdent, L"AppData", L"M:\\AppData")});
    EXPECT_EQ(Ardent(), L"M:\\Default\\Config\\");
}

TEST_F(ConfigFolders, NothingConfiguredGivesTheUsersApplicationData) {
    EXPECT_EQ(Ardent(), L"C:\\Users\\u\\AppData\\Roaming\\Tarvox\\Tarvo Ardent 2020\\Config\\");
    // Veska takes the user's "AppData" shell folder from the registry instead.
    registry.Apply(
        {Sz(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
            L"AppData", L"S:\\Shell AppData")});
    EXPECT_EQ(Veska(), L"S:\\Shell AppData\\Tarvox\\Tarvo Veska 2020\\Config\\");
}

TEST_F(ConfigFolders, TheLastResortIsBesideTheLibrary) {
    environment.Unset(L"AppData");
    EXPECT_EQ(Ardent(), tarvox::OwnModuleFolder() + L"Config\\");
    EXPECT_EQ(Veska(), tarvox::OwnModuleFolder() + L"Config\\");
}

TEST_F(ConfigFolders, AnOverlongVariableFallsToTheLastResort) {
    environment.Set(L"TarvoArdent_2020_CFG_L", L"E:\\" + std::wstring(300, L'x'));
    registry.Apply({Sz(kUserArdent, L"Config", L"U:\\skipped"),
                    Sz(kMachineArdent, L"AppData", L"M:\\Ardent")});
    EXPECT_EQ(Ardent(), L"M:\\Ardent\\Config\\");
}

TEST_F(ConfigFolders, ANullBufferUsesOneStaticBufferPerFunction) {
    environment.Set(L"TarvoArdent_2020_CFG_L", L"E:\\A");
    environment.Set(L"TarvoVeska_2020_CFG_L", L"E:\\V");
    wchar_t* ardent = GetLocalConfigDir(nullptr);
    wchar_t* veska = GetLocalRConfigDir(nullptr);
    EXPECT_NE(ardent, veska);
    EXPECT_STREQ(ardent, L"E:\\A\\");
    EXPECT_STREQ(veska, L"E:\\V\\");
    EXPECT_EQ(GetLocalConfigDir(nullptr), ardent);
}

TEST_F(ConfigFolders, TheLuminorEditionReadsItsOwnNames) {
    registry.Apply({Sz(kUserArdent, L"Config", L"U:\\neutral"),
                    Sz(kUserArdent, L"Config_LU", L"U:\\Luminor")});
    const std::wstring folder = temp.MakeFolder(L"luminor");
    temp.WriteFile(L"luminor\\Tarvo Luminor 2020.txt", "");
    ChildOptions options;
    options.sandboxKey = registry.ScratchKey();
    options.programFolder = folder;
    const ChildResult child = RunChildScenario("LocalConfigFolders", options);
    ASSERT_TRUE(child.Passed()) << child.output;
    EXPECT_EQ(child.Value("ardent"), "U:\\Luminor\\");
    EXPECT_EQ(child.Value("cached_in"), "TarvoArdent_LU_2020_CFG_L");
}

}  // namespace

namespace {

TEST_F(ConfigFolders, TheFolderListHandsOutFoldersAndStoresVariables) {
    environment.Set(L"TarvoArdent_2020_CFG_L", temp.Path());
    environment.Set(L"TARVOX_DRAWINGS", L"D:\\Tarvox Drawings");
    environment.Set(L"TARVOX_PERCENT", L"D:\\100%\\Rabatt 5%");
    const std::wstring list = temp.WriteFile(
        L"Ordner.ini",
        "[Ordner]\r\nVorlagen=%TARVOX_DRAWINGS%\\Vorlagen\r\nRabatt=%TARVOX_PERCENT%\\Plots\r\n");
    ChildOptions options;
    options.sandboxKey = registry.ScratchKey();
    options.args = {list, L"vorlagen", L"Plots", L"D:\\Tarvox Drawings\\Plots"};
    const ChildResult child = RunChildScenario("FolderListValues", options);
    ASSERT_TRUE(child.Passed()) << child.output;
    EXPECT_EQ(child.Value("dir_value"), "D:\\Tarvox Drawings\\Vorlagen");
    EXPECT_EQ(child.Value("dir_value_empty_name"), "");
    EXPECT_EQ(child.Value("dir_value_missing"), "");
    EXPECT_EQ(child.Value("reader_value"), "D:\\Tarvox Drawings\\Vorlagen");
    EXPECT_EQ(child.Value("saved"), "1");
    const std::string text = ReadFileBytes(list);
    EXPECT_NE(text.find("Plots=%TARVOX_DRAWINGS%\\Plots"), std::string::npos) << text;
    EXPECT_NE(text.find("Vorlagen=%TARVOX_DRAWINGS%\\Vorlagen"), std::string::npos) << text;

    // The folder comes back as CfgKern expanded it, once: percent signs of a variable's value
    // stay, as they do for a configuration reader.
    options.args = {list, L"Rabatt", L"Plots", L"D:\\Tarvox Drawings\\Plots"};
    const ChildResult percent = RunChildScenario("FolderListValues", options);
    ASSERT_TRUE(percent.Passed()) << percent.output;
    EXPECT_EQ(percent.Value("dir_value"), "D:\\100%\\Rabatt 5%\\Plots");
    EXPECT_EQ(percent.Value("reader_value"), "D:\\100%\\Rabatt 5%\\Plots");
}

}  // namespace
