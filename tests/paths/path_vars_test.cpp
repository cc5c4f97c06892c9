// The compact path-variable table and expansion with it.
#include "variables/path_vars.h"

#include <tarvox/registry.h>

#include "foundation/text_compare.h"
#include "tests/support/acad_machine.h"
#include "tests/support/sandbox_fixture.h"

#include <algorithm>

namespace {

using namespace tarvox::test;

class CompactTable : public SandboxTest {
protected:
    // The values of the names in the built table, joined with "|"; "-" for a name not in it.
    std::wstring ValuesOf(std::initializer_list<std::wstring> names, int aliases = 0) {
        std::vector<std::wstring> table, values;
        EXPECT_EQ(BuildPathVarTable(table, values, aliases), 1);
        EXPECT_TRUE(std::is_sorted(table.begin(), table.end(), [](const auto& a, const auto& b) {
            return tarvox::CompareSystemIgnoringCase(a, b) == tarvox::SortOrder::Before;
        }));
        std::wstring joined;
        for (const std::wstring& name : names) {
            long long index = 0;
            if (!joined.empty()) joined += L"|";
            joined += FindSortedString(name.c_str(), table, index) ? values[index] : L"-";
        }
        return joined;
    }
};

TEST_F(CompactTable, EnvironmentShellFoldersAndTheProductsInstallationFolders) {
    environment.Set(L"TARVOX_TEST_DIR", L"  D:\\Tarvox\\Data\\  ");
    environment.Set(L"TARVOX_NO_SLASH", L"plain words");
    environment.Set(L"TARVOX_{BRACE}", L"D:\\brace");
    environment.Set(L"TARVOX_SHORT", L"D:\\");  // "D:" is shorter than 4 characters
    EXPECT_EQ(ValuesOf({L"%tarvox_test_dir%", L"%TARVOX_NO_SLASH%", L"%TARVOX_{BRACE}%",
                        L"%TARVOX_SHORT%", L"%HOMEDRIVE%"}),
              L"D:\\Tarvox\\Data|-|-|-|-");

    // CommonFilesDirX86 comes from the x86 variable first.
    environment.Set(L"CommonProgramFiles(x86)", L"C:\\Program Files (x86)\\Common Files");
    environment.Set(L"CommonProgramFiles", L"C:\\Program Files\\Common Files");
    EXPECT_EQ(ValuesOf({L"%CommonFilesDirX86%"}), L"C:\\Program Files (x86)\\Common Files");
    environment.Unset(L"CommonProgramFiles(x86)");
    EXPECT_EQ(ValuesOf({L"%CommonFilesDirX86%"}), L"C:\\Program Files\\Common Files");

    // Shell folders of the machine come before those of the user, whose trailing backslash stays.
    const std::wstring key =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    registry.Apply({Sz(L"HKLM\\" + key, L"Tarvox Shared", L"M:\\shared  "),
                    Sz(L"HKCU\\" + key, L"Tarvox Shared", L"U:\\shared"),
                    Sz(L"HKCU\\" + key, L"Tarvox Mine", L"U:\\mine\\"),
                    Dword(L"HKCU\\" + key, L"Tarvox Number", 5)});
    EXPECT_EQ(ValuesOf({L"%Tarvox Shared%", L"%Tarvox Mine%", L"%Tarvox Number%"}),
              L"M:\\shared|U:\\mine\\|-");

    // Without Veska's installation its per-user default stands in.
    const std::wstring ardent = L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020";
    environment.Set(L"APPDATA", L"C:\\Users\\u\\AppData\\Roaming");
    registry.Apply({Sz(ardent, L"InstallDir_AR", L"C:\\Tarvox\\Ardent\\")});
    EXPECT_EQ(ValuesOf({L"%TarvoArdent_2020%", L"%TarvoArdent_HELP%", L"%TarvoVeska_2020_U%"}),
              L"C:\\Tarvox\\Ardent|C:\\Tarvox\\Ardent\\Help|"
              L"C:\\Users\\u\\AppData\\Roaming\\Tarvox\\Tarvo Veska 2020");
    // The main product's user folder comes from its product key.
    registry.Apply({Sz(ardent, L"InstallDir", L"D:\\Ardent"),
                    Sz(L"HKLM\\Software\\Tarvox\\Tarvo Veska 2020", L"InstallDir", L"D:\\Veska\\"),
                    Sz(ardent, L"AppData", L"D:\\Users\\Ardent\\")});
    EXPECT_EQ(ValuesOf({L"%TarvoArdent_2020%", L"%TarvoVeska_2020_U%", L"%TarvoArdent_2020_U%"}),
              L"D:\\Ardent|D:\\Veska|D:\\Users\\Ardent\\");
}

TEST_F(CompactTable, TheCurrentAutoCadAddsItsFoldersAfterTheFilter) {
    AcadMachine machine(registry, temp);
    const std::wstring key =
        L"HKCU\\" + machine.Add(AcadProduct(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020 - English",
                                            L"AutoCAD 2020"));
    EXPECT_EQ(ValuesOf({L"%ACINSTALLFOLDER%", L"%ACROAMINGROOTFOLDER%"}),
              machine.FolderOf(L"AutoCAD 2020") + L"|-");

    registry.Apply({Sz(key, L"RoamableRootFolder", L"U:\\Roaming\\R23.1\\enu\\"),
                    Sz(key, L"LocalRootFolder", L"L:\\Local\\R23.1\\enu"),
                    Sz(key, L"AutodeskSharedFolder", L"S:\\Shared\\"),
                    // Short enough for the filter, but these rows come after it.
                    Sz(key, L"AllUsersFolder", L"A:\\"), Sz(key, L"PublicFolder", L"P:\\Public")});
    EXPECT_EQ(ValuesOf({L"%ACROAMINGROOTFOLDER%", L"%ACLOCALROOTFOLDER%",
                        L"%ACAUTODESKSHAREDFOLDER%", L"%ACALLUSERSFOLDER%", L"%ACPUBLICFOLDER%"}),
              L"U:\\Roaming\\R23.1\\enu|L:\\Local\\R23.1\\enu|S:\\Shared|A:|-");
    registry.Apply({Sz(key, L"AllUsersFolder", L"A:\\" + std::wstring(257, L'a'))});
    EXPECT_EQ(ValuesOf({L"%ACALLUSERSFOLDER%"}), L"-");  // too long for 260 characters

    // An environment variable of the same name was there first and wins.
    environment.Set(L"ACINSTALLFOLDER", L"E:\\Elsewhere");
    EXPECT_EQ(ValuesOf({L"%ACINSTALLFOLDER%"}), L"E:\\Elsewhere");
}

class CachedTables : public SandboxTest {};

TEST_F(CachedTables, ExpansionAndReAbbreviationInOneProcess) {
    registry.Apply({Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"ACAD-3001:409"),
                    Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409", L"Location",
                       L"C:\\Program Files\\Autodesk\\AutoCAD 2020")});
    environment.Set(L"TARVOX_DATA", L"D:\\Tarvox Data");
    const struct {
        const wchar_t *path, *aliases;
        const char* expected;
    } rows[] = {// Aliases expand only when asked for; re-abbreviation picks the first of the equal
                // values in name order.
                {L"%AC2020%\\Support", L"1",
                 "1|C:\\Program Files\\Autodesk\\AutoCAD 2020\\Support|%AC2020%\\Support"},
                {L"%AC2020%\\Support", L"0", "1|\\Support|\\Support"},
                // Both forms of an environment path.
                {L"\"%tarvox_data%\\Vorlagen\"", L"0",
                 "1|\"D:\\Tarvox Data\\Vorlagen\"|\"%TARVOX_DATA%\\Vorlagen\""},
                // Texts without variables, and no text.
                {L"D:\\plain\\path", L"1", "1|D:\\plain\\path|untouched"},
                {L"<null>", L"1", "0||untouched"}};
    for (const auto& row : rows) {
        const ChildResult child =
            RunSandboxed("ExpandAndAbbreviate", {.args = {row.path, row.aliases}});
        EXPECT_EQ(child.Value("result") + "|" + child.Value("without") + "|" + child.Value("with"),
                  row.expected)
            << row.path;
    }
}

}  // namespace
