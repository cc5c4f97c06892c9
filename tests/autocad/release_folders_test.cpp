// Per-release AutoCAD folders, the support path and finding a file the way AutoCAD does.
#include <tarvox/acad_folders.h>
#include <tarvox/autocad.h>

#include "autocad/release_catalogue.h"
#include "tests/support/acad_machine_test.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvox::test;

class ReleaseFoldersTest : public AcadMachineTest {
protected:
    wchar_t lt[260] = L"lt", acad[260] = L"acad", arch[260] = L"arch";
};

TEST_F(ReleaseFoldersTest, NonPureOptionActsOnlyIn2020AndAfterAnLtLookupThatFoundBoth) {
    Add(L"R23.1", L"ACAD-3005:409", L"AutoCAD Mechanical 2020", L"Mechanical 2020", L"2020");
    EXPECT_EQ(GetAcadDirs2020(nullptr, acad, nullptr), 1);
    EXPECT_EQ(std::wstring(acad), machine.FolderOf(L"Mechanical 2020"));

    wcscpy(acad, L"nonpureacads=false");
    EXPECT_EQ(GetAcadDirs2020(nullptr, acad, nullptr), 0);
    EXPECT_STREQ(acad, L"");

    // With an LT lookup first that finds no LT 2020, the variables no longer allow the filter.
    wcscpy(acad, L"NonPureAcads=FALSE");
    EXPECT_EQ(GetAcadDirs2020(lt, acad, arch), 1);
    EXPECT_STREQ(lt, L"");
    EXPECT_STREQ(arch, L"");
    EXPECT_EQ(std::wstring(acad), machine.FolderOf(L"Mechanical 2020"));

    AddLt(L"R26", L"ACADLT-3001:409", L"AutoCAD LT 2020", L"LT 2020", L"2020");
    wcscpy(acad, L"NonPureAcads=FALSE");
    // The LT lookup leaves 1 in both 2020 variables; negated, they turn the filter on.
    EXPECT_EQ(GetAcadDirs2020(lt, acad, nullptr), 1);
    EXPECT_EQ(std::wstring(lt), machine.FolderOf(L"LT 2020"));
    EXPECT_STREQ(acad, L"");
    wcscpy(acad, L"");
    EXPECT_EQ(GetAcadDirs2020(lt, acad, nullptr), 1);
    EXPECT_EQ(std::wstring(acad), machine.FolderOf(L"Mechanical 2020"));

    // Before 2020 the option has no effect.
    Add(L"R23.0", L"ACAD-2005:409", L"AutoCAD Mechanical 2019", L"Mechanical 2019", L"2019");
    wcscpy(acad, L"NonPureAcads=FALSE");
    EXPECT_EQ(GetAcadDirs2019(nullptr, acad, nullptr), 1);
    EXPECT_EQ(std::wstring(acad), machine.FolderOf(L"Mechanical 2019"));
}

