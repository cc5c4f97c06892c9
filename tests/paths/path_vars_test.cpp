// The compact path-variable table and expansion with it.
#include "paths/path_vars.h"

#include <tarvox/registry.h>

#include "foundation/system_compare.h"
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

TEST(PathVarEngine, ReplacesKnownTokensIgnoringCaseAndDeletesUnknownOnes) {
    const PathVarTable table = Table({{L"%APPDATA%", L"C:\\Users\\u\\AppData\\Roaming"}, {L"%AC2020%", L"C:\\ACAD"}});
    EXPECT_EQ(tarvox::ExpandWithTable(L"%appdata%\\Tarvox", table, kOrder), L"C:\\Users\\u\\AppData\\Roaming\\Tarvox");
    EXPECT_EQ(tarvox::ExpandWithTable(L"%NOPE%\\x", table, kOrder), L"\\x");
    EXPECT_EQ(tarvox::ExpandWithTable(L"a%%b", table, kOrder), L"ab");
    EXPECT_EQ(tarvox::ExpandWithTable(L"%AC2020%;%AC2020%", table, kOrder), L"C:\\ACAD;C:\\ACAD");
}

TEST(PathVarEngine, ALonePercentSignAndWhatFollowsStay) {
    const PathVarTable table = Table({{L"%A_B%", L"C:\\ab"}});
    EXPECT_EQ(tarvox::ExpandWithTable(L"100% sure", table, kOrder), L"100% sure");
    EXPECT_EQ(tarvox::ExpandWithTable(L"%A_B%\\50%", table, kOrder), L"C:\\ab\\50%");
}

TEST(PathVarEngine, ValuesAreNotScannedAgain) {
    const PathVarTable table = Table({{L"%OUTER%", L"C:\\%INNER%"}, {L"%INNER%", L"D:\\x"}});
    EXPECT_EQ(tarvox::ExpandWithTable(L"%OUTER%", table, kOrder), L"C:\\%INNER%");
    // A deleted token does not swallow the percent sign of the next variable.
    EXPECT_EQ(tarvox::ExpandWithTable(L"%X%%INNER%", table, kOrder), L"D:\\x");
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
    const std::wstring key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    registry.Apply({Sz(L"HKLM\\" + key, L"Tarvox Shared", L"M:\\shared  "),
                    Sz(L"HKCU\\" + key, L"Tarvox Shared", L"U:\\shared"),
                    Sz(L"HKCU\\" + key, L"Tarvox Mine", L"U:\\mine\\"),
                    Dword(L"HKCU\\" + key, L"Tarvox Number", 5)});
    EXPECT_EQ(ValueOf(L"%Tarvox Shared%"), L"M:\\shared");
    EXPECT_EQ(ValueOf(L"%Tarvox Mine%"), L"U:\\mine\\");  // the trailing backslash stays
    EXPECT_EQ(ValueOf(L"%Tarvox Number%"), L"<absent>");
}

TEST_F(CompactTable, AutoCadFoldersOfTheProductYearFollowTheUsersCurVer) {
    registry.Apply({Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"ACAD-3001:409"),
                    Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409", L"RoamableRootFolder", L"U:\\Roaming\\R23.1\\enu\\"),
                    Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409", L"Location", L"C:\\Program Files\\Autodesk\\AutoCAD 2020\\")});
    EXPECT_EQ(ValueOf(L"%AutoCAD_RoamableRootFolder%"), L"U:\\Roaming\\R23.1\\enu");
    EXPECT_EQ(ValueOf(L"%AutoCAD_Location%"), L"C:\\Program Files\\Autodesk\\AutoCAD 2020");
    EXPECT_EQ(ValueOf(L"%AC2020%", 0), L"<absent>");
    EXPECT_EQ(ValueOf(L"%AC2020%", 1), L"C:\\Program Files\\Autodesk\\AutoCAD 2020");
    EXPECT_EQ(ValueOf(L"%ADT2020%", 1), L"C:\\Program Files\\Autodesk\\AutoCAD 2020");
}

TEST_F(CompactTable, AUserReleaseKeyWithoutCurVerAddsNoAutoCadFolders) {
    registry.Apply({Key(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1"),
                    Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1", L"Location", L"C:\\ACAD 2020")});
    EXPECT_EQ(ValueOf(L"%AutoCAD_Location%"), L"<absent>");
}

TEST_F(CompactTable, WithoutAUserReleaseKeyTheReleaseKeyItselfIsRead) {
    registry.Apply({Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1", L"Location", L"C:\\ACAD 2020")});
    EXPECT_EQ(ValueOf(L"%AutoCAD_Location%"), L"C:\\ACAD 2020");
}

}  // namespace
