// The full path-variable table and expansion with it.
#include "paths/full_expansion.h"
#include "variables/full_path_vars.h"

#include "tests/support/acad_machine.h"
#include "tests/support/sandbox_fixture.h"

#include <algorithm>

namespace {

using namespace tarvox::test;
using tarvox::ExpandWithRows;

const std::vector<std::wstring> kNames = {L"%AC%", L"%AC2020%", L"%ac2020%", L"%LONG%"};
const std::vector<std::wstring> kValues = {L"C:\\AC", L"C:\\First", L"C:\\Second",
                                           std::wstring(700, L'x')};

TEST(FullExpansion, FirstRowWinsUnknownVariablesStayAndTheLeadingDotIsTheProgramFolder) {
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"%Ac2020%\\x", L"C:\\First\\x"},
        {L"%AC%;%NONE%;%AC%", L"C:\\AC;%NONE%;C:\\AC"},
        {L"100%% %AC", L"100%% %AC"},
        {L"", L""},
        {L".\\Data\\%AC%", L"C:\\Program\\Data\\C:\\AC"},
        {L"..\\Data", L"..\\Data"}};
    for (const auto& [text, expanded] : rows)
        EXPECT_EQ(ExpandWithRows(text, kNames, kValues, L"C:\\Program"), expanded) << text;
    // Growth is bounded.
    EXPECT_EQ(ExpandWithRows(L"%LONG%", kNames, kValues, L""),
              std::wstring(6 + tarvox::kFullExpansionGrowth, L'x'));
}

class FullTable : public SandboxTest {
protected:
    std::vector<std::wstring> names, values;

    std::wstring Expand(const wchar_t* text) {
        std::vector<wchar_t> out(std::wcslen(text) + tarvox::kFullExpansionGrowth + 1);
        return ExpandAllPathVars(text, out.data());
    }
};

TEST_F(FullTable, HelpFollowsTheFirstRowMoviesAndMenusFallBackOnlyForMissingValues) {
    EXPECT_EQ(Expand(L"%HELP%|%PLUS%"), L"\\Help|\\Tarvo Zenit +");
    const std::wstring key = L"HKLM\\SOFTWARE\\Tarvox\\Tarvo Ardent 2020";
    registry.Apply({Sz(L"HKLM\\SOFTWARE\\Orvan AG\\Orvan Bau 2000\\1.0\\InstallDir", L"InstallDir",
                       L"D:\\Bau\\"),
                    Sz(key, L"InstallDir", L"D:\\Ardent\\"), Sz(key, L"Anwender", L"D:\\Users\\")});
    EXPECT_EQ(Expand(L"%ORVBAU%|%HELP%|%MOVIES%|%ANWENDER%|%ANWENDERMNU%"),
              L"D:\\Bau|D:\\Bau\\Help|D:\\Ardent\\Movies|D:\\Users|D:\\Users\\mnu");
    registry.Apply({Sz(key, L"MoviesDir", L""), Sz(key, L"AnwenderMenue", L"\\")});
    EXPECT_EQ(Expand(L"%MOVIES%|%ANWENDERMNU%"), L"|");

    EXPECT_EQ(ExpandAllPathVars(L"x", nullptr), nullptr);
    wchar_t out[8] = L"old";
    EXPECT_STREQ(ExpandAllPathVars(nullptr, out), L"");
    EXPECT_STREQ(ExpandAllPathVars(L"", out), L"");
}

TEST_F(FullTable, ShellFoldersOfBothHivesTheMachineFirst) {
    const std::wstring key =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    registry.Apply({Sz(L"HKLM\\" + key, L"Tarvox Shared", L"M:\\Shared\\"),
                    Sz(L"HKCU\\" + key, L"Tarvox Shared", L"U:\\Shared"),
                    Sz(L"HKCU\\" + key, L"Tarvox Mine", L"U:\\Mine"),
                    // Every value makes a row: the default value and values of any type.
                    Sz(L"HKCU\\" + key, L"", L"U:\\Default\\"),
                    Dword(L"HKCU\\" + key, L"Tarvox Number", 0x00420041)});
    tarvox::BuildFullPathVarTable(names, values);
    EXPECT_EQ(std::count(names.begin(), names.end(), L"%Tarvox Shared%"), 2);
    EXPECT_EQ(Expand(L"%tarvox shared%;%Tarvox Mine%;%Tarvox Nothing%"),
              L"M:\\Shared;U:\\Mine;%Tarvox Nothing%");
    EXPECT_EQ(Expand(L"%%|%Tarvox Number%"), L"U:\\Default|AB");
}

TEST_F(FullTable, LegacyRowsNeedTheirMarkerFilesReleaseRowsEachYearsLookups) {
    const std::wstring folder = temp.MakeFolder(L"Zenit");
    registry.Apply({Sz(L"HKLM\\SOFTWARE\\Orvan AG\\Orvan Zenit 2004\\1.0\\InstallDir",
                       L"InstallDir", folder + L"\\")});
    temp.WriteFile(L"Zenit\\TarvoARXapi.dll", "x");
    EXPECT_EQ(Expand(L"%ORVBAU_LT%|%ORVBAU_LTi%|%ORVBAU_AC%"), folder + L"||");
    temp.WriteFile(L"Zenit\\TarvoKanal.dll", "x");
    EXPECT_EQ(Expand(L"%ORVBAU_LT%|%ORVBAU_LTi%"), L"|" + folder);
    temp.MakeFolder(L"Zenit\\Ver2002LT.txt");  // a folder does not count as a marker file
    EXPECT_EQ(Expand(L"%ORVBAU_LT2002%"), L"");

    AcadMachine machine(registry, temp);
    machine.Add(
        AcadProduct(L"R19.1", L"ACAD-D001:409", L"AutoCAD 2014 - English", L"AutoCAD 2014"));
    machine.Add(
        AcadProduct(L"R20.1", L"ACADLT-F001:409", L"AutoCAD LT 2016 - English", L"LT 2016").Lt());
    EXPECT_EQ(Expand(L"%AC2014%|%LT2014%|%ADT2014%"), machine.FolderOf(L"AutoCAD 2014") + L"||");
    EXPECT_EQ(Expand(L"%LT2016%"), machine.FolderOf(L"LT 2016"));

    // Early releases: a product name too long for 260 characters counts as missing.
    const std::wstring r15 = L"HKLM\\SOFTWARE\\Autodesk\\AutoCAD\\R15.0\\ACAD-1:409";
    temp.WriteFile(L"AutoCAD 2000\\acad.exe", "x");
    registry.Apply({Sz(r15, L"ProductName", L"AutoCAD 2000 " + std::wstring(250, L'x')),
                    Sz(r15, L"AcadLocation", temp.Path() + L"\\AutoCAD 2000")});
    EXPECT_EQ(Expand(L"%AC%"), L"");
    registry.Apply({Sz(r15, L"ProductName", L"AutoCAD 2000 " + std::wstring(246, L'x'))});
    EXPECT_EQ(Expand(L"%AC%"), temp.Path() + L"\\AutoCAD 2000");
}

}  // namespace
