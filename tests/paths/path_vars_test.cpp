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

PathVarTable Table(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> rows) {
    PathVarTable table;
    for (const auto& [name, value] : rows) tarvox::AddPathVar(table, name, value, kOrder);
    return table;
}

TEST(PathVarEngine, ExpansionReplacesKnownTokensIgnoringCaseAndDeletesUnknownOnes) {
    const PathVarTable table = Table({{L"%APPDATA%", L"C:\\Users\\u\\AppData\\Roaming"},
                                      {L"%AC2020%", L"C:\\ACAD"},
                                      {L"%A_B%", L"C:\\ab"},
                                      {L"%OUTER%", L"C:\\%INNER%"},
                                      {L"%INNER%", L"D:\\x"}});
    const struct {
        const wchar_t* text;
        const wchar_t* expanded;
    } cases[] = {{L"%appdata%\\Tarvox", L"C:\\Users\\u\\AppData\\Roaming\\Tarvox"},
                 {L"%NOPE%\\x", L"\\x"},
                 {L"a%%b", L"ab"},
                 {L"%AC2020%;%AC2020%", L"C:\\ACAD;C:\\ACAD"},
                 // A lone percent sign and what follows it stay.
                 {L"100% sure", L"100% sure"},
                 {L"%A_B%\\50%", L"C:\\ab\\50%"},
                 // Values are not scanned again, and a deleted token does not swallow the percent
                 // sign of the next variable.
                 {L"%OUTER%", L"C:\\%INNER%"},
                 {L"%X%%INNER%", L"D:\\x"}};
    for (const auto& c : cases)
        EXPECT_EQ(tarvox::ExpandWithTable(c.text, table, kOrder), c.expanded) << c.text;
}

TEST(PathVarEngine, TheFirstSourceOfANameWinsAndNamesStaySorted) {
    PathVarTable table;
    EXPECT_TRUE(tarvox::AddPathVar(table, L"%b%", L"first", kOrder));
    EXPECT_FALSE(tarvox::AddPathVar(table, L"%B%", L"second", kOrder));
    tarvox::AddPathVar(table, L"%a%", L"x", kOrder);
    tarvox::AddPathVar(table, L"%C%", L"y", kOrder);
    EXPECT_EQ(table.names, (std::vector<std::wstring>{L"%a%", L"%b%", L"%C%"}));
    EXPECT_EQ(table.values[1], L"first");
}

TEST(PathVarEngine, AbbreviationPutsTheLongestMatchingValueBack) {
    const PathVarTable table = Table({{L"%PROG%", L"C:\\Program Files"},
                                      {L"%AC2020%", L"C:\\Program Files\\Autodesk\\AutoCAD 2020"},
                                      {L"%ACA2020%", L"C:\\Program Files\\Autodesk\\AutoCAD 2020"},
                                      {L"%APPDATA%", L"C:\\Users\\u\\AppData\\Roaming"}});
    const auto index = tarvox::BuildLengthIndex(table);
    const struct {
        const wchar_t* text;
        const wchar_t* abbreviated;
    } cases[] = {
        // Equal values: the first in table (name) order wins, and the second finds nothing left.
        {L"c:\\program files\\autodesk\\autocad 2020\\Support", L"%AC2020%\\Support"},
        {L"C:\\Program Files\\Tarvox", L"%PROG%\\Tarvox"},
        {L"D:\\Program Files", L"D:\\Program Files"},
        // A leading double quote is kept; only the start of the text is looked at.
        {L"\"C:\\Users\\u\\AppData\\Roaming\\x y\"", L"\"%APPDATA%\\x y\""},
        {L"x;C:\\Users\\u\\AppData\\Roaming", L"x;C:\\Users\\u\\AppData\\Roaming"}};
    for (const auto& c : cases) {
        EXPECT_EQ(tarvox::AbbreviateWithTable(c.text, table, index, kOrder), c.abbreviated)
            << c.text;
    }
}

