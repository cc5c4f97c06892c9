// The compact path-variable table and expansion with it.
#include "variables/path_vars.h"

#include <tarvox/registry.h>

#include "foundation/text_compare.h"
#include "tests/support/acad_machine.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

#include <algorithm>

namespace {

using namespace tarvox::test;
using tarvox::PathVarTable;

constexpr tarvox::NameOrder kOrder = tarvox::CompareSystemIgnoringCase;
using Rows = std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>;

PathVarTable Table(Rows rows) {
    PathVarTable table;
    for (const auto& [name, value] : rows) tarvox::AddPathVar(table, name, value, kOrder);
    return table;
}

TEST(PathVarEngine, ExpansionReplacesKnownTokensIgnoringCaseTheFirstSourceOfANameWins) {
    const PathVarTable table = Table({{L"%APPDATA%", L"C:\\Users\\u\\AppData\\Roaming"},
                                      {L"%AC2020%", L"C:\\ACAD"},
                                      {L"%A_B%", L"C:\\ab"},
                                      {L"%OUTER%", L"C:\\%INNER%"},
                                      {L"%INNER%", L"D:\\x"}});
    const Rows cases = {{L"%appdata%\\Tarvox", L"C:\\Users\\u\\AppData\\Roaming\\Tarvox"},
                        {L"%NOPE%\\x", L"\\x"},
                        {L"a%%b", L"ab"},
                        {L"%AC2020%;%AC2020%", L"C:\\ACAD;C:\\ACAD"},
                        // A lone percent sign and what follows it stay.
                        {L"100% sure", L"100% sure"},
                        {L"%A_B%\\50%", L"C:\\ab\\50%"},
                        // Values are not scanned again, and a deleted token does not swallow
                        // the percent sign of the next variable.
                        {L"%OUTER%", L"C:\\%INNER%"},
                        {L"%X%%INNER%", L"D:\\x"}};
    for (const auto& [text, expanded] : cases)
        EXPECT_EQ(tarvox::ExpandWithTable(text, table, kOrder), expanded) << text;

    // The first source of a name wins, and the names stay sorted.
    PathVarTable added = Table({{L"%b%", L"first"}, {L"%a%", L"x"}});
    EXPECT_FALSE(tarvox::AddPathVar(added, L"%B%", L"second", kOrder));
    EXPECT_TRUE(tarvox::AddPathVar(added, L"%C%", L"y", kOrder));
    EXPECT_EQ(added.names, (std::vector<std::wstring>{L"%a%", L"%b%", L"%C%"}));
    EXPECT_EQ(added.values[1], L"first");
}

TEST(PathVarEngine, AbbreviationPutsTheLongestMatchingValueBack) {
    const PathVarTable table = Table({{L"%PROG%", L"C:\\Program Files"},
                                      {L"%AC2020%", L"C:\\Program Files\\Autodesk\\AutoCAD 2020"},
                                      {L"%ACA2020%", L"C:\\Program Files\\Autodesk\\AutoCAD 2020"},
                                      {L"%APPDATA%", L"C:\\Users\\u\\AppData\\Roaming"}});
    const auto index = tarvox::BuildLengthIndex(table);
    const Rows cases = {
        // Equal values: the first in table (name) order wins, and the second finds nothing left.
        {L"c:\\program files\\autodesk\\autocad 2020\\Support", L"%AC2020%\\Support"},
        {L"C:\\Program Files\\Tarvox", L"%PROG%\\Tarvox"},
        {L"D:\\Program Files", L"D:\\Program Files"},
        // A leading double quote is kept; only the start of the text is looked at.
        {L"\"C:\\Users\\u\\AppData\\Roaming\\x y\"", L"\"%APPDATA%\\x y\""},
        {L"x;C:\\Users\\u\\AppData\\Roaming", L"x;C:\\Users\\u\\AppData\\Roaming"}};
    for (const auto& [text, abbreviated] : cases)
        EXPECT_EQ(tarvox::AbbreviateWithTable(text, table, index, kOrder), abbreviated) << text;

    // The length index runs from the end: D (6), then A and C (4) in table order, then B.
    EXPECT_EQ(tarvox::BuildLengthIndex(Table(
                  {{L"%A%", L"1234"}, {L"%B%", L"12"}, {L"%C%", L"1234"}, {L"%D%", L"123456"}})),
              (std::vector<std::size_t>{1, 2, 0, 3}));
}

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
    const std::wstring kAcadUser = L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1";
    const std::wstring kAcadMachine = L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1";
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

TEST_F(CompactTable, AutoCadFoldersOfTheProductYearFollowTheUsersCurVer) {
    // Without a user's release key the release key itself is read; a user's release key without
    // CurVer adds no AutoCAD folders.
    registry.Apply({Sz(kAcadMachine, L"Location", L"C:\\ACAD 2020")});
    EXPECT_EQ(ValuesOf({L"%AutoCAD_Location%"}), L"C:\\ACAD 2020");
    registry.Apply({Key(kAcadUser)});
    EXPECT_EQ(ValuesOf({L"%AutoCAD_Location%"}), L"-");

    const std::wstring product = L"\\ACAD-3001:409";
    registry.Apply(
        {Sz(kAcadUser, L"CurVer", L"ACAD-3001:409"),
         Sz(kAcadUser + product, L"RoamableRootFolder", L"U:\\Roaming\\R23.1\\enu\\"),
         Sz(kAcadMachine + product, L"Location", L"C:\\Program Files\\Autodesk\\AutoCAD 2020\\"),
         // A value that does not fit 260 characters with its terminator counts as missing.
         Sz(kAcadMachine + product, L"AllUsersRootFolder", L"C:\\" + std::wstring(291, L'a')),
         Sz(kAcadUser + product, L"PublicFolder", L"C:\\" + std::wstring(256, L'p'))});
    const std::wstring location = L"C:\\Program Files\\Autodesk\\AutoCAD 2020";
    EXPECT_EQ(
        ValuesOf({L"%AutoCAD_AllUsersRootFolder%", L"%AutoCAD_PublicFolder%",
                  L"%AutoCAD_RoamableRootFolder%", L"%AutoCAD_Location%", L"%AC2020%"}),
        L"-|C:\\" + std::wstring(256, L'p') + L"|U:\\Roaming\\R23.1\\enu|" + location + L"|-");
    EXPECT_EQ(ValuesOf({L"%AC2020%", L"%ADT2020%"}, 1), location + L"|" + location);
}

TEST_F(CompactTable, NoCurrentAutoCadOfTheSelectedReleaseAddsNothing) {
    AcadMachine(registry, temp)
        .Add(AcadProduct(L"R22.0", L"ACAD-1001:409", L"AutoCAD 2018", L"AutoCAD 2018"));
    EXPECT_EQ(ValuesOf({L"%ACINSTALLFOLDER%"}), L"-");
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

class CachedTables : public SandboxTest {
protected:
    void SetUp() override {
        registry.Apply(
            {Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"ACAD-3001:409"),
             Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409", L"Location",
                L"C:\\Program Files\\Autodesk\\AutoCAD 2020")});
        environment.Set(L"TARVOX_DATA", L"D:\\Tarvox Data");
    }
    // The result, the expanded text and the text with variables, joined with "|".
    std::string Run(const std::wstring& path, const wchar_t* aliases) {
        ChildOptions options;
        options.args = {path, aliases};
        const ChildResult child = RunSandboxed("ExpandAndAbbreviate", options);
        return child.Value("result") + "|" + child.Value("without") + "|" + child.Value("with");
    }
};

TEST_F(CachedTables, ExpansionAndReAbbreviationInOneProcess) {
    const struct {
        const wchar_t* path;
        const wchar_t* aliases;
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
    for (const auto& row : rows) EXPECT_EQ(Run(row.path, row.aliases), row.expected) << row.path;
}

}  // namespace