TEST_F(ReleaseFoldersTest, EveryGroupOfAYear) {
    Add(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020", L"2020");
    Add(L"R23.1", L"ACAD-3004:409", L"AutoCAD Architecture 2020", L"Architecture 2020", L"2020");
    AddLt(L"R26", L"ACADLT-3001:409", L"AutoCAD LT 2020", L"LT 2020", L"2020");
    EXPECT_EQ(GetAcadDirs2020(lt, acad, arch), 1);
    EXPECT_EQ(std::wstring(lt), machine.FolderOf(L"LT 2020"));
    EXPECT_EQ(std::wstring(acad), machine.FolderOf(L"AutoCAD 2020"));
    EXPECT_EQ(std::wstring(arch), machine.FolderOf(L"Architecture 2020"));
    EXPECT_EQ(GetAcadDirs2021(lt, acad, arch), 0);
    EXPECT_STREQ(acad, L"");
}

TEST_F(ReleaseFoldersTest, RoamingAndAppDataFoldersComeFromTheUsersProductKey) {
    const std::wstring key =
        Add(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020", L"2020");
    std::wstring folder = L"old";
    EXPECT_STREQ(GetAutoCADAppDataDir(folder, 0), L"");
    // Without a roaming folder the buffer keeps the installation folder, and that is no success.
    EXPECT_EQ(GetAcadRoamableDirs2020(nullptr, acad, nullptr), 0);
    EXPECT_EQ(std::wstring(acad), machine.FolderOf(L"AutoCAD 2020"));

    const std::wstring shell =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    registry.Apply({Sz(L"HKCU\\" + key, L"RoamableRootFolder",
                       L"C:\\Users\\u\\AppData\\Roaming\\Autodesk\\R23.1\\enu\\"),
                    Sz(L"HKLM\\" + shell, L"Common AppData", L"C:\\ProgramData"),
                    Sz(L"HKCU\\" + shell, L"AppData", L"C:\\Users\\u\\AppData\\Roaming")});
    wcscpy(acad, L"NonPureAcads=FALSE");  // no effect in this family
    EXPECT_EQ(GetAcadRoamableDirs2020(nullptr, acad, nullptr), 1);
    EXPECT_STREQ(acad, L"C:\\Users\\u\\AppData\\Roaming\\Autodesk\\R23.1\\enu");
    EXPECT_STREQ(GetAutoCADAppDataDir(folder, 0),
                 L"C:\\Users\\u\\AppData\\Roaming\\Autodesk\\R23.1\\enu");
    EXPECT_STREQ(GetAutoCADAppDataDir(folder, 1), L"C:\\ProgramData\\Autodesk\\R23.1\\enu");
}

TEST_F(ReleaseFoldersTest, GeneralFormsByProductTypeKeepOtherBuffers) {
    Add(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020", L"2020");
    const std::wstring electrical =
        Add(L"R23.1", L"ACAD-3007:409", L"AutoCAD Electrical 2020", L"Electrical 2020", L"2020");
    AddLt(L"R26", L"ACADLT-3001:409", L"AutoCAD LT 2020", L"LT 2020", L"2020");
    registry.Apply({Sz(L"HKCU\\" + electrical, L"RoamableRootFolder", L"U:\\Electrical\\")});
    wchar_t elec[260] = L"elec", civil[260] = L"civil";
    tarvox::autocad::SelectAcadReleaseByYear(2019);
    EXPECT_EQ(GetAcadDirs(2020, lt, acad, arch, elec, civil), 1);
    EXPECT_STREQ(lt, L"lt");  // LT is not listed by the general forms
    EXPECT_EQ(std::wstring(acad), machine.FolderOf(L"AutoCAD 2020"));
    EXPECT_STREQ(arch, L"arch");
    EXPECT_EQ(std::wstring(elec), machine.FolderOf(L"Electrical 2020"));
    EXPECT_STREQ(civil, L"civil");
    EXPECT_EQ(tarvox::autocad::CurrentAcadRelease(), L"R23.0");  // restored

    // 2024 is outside the release table: the products of R23.1 answer.
    wcscpy(elec, L"");
    EXPECT_EQ(GetAcadRoamableDirs(2024, nullptr, nullptr, nullptr, elec, nullptr), 1);
    EXPECT_STREQ(elec, L"U:\\Electrical");
    EXPECT_EQ(GetAcadDirs(2019, nullptr, acad, nullptr, nullptr, nullptr), 0);
}

TEST_F(ReleaseFoldersTest, SupportPathOfTheCurrentProfileOrOfAllAndFindingFiles) {
    const std::wstring productKey =
        Add(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020", L"2020");
    machine.SetUserCurrent(false, L"R23.1", L"ACAD-3001:409");
    machine.SetUserProfile(productKey, L"Tarvo");
    const auto setSupport = [&](const wchar_t* profile, const std::wstring& text) {
        registry.Apply(
            {Sz(L"HKCU\\" + productKey + L"\\Profiles\\" + profile + L"\\General", L"ACAD", text)});
    };
    // Items trimmed, with one backslash, no duplicates; the caller's entries stay in front, and
    // their variables are expanded too.
    setSupport(L"Tarvo",
               L";; \tC:\\Support\\  ;D:\\Fonts\\\\ \t;C:\\Support;%TARVOX_SUPPORT_TEST%\\x;;");
    environment.Set(L"TARVOX_SUPPORT_TEST", L"E:\\Env");
    std::vector<std::wstring> folders{L"kept", L"%TARVOX_SUPPORT_TEST%\\passed\\"};
    EXPECT_EQ(GetAcadSupportPath(folders), 1);
    EXPECT_EQ(folders, (std::vector<std::wstring>{L"kept", L"E:\\Env\\passed\\", L"C:\\Support\\",
                                                  L"D:\\Fonts\\", L"E:\\Env\\x\\"}));

    // All profiles: the current profile "Tarvo" is read in its sorted place, after "Other".
    setSupport(L"Tarvo", L"C:\\T");
    setSupport(L"Other", L"C:\\O;C:\\T");
    folders.clear();
    EXPECT_EQ(GetAcadSupportPath(folders, 1), 1);
    EXPECT_EQ(folders, (std::vector<std::wstring>{L"C:\\O\\", L"C:\\T\\"}));
    // A profile without the value stops the walk with 0; what was found before it stays, the
    // profiles after it are not read.
    registry.Apply({Key(L"HKCU\\" + productKey + L"\\Profiles\\Pending\\General")});
    setSupport(L"Other", L"C:\\O");
    folders.clear();
    EXPECT_EQ(GetAcadSupportPath(folders, 1), 0);
    EXPECT_EQ(folders, (std::vector<std::wstring>{L"C:\\O\\"}));

    // Files are found in the AutoCAD folder first.
    const std::wstring support = temp.MakeFolder(L"Support");
    setSupport(L"Tarvo", support);
    temp.WriteFile(L"Support\\acad.pat", "x");
    temp.WriteFile(L"Support\\only.lin", "x");
    temp.WriteFile(L"AutoCAD 2020\\acad.pat", "x");
    temp.MakeFolder(L"Support\\folder.lin");
    std::wstring path;
    EXPECT_EQ(AcadFindFile(L"acad.pat", path), 1);
    EXPECT_EQ(path, machine.FolderOf(L"AutoCAD 2020") + L"\\acad.pat");
    EXPECT_EQ(AcadFindFile(L"only.lin", path), 1);
    EXPECT_EQ(path, support + L"\\only.lin");
    EXPECT_EQ(AcadFindFile(L"folder.lin", path), 0);  // a folder of that name does not count
    EXPECT_EQ(path, L"");
    EXPECT_EQ(AcadFindFile(L""), 0);
}

TEST_F(ReleaseFoldersTest, LtProfileReadsTheSupportValue) {
    const std::wstring key =
        AddLt(L"R26", L"ACADLT-3001:409", L"AutoCAD LT 2020", L"LT 2020", L"2020");
    machine.SetUserProfile(key, L"<<Unnamed Profile>>");
    registry.Apply(
        {Sz(L"HKCU\\" + key + L"\\Profiles\\<<Unnamed Profile>>\\General", L"ACAD", L"C:\\Wrong"),
         Sz(L"HKCU\\" + key + L"\\Profiles\\<<Unnamed Profile>>\\General", L"Support", L"C:\\Lt")});
    // No AutoCAD is installed, so the LT product is the current one of the selected release.
    tarvox::autocad::CurrentAcadRelease() = L"R26";
    std::vector<std::wstring> folders;
    EXPECT_EQ(GetAcadSupportPath(folders), 1);
    EXPECT_EQ(folders, (std::vector<std::wstring>{L"C:\\Lt\\"}));
}

}  // namespace