TEST(PathVarEngine, LengthIndexRunsByLengthAndTableOrderFromTheEnd) {
    const PathVarTable table =
        Table({{L"%A%", L"1234"}, {L"%B%", L"12"}, {L"%C%", L"1234"}, {L"%D%", L"123456"}});
    const auto index = tarvox::BuildLengthIndex(table);
    // From the end: D (6), then A and C (4) in table order, then B.
    EXPECT_EQ(index, (std::vector<std::size_t>{1, 2, 0, 3}));
}

class CompactTable : public SandboxTest {
protected:
    std::wstring ValueOf(const std::wstring& name, int aliases = 0) {
        std::vector<std::wstring> names, values;
        EXPECT_EQ(BuildPathVarTable(names, values, aliases), 1);
        EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const auto& a, const auto& b) {
            return tarvox::CompareSystemIgnoringCase(a, b) == tarvox::SortOrder::Before;
        }));
        long long index = 0;
        return FindSortedString(name.c_str(), names, index) ? values[index] : L"<absent>";
    }
};

TEST_F(CompactTable, TakesTheEnvironmentTrimmedAndFiltered) {
    environment.Set(L"TARVOX_TEST_DIR", L"  D:\\Tarvox\\Data\\  ");
    environment.Set(L"TARVOX_NO_SLASH", L"plain words");
    environment.Set(L"TARVOX_{BRACE}", L"D:\\brace");
    environment.Set(L"TARVOX_SHORT", L"D:\\");
    EXPECT_EQ(ValueOf(L"%tarvox_test_dir%"), L"D:\\Tarvox\\Data");
    EXPECT_EQ(ValueOf(L"%TARVOX_NO_SLASH%"), L"<absent>");
    EXPECT_EQ(ValueOf(L"%TARVOX_{BRACE}%"), L"<absent>");
    EXPECT_EQ(ValueOf(L"%TARVOX_SHORT%"), L"<absent>");  // "D:" is shorter than 4 characters
    EXPECT_EQ(ValueOf(L"%HOMEDRIVE%"), L"<absent>");
}

TEST_F(CompactTable, CommonFilesX86ComesFromTheX86VariableFirst) {
    environment.Set(L"CommonProgramFiles(x86)", L"C:\\Program Files (x86)\\Common Files");
    environment.Set(L"CommonProgramFiles", L"C:\\Program Files\\Common Files");
    EXPECT_EQ(ValueOf(L"%CommonFilesDirX86%"), L"C:\\Program Files (x86)\\Common Files");
    environment.Unset(L"CommonProgramFiles(x86)");
    EXPECT_EQ(ValueOf(L"%CommonFilesDirX86%"), L"C:\\Program Files\\Common Files");
}

TEST_F(CompactTable, ShellFoldersOfTheMachineComeBeforeThoseOfTheUser) {
    const std::wstring key =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    registry.Apply({Sz(L"HKLM\\" + key, L"Tarvox Shared", L"M:\\shared  "),
                    Sz(L"HKCU\\" + key, L"Tarvox Shared", L"U:\\shared"),
                    Sz(L"HKCU\\" + key, L"Tarvox Mine", L"U:\\mine\\"),
                    Dword(L"HKCU\\" + key, L"Tarvox Number", 5)});
    EXPECT_EQ(ValueOf(L"%Tarvox Shared%"), L"M:\\shared");
    EXPECT_EQ(ValueOf(L"%Tarvox Mine%"), L"U:\\mine\\");  // the trailing backslash stays
    EXPECT_EQ(ValueOf(L"%Tarvox Number%"), L"<absent>");
}

