// The per-user configuration folder of each product, every step of its lookup, and the folder
// list that hands out folders.
#include <tarvox/folders.h>

#include "foundation/own_module.h"
#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;

constexpr wchar_t kUserArdent[] = L"HKCU\\Software\\Tarvox\\Tarvo Ardent 2020";
constexpr wchar_t kMachineArdent[] = L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020";
constexpr wchar_t kUserVeska[] = L"HKCU\\Software\\Tarvox\\Tarvo Veska 2020";
constexpr wchar_t kMachineVeska[] = L"HKLM\\Software\\Tarvox\\Tarvo Veska 2020";
constexpr wchar_t kArdentVariable[] = L"TarvoArdent_2020_CFG_L";
constexpr wchar_t kVeskaVariable[] = L"TarvoVeska_2020_CFG_L";

// Each row is a machine of its own: a fresh registry and environment. A folder the process
// keeps in the product's variable stays its answer when the registry value goes.
TEST(ConfigFolderLookup, EveryStep) {
    using Environment = std::vector<std::pair<const wchar_t*, std::wstring>>;
    // An empty folder is not asked; kept is the variables' value afterwards, null: not checked.
    const auto row = [](const char* label, const Environment& variables,
                        const std::vector<RegEntry>& entries, const std::wstring& ardent,
                        const std::wstring& veska, const wchar_t* kept) {
        SCOPED_TRACE(label);
        RegistrySandbox registry;
        EnvironmentGuard environment;
        // Remembered so that the folder this process caches in them goes away with the row.
        environment.Unset(kArdentVariable);
        environment.Unset(kVeskaVariable);
        environment.Set(L"AppData", L"C:\\Users\\u\\AppData\\Roaming");
        for (const auto& [name, value] : variables) {
            if (value.empty()) environment.Unset(name);
            else environment.Set(name, value);
        }
        registry.Apply(entries);
        wchar_t buffer[260];
        for (const bool isArdent : {true, false}) {
            const auto ask = [&] {
                return std::wstring(isArdent ? GetLocalConfigDir(buffer)
                                             : GetLocalRConfigDir(buffer));
            };
            const std::wstring& expected = isArdent ? ardent : veska;
            if (expected.empty()) continue;
            EXPECT_EQ(ask(), expected);
            if (kept == nullptr) continue;
            EXPECT_EQ(GetEnv(isArdent ? kArdentVariable : kVeskaVariable).value_or(L""), kept);
            if (*kept == L'\0') continue;
            RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarvox");
            EXPECT_EQ(ask(), expected);
        }
    };
    row("the environment comes first and gets its backslash",
        {{kArdentVariable, L"E:\\Ardent Config"}, {kVeskaVariable, L"E:\\Veska Config\\"}},
        {Sz(kUserArdent, L"Config", L"R:\\never read")}, L"E:\\Ardent Config\\",
        L"E:\\Veska Config\\", nullptr);
    row("the user's folder value is cached in the environment", {},
        {Sz(kUserArdent, L"Config", L"U:\\Ardent Config")}, L"U:\\Ardent Config\\", L"",
        L"U:\\Ardent Config\\");
    row("Veska reads its own value name", {},
        {Sz(kUserVeska, L"Config", L"U:\\wrong"), Sz(kUserVeska, L"ConfigR", L"U:\\Veska")}, L"",
        L"U:\\Veska\\", L"U:\\Veska\\");
    row("the user key's default value gets Config and is not cached", {},
        {Sz(kUserArdent, L"", L"U:\\Ardent")}, L"U:\\Ardent\\Config\\", L"", L"");
    row("the installation key's application data is expanded",
        {{L"TARVOX_PROFILE", L"P:\\Profile"}},
        {ExpandSz(kMachineArdent, L"AppData", L"%TARVOX_PROFILE%\\Ardent"),
         Sz(kMachineVeska, L"AppData", L"M:\\Veska\\")},
        L"P:\\Profile\\Ardent\\Config\\", L"M:\\Veska\\Config\\", L"");
    row("without an edition the installation key's default value comes first", {},
        {Sz(kMachineArdent, L"", L"M:\\Default"), Sz(kMachineArdent, L"AppData", L"M:\\AppData")},
        L"M:\\Default\\Config\\", L"", nullptr);
    row("nothing configured gives the user's application data", {}, {},
        L"C:\\Users\\u\\AppData\\Roaming\\Tarvox\\Tarvo Ardent 2020\\Config\\", L"", nullptr);
    row("Veska takes the user's AppData shell folder", {},
        {Sz(L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
            L"AppData", L"S:\\Shell AppData")},
        L"", L"S:\\Shell AppData\\Tarvox\\Tarvo Veska 2020\\Config\\", nullptr);
    const std::wstring beside = tarvox::OwnModuleFolder() + L"Config\\";
    row("the last resort is beside the library", {{L"AppData", L""}}, {}, beside, beside, nullptr);
    row("an overlong variable falls to the last resort",
        {{kArdentVariable, L"E:\\" + std::wstring(300, L'x')}},
        {Sz(kUserArdent, L"Config", L"U:\\skipped"), Sz(kMachineArdent, L"AppData", L"M:\\Ardent")},
        L"M:\\Ardent\\Config\\", L"", nullptr);
}

class ConfigFolders : public SandboxTest {};

// The folder comes back as CfgKern expanded it, once: percent signs of a variable's value stay,
// as they do for a configuration reader.
TEST_F(ConfigFolders, TheFolderListHandsOutFoldersAndStoresVariables) {
    environment.Set(kArdentVariable, temp.Path());
    environment.Set(L"TARVOX_DRAWINGS", L"D:\\Tarvox Drawings");
    environment.Set(L"TARVOX_PERCENT", L"D:\\100%\\Rabatt 5%");
    const std::wstring list = temp.WriteFile(
        L"Ordner.ini",
        "[Ordner]\r\nVorlagen=%TARVOX_DRAWINGS%\\Vorlagen\r\nRabatt=%TARVOX_PERCENT%\\Plots\r\n");
    const std::pair<const wchar_t*, const char*> folders[] = {
        {L"vorlagen", "D:\\Tarvox Drawings\\Vorlagen"}, {L"Rabatt", "D:\\100%\\Rabatt 5%\\Plots"}};
    for (const auto& [name, folder] : folders) {
        const ChildResult child = RunSandboxed(
            "FolderListValues", {.args = {list, name, L"Plots", L"D:\\Tarvox Drawings\\Plots"}});
        EXPECT_EQ(child.Value("dir_value"), folder);
        EXPECT_EQ(child.Value("dir_value_empty_name") + child.Value("dir_value_missing"), "");
        EXPECT_EQ(child.Value("reader_value"), folder);
        EXPECT_EQ(child.Value("saved"), "1");
    }
    const std::string text = ReadFileBytes(list);
    EXPECT_NE(text.find("Plots=%TARVOX_DRAWINGS%\\Plots"), std::string::npos) << text;
    EXPECT_NE(text.find("Vorlagen=%TARVOX_DRAWINGS%\\Vorlagen"), std::string::npos) << text;
}

}  // namespace