TEST_F(CompactTable, AutoCadFoldersOfTheProductYearFollowTheUsersCurVer) {
    registry.Apply(
        {Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"ACAD-3001:409"),
         Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409", L"RoamableRootFolder",
            L"U:\\Roaming\\R23.1\\enu\\"),
         Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409", L"Location",
            L"C:\\Program Files\\Autodesk\\AutoCAD 2020\\"),
         // A value that does not fit 260 characters with its terminator counts as missing.
         Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409", L"AllUsersRootFolder",
            L"C:\\" + std::wstring(291, L'a')),
         Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409", L"PublicFolder",
            L"C:\\" + std::wstring(256, L'p'))});
    EXPECT_EQ(ValueOf(L"%AutoCAD_AllUsersRootFolder%"), L"<absent>");
    EXPECT_EQ(ValueOf(L"%AutoCAD_PublicFolder%"), L"C:\\" + std::wstring(256, L'p'));
    EXPECT_EQ(ValueOf(L"%AutoCAD_RoamableRootFolder%"), L"U:\\Roaming\\R23.1\\enu");
    EXPECT_EQ(ValueOf(L"%AutoCAD_Location%"), L"C:\\Program Files\\Autodesk\\AutoCAD 2020");
    EXPECT_EQ(ValueOf(L"%AC2020%", 0), L"<absent>");
    EXPECT_EQ(ValueOf(L"%AC2020%", 1), L"C:\\Program Files\\Autodesk\\AutoCAD 2020");
    EXPECT_EQ(ValueOf(L"%ADT2020%", 1), L"C:\\Program Files\\Autodesk\\AutoCAD 2020");
}

TEST_F(CompactTable, TheCurrentAutoCadAddsItsFoldersAfterTheFilter) {
    AcadMachine machine(registry, temp);
    const std::wstring key = machine.Add(
        AcadProduct(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020 - English", L"AutoCAD 2020"));
    EXPECT_EQ(ValueOf(L"%ACINSTALLFOLDER%"), machine.FolderOf(L"AutoCAD 2020"));
    EXPECT_EQ(ValueOf(L"%ACROAMINGROOTFOLDER%"), L"<absent>");

    registry.Apply({Sz(L"HKCU\\" + key, L"RoamableRootFolder", L"U:\\Roaming\\R23.1\\enu\\"),
                    Sz(L"HKCU\\" + key, L"LocalRootFolder", L"L:\\Local\\R23.1\\enu"),
                    Sz(L"HKCU\\" + key, L"AutodeskSharedFolder", L"S:\\Shared\\"),
                    // Short enough for the filter, but these rows come after it.
                    Sz(L"HKCU\\" + key, L"AllUsersFolder", L"A:\\"),
                    Sz(L"HKCU\\" + key, L"PublicFolder", L"P:\\Public")});
    EXPECT_EQ(ValueOf(L"%ACROAMINGROOTFOLDER%"), L"U:\\Roaming\\R23.1\\enu");
    EXPECT_EQ(ValueOf(L"%ACLOCALROOTFOLDER%"), L"L:\\Local\\R23.1\\enu");
    EXPECT_EQ(ValueOf(L"%ACAUTODESKSHAREDFOLDER%"), L"S:\\Shared");
    EXPECT_EQ(ValueOf(L"%ACALLUSERSFOLDER%"), L"A:");
    EXPECT_EQ(ValueOf(L"%ACPUBLICFOLDER%"), L"<absent>");
    registry.Apply({Sz(L"HKCU\\" + key, L"AllUsersFolder", L"A:\\" + std::wstring(257, L'a'))});
    EXPECT_EQ(ValueOf(L"%ACALLUSERSFOLDER%"), L"<absent>");  // too long for 260 characters

    // An environment variable of the same name was there first and wins.
    environment.Set(L"ACINSTALLFOLDER", L"E:\\Elsewhere");
    EXPECT_EQ(ValueOf(L"%ACINSTALLFOLDER%"), L"E:\\Elsewhere");
}

TEST_F(CompactTable, NoCurrentAutoCadOfTheSelectedReleaseAddsNothing) {
    AcadMachine machine(registry, temp);
    machine.Add(AcadProduct(L"R22.0", L"ACAD-1001:409", L"AutoCAD 2018", L"AutoCAD 2018"));
    EXPECT_EQ(ValueOf(L"%ACINSTALLFOLDER%"), L"<absent>");
}

TEST_F(CompactTable, WithoutAUserReleaseKeyTheReleaseKeyItselfIsRead) {
    registry.Apply(
        {Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1", L"Location", L"C:\\ACAD 2020")});
    EXPECT_EQ(ValueOf(L"%AutoCAD_Location%"), L"C:\\ACAD 2020");
    // A user's release key without CurVer adds no AutoCAD folders.
    registry.Apply({Key(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1")});
    EXPECT_EQ(ValueOf(L"%AutoCAD_Location%"), L"<absent>");
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
    ChildResult Run(const std::wstring& path, const wchar_t* aliases) {
        ChildOptions options;
        options.args = {path, aliases};
        return RunSandboxed("ExpandAndAbbreviate", options);
    }
};

TEST_F(CachedTables, AliasesExpandOnlyWhenAskedFor) {
    ChildResult child = Run(L"%AC2020%\\Support", L"1");
    EXPECT_EQ(child.Value("result"), "1");
    EXPECT_EQ(child.Value("without"), "C:\\Program Files\\Autodesk\\AutoCAD 2020\\Support");
    // Re-abbreviation picks the first of the equal values in name order.
    EXPECT_EQ(child.Value("with"), "%AC2020%\\Support");

    child = Run(L"%AC2020%\\Support", L"0");
    EXPECT_EQ(child.Value("without"), "\\Support");
    EXPECT_EQ(child.Value("with"), "\\Support");
}

TEST_F(CachedTables, BothFormsOfAnEnvironmentPath) {
    const ChildResult child = Run(L"\"%tarvox_data%\\Vorlagen\"", L"0");
    EXPECT_EQ(child.Value("without"), "\"D:\\Tarvox Data\\Vorlagen\"");
    EXPECT_EQ(child.Value("with"), "\"%TARVOX_DATA%\\Vorlagen\"");
}

TEST_F(CachedTables, TextsWithoutVariablesAndEmptyTexts) {
    ChildResult child = Run(L"D:\\plain\\path", L"1");
    EXPECT_EQ(child.Value("result"), "1");
    EXPECT_EQ(child.Value("without"), "D:\\plain\\path");
    EXPECT_EQ(child.Value("with"), "untouched");
    child = Run(L"<null>", L"1");
    EXPECT_EQ(child.Value("result"), "0");
    EXPECT_EQ(child.Value("without"), "");
    EXPECT_EQ(child.Value("with"), "untouched");
}

TEST_F(CompactTable, TheProductsInstallationFoldersComeFromTheirKeys) {
    environment.Set(L"APPDATA", L"C:\\Users\\u\\AppData\\Roaming");
    registry.Apply({Sz(L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020", L"InstallDir_AR",
                       L"C:\\Tarvox\\Ardent\\")});
    EXPECT_EQ(ValueOf(L"%TarvoArdent_2020%"), L"C:\\Tarvox\\Ardent");
    EXPECT_EQ(ValueOf(L"%TarvoArdent_HELP%"), L"C:\\Tarvox\\Ardent\\Help");
    // Without Veska's installation its per-user default stands in.
    EXPECT_EQ(ValueOf(L"%TarvoVeska_2020_U%"),
              L"C:\\Users\\u\\AppData\\Roaming\\Tarvox\\Tarvo Veska 2020");

    registry.Apply(
        {Sz(L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020", L"InstallDir", L"D:\\Ardent"),
         Sz(L"HKLM\\Software\\Tarvox\\Tarvo Veska 2020", L"InstallDir", L"D:\\Veska\\")});
    EXPECT_EQ(ValueOf(L"%TarvoArdent_2020%"), L"D:\\Ardent");
    EXPECT_EQ(ValueOf(L"%TarvoVeska_2020_U%"), L"D:\\Veska");
    // The main product's user folder comes from its product key.
    registry.Apply(
        {Sz(L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020", L"AppData", L"D:\\Users\\Ardent\\")});
    EXPECT_EQ(ValueOf(L"%TarvoArdent_2020_U%"), L"D:\\Users\\Ardent\\");
}

}  // namespace
