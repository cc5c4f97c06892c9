// AutoCAD products, profiles and workspaces as objects; the add-on's enabled-in list and
// making the right product current.
#include "autocad/acad_infos.h"

#include <tarvox/autocad.h>
#include <tarvox/registry.h>

#include "tests/support/acad_machine_test.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvox::test;
using tarvox::autocad::EnabledInEntry;
using tarvox::autocad::ParseEnabledInValue;
using tarvox::autocad::ProductShortNameOf;

TEST(EnabledInValue, ThreeQuotedFields) {
    EnabledInEntry entry;
    ASSERT_TRUE(ParseEnabledInValue(
        L"\"ACAD-3001:409\";\"Tarvo|createdfrom:<<Unnamed Profile>>\";\"Tarvo Plan\"", entry));
    EXPECT_EQ(entry.productKeyName, L"ACAD-3001:409");
    EXPECT_EQ(entry.profile, L"Tarvo");
    EXPECT_EQ(entry.createdFrom, L"<<Unnamed Profile>>");
    EXPECT_EQ(entry.workspace, L"Tarvo Plan");

    // Without the leading quote, without a source profile, with a bar in the profile name.
    ASSERT_TRUE(ParseEnabledInValue(L"ACAD-3005:409\";\"A|B\";\"\"", entry));
    EXPECT_EQ(entry.profile, L"A|B");
    EXPECT_EQ(entry.createdFrom, L"");
    EXPECT_EQ(entry.workspace, L"");

    EXPECT_FALSE(ParseEnabledInValue(L"\"ACAD-3001:409\";\"Tarvo\"", entry));
    EXPECT_FALSE(ParseEnabledInValue(L"\"\";\"Tarvo\";\"Plan\"", entry));
    EXPECT_FALSE(ParseEnabledInValue(L"", entry));
}

TEST(ProductShortName, SubfolderOfUpiLocationBelowTheAutoCadFolder) {
    EXPECT_EQ(ProductShortNameOf(L"C:\\AutoCAD 2020", L"C:\\AutoCAD 2020\\Acade\\UserDataCache"),
              L"ACADE");
    EXPECT_EQ(ProductShortNameOf(L"C:\\AutoCAD 2020", L"C:\\AutoCAD 2020\\Acade"), L"ACAD");
    EXPECT_EQ(ProductShortNameOf(L"C:\\AutoCAD 2020", L"C:\\AutoCAD"), L"ACAD");
    // The prefix itself is not compared.
    EXPECT_EQ(ProductShortNameOf(L"C:\\AutoCAD 2020", L"D:\\Other Folder\\mep\\x"), L"MEP");
}

TEST(SortedCollections, EqualKeysIgnoringCaseAreKeptOnce) {
    CWorkSpaces workspaces;
    EXPECT_EQ(workspaces.Add(CWorkSpace(L"b")), 0u);
    EXPECT_EQ(workspaces.Add(CWorkSpace(L"A")), 0u);
    EXPECT_EQ(workspaces.Add(CWorkSpace(L"a")), 0u);  // the one already there
    ASSERT_EQ(workspaces.GetSize(), 2u);
    EXPECT_EQ(workspaces[0].m_Name, L"A");
    EXPECT_EQ(workspaces[1].m_Name, L"b");
    long long index = 0;
    EXPECT_NE(workspaces.FindByName(L"B", index), nullptr);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(workspaces.FindByName(L"c", index), nullptr);
    EXPECT_EQ(index, -1);

    // Copying a product copies its profiles and their workspaces.
    CAutoCADInfo info;
    CAutoCADProfile profile;
    profile.m_Name = L"P";
    profile.m_WorkSpaces.Add(CWorkSpace(L"W"));
    info.m_Profiles.Add(profile);
    CAutoCADInfo copy = info;
    info.m_Profiles[0].m_WorkSpaces.RemoveAll();
    EXPECT_EQ(copy.m_Profiles[0].m_WorkSpaces.GetSize(), 1u);
}

class AcadInfosTest : public AcadMachineTest {
protected:
    // A product of R23.1 with AcadLocation (and the executable in its folder).
    std::wstring AddProduct(const wchar_t* keyName, const wchar_t* name, const wchar_t* folder) {
        return machine.Add(AcadProduct(L"R23.1", keyName, name, folder).AcadLocationOnly());
    }
    void AddProfile(const std::wstring& productKey, const std::wstring& profile,
                    const wchar_t* menu) {
        registry.Apply(
            {Sz(L"HKCU\\" + productKey + L"\\Profiles\\" + profile + L"\\General Configuration",
                L"MenuFile", menu)});
    }
};

TEST_F(AcadInfosTest, ProductWithItsProfilesFromEitherHive) {
    const std::wstring key =
        AddProduct(L"ACAD-3005:409", L"AutoCAD Mechanical 2020", L"AutoCAD 2020");
    registry.Apply(
        {Sz(L"HKLM\\" + key, L"UPILocation", machine.FolderOf(L"AutoCAD 2020") + L"\\Acadm\\Setup"),
         Sz(L"HKLM\\" + key + L"\\Applications\\Tarvo Ardent 2020", L"Loader",
            L"C:\\Tarvo\\loader.arx")});
    AddProfile(key, L"Tarvo", L"%APPDATA%\\Tarvo\\acadm");
    AddProfile(key, L"<<Unnamed Profile>>", L"C:\\Support\\acad");
    registry.Apply(
        {Sz(L"HKCU\\" + key + L"\\Profiles\\NoMenu\\General Configuration", L"Other", L"x"),
         Dword(L"HKCU\\" + key + L"\\Profiles\\Tarvo\\General Configuration", L"IsPureAcadProfile",
               0)});

    CAutoCADInfo info((L"HKEY_LOCAL_MACHINE\\" + key).c_str(), 1);
    EXPECT_EQ(info.m_Name, L"AutoCAD Mechanical 2020");
    EXPECT_EQ(info.m_ProductKeyName, L"ACAD-3005:409");
    EXPECT_EQ(info.m_ProductKey, key);
    EXPECT_EQ(info.m_AcadExe, machine.FolderOf(L"AutoCAD 2020") + L"\\Acad.exe");
    EXPECT_EQ(info.m_ProductShortName, L"ACADM");
    EXPECT_EQ(info.m_AddOnState, 1);
    ASSERT_EQ(info.m_Profiles.GetSize(), 2u);
    EXPECT_EQ(info.m_Profiles[0].m_Name, L"<<Unnamed Profile>>");
    EXPECT_EQ(info.m_Profiles[0].m_MenuFile, L"C:\\Support\\acad.cuix");
    EXPECT_EQ(info.m_Profiles[0].m_IsPureAcadProfile, 1);
    const CAutoCADProfile& tarvo = info.m_Profiles[1];
    EXPECT_EQ(tarvo.m_IsPureAcadProfile, 0);
    wchar_t appData[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    EXPECT_EQ(tarvo.m_MenuFile, std::wstring(appData) + L"\\Tarvo\\acadm.cuix");
    EXPECT_EQ(tarvo.m_AddOnState, -1);  // quick: the menu file is not opened

    // The user path reads the same; without the Loader the add-on is absent.
    registry.Apply({Sz(L"HKLM\\" + key + L"\\Applications\\Tarvo Ardent 2020", L"Loader", L"")});
    CAutoCADInfo fromUser(key.c_str(), 1);
    EXPECT_EQ(fromUser.m_ProductKey, key);
    EXPECT_EQ(fromUser.m_AddOnState, 0);
}

TEST_F(AcadInfosTest, FullProfilesNeedAWorkspace) {
    const std::wstring key = AddProduct(L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    AddProfile(key, L"Tarvo", L"C:\\Nowhere\\acad");
    CAutoCADInfo info(key.c_str(), 0);
    // The customization file can't be read: no workspaces, so the profile is not usable.
    EXPECT_EQ(info.m_Profiles.GetSize(), 0u);
    CAutoCADProfile profile((L"HKEY_CURRENT_USER\\" + key + L"\\Profiles\\Tarvo").c_str(), 0);
    EXPECT_EQ(profile.m_Name, L"");
    EXPECT_EQ(profile.m_MenuFile, L"C:\\Nowhere\\acad.cuix");
    EXPECT_EQ(profile.m_AddOnState, 0);
}

TEST_F(AcadInfosTest, ListingTakesProductsWithAnExecutableAndNoLt) {
    AddProduct(L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    AddProduct(L"ACAD-3005:409", L"AutoCAD Mechanical 2020", L"Mechanical 2020");
    AddProduct(L"ACAD-3009:409", L"AutoCAD LT 2020 on the AutoCAD key", L"LT 2020");
    const std::wstring noExe = AddProduct(L"ACAD-3004:409", L"AutoCAD Architecture 2020", L"");
    registry.Apply({Sz(L"HKLM\\" + noExe, L"AcadLocation", temp.MakeFolder(L"Empty"))});
    machine.Add(AcadProduct(L"R23.0", L"ACAD-2001:409", L"AutoCAD 2019", L"AutoCAD 2019")
                    .AcadLocationOnly());

    CAutoCADInfos infos;
    ASSERT_EQ(FillAcadInfos(infos, 0, 1), 1);
    ASSERT_EQ(infos.GetSize(), 2u);
    EXPECT_EQ(infos[0].m_ProductKeyName, L"ACAD-3001:409");
    EXPECT_EQ(infos[1].m_ProductKeyName, L"ACAD-3005:409");

    // The add-on's own workspace file is not beside the test program.
    CAutoCADInfos withAddOn;
    EXPECT_EQ(FillAcadInfos(withAddOn, 1, 1), 0);
    EXPECT_EQ(withAddOn.GetSize(), 0u);

    CAutoCADInfos none;
    registry.Apply({Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"acad-3005:409")});
    long long index = 0;
    EXPECT_EQ(FindCurrentAcadInfo(none, index), 0);
    EXPECT_EQ(FindCurrentAcadInfo(infos, index), 1);
    EXPECT_EQ(index, 1);
}

TEST_F(AcadInfosTest, EnabledInEntriesOfAConfigurationFile) {
    const std::wstring key = AddProduct(L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    AddProfile(key, L"Tarvo", L"C:\\Support\\tarvo");
    const std::wstring file = temp.WriteFile(
        L"Ardent.cfg",
        "[AutoCAD]\r\n"
        "EnableIn_1=\"ACAD-3001:409\";\"Tarvo|CreatedFrom:<<Unnamed Profile>>\";\"Tarvo Plan\"\r\n"
        "enablein_2=\"ACAD-3001:409\";\"tarvo\";\"Tarvo Detail\"\r\n"
        "EnableIn_3=\"ACAD-3001:409\";\"Tarvo\"\r\n"
        "Other=\"ACAD-3005:409\";\"X\";\"Y\"\r\n"
        "EnableIn_4=\"ACADLT-3001:409\";\"Light\";\"Drafting\"\r\n");
    CAutoCADInfos infos;
    ASSERT_EQ(ListEnabledAcads(infos, file.c_str()), 1);
    ASSERT_EQ(infos.GetSize(), 2u);
    const CAutoCADInfo& acad = infos[0];
    EXPECT_EQ(acad.m_Name, L"AutoCAD 2020");
    EXPECT_EQ(acad.m_ProductKey, key);
    ASSERT_EQ(acad.m_Profiles.GetSize(), 1u);
    const CAutoCADProfile& profile = acad.m_Profiles[0];
    EXPECT_EQ(profile.m_Name, L"Tarvo");
    EXPECT_EQ(profile.m_CreatedFrom, L"<<Unnamed Profile>>");
    EXPECT_EQ(profile.m_MenuFile, L"C:\\Support\\tarvo.cuix");
    ASSERT_EQ(profile.m_WorkSpaces.GetSize(), 2u);
    EXPECT_EQ(profile.m_WorkSpaces[0].m_Name, L"Tarvo Detail");
    // An LT product may be named, though it is not installed under the AutoCAD key.
    EXPECT_EQ(infos[1].m_ProductKeyName, L"ACADLT-3001:409");
    EXPECT_EQ(infos[1].m_Profiles[0].m_Name, L"Light");

    CAutoCADInfos empty;
    EXPECT_EQ(
        ListEnabledAcads(empty, temp.WriteFile(L"none.cfg", "[AutoCAD]\r\nOther=1\r\n").c_str()),
        0);
}

TEST_F(AcadInfosTest, AddingProfilesAndWorkspacesToAProduct) {
    const std::wstring key = AddProduct(L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    CAutoCADInfo info;
    EXPECT_EQ(info.AddAcadProfileWorkspace(L"", L"Tarvo", L"Plan"), 0);
    ASSERT_EQ(info.AddAcadProfileWorkspace(L"ACAD-3001:409", nullptr, nullptr), 1);
    EXPECT_EQ(info.m_AcadExe, machine.FolderOf(L"AutoCAD 2020") + L"\\Acad.exe");
    EXPECT_TRUE(info.m_Profiles.IsEmpty());
    // A profile that the user key does not know is still added under its name.
    ASSERT_EQ(
        info.AddAcadProfileWorkspace(L"ACAD-3001:409", L"Tarvo Ardent|CreatedFrom:Office", L"Plan"),
        1);
    ASSERT_EQ(info.AddAcadProfileWorkspace(L"ACAD-3001:409", L"TARVO ARDENT", L"plan"), 1);
    ASSERT_EQ(info.m_Profiles.GetSize(), 1u);
    EXPECT_EQ(info.m_Profiles[0].m_Name, L"Tarvo Ardent");
    EXPECT_EQ(info.m_Profiles[0].m_CreatedFrom, L"Office");
    EXPECT_EQ(info.m_Profiles[0].m_WorkSpaces.GetSize(), 1u);
}

class SetAcadVersionTest : public AcadInfosTest {
protected:
    std::wstring UserValue(const wchar_t* key, const wchar_t* name) {
        std::wstring text;
        GetRegValue(text, (std::wstring(L"HKEY_CURRENT_USER\\Software\\Autodesk\\") + key).c_str(),
                    name, 1);
        return text;
    }
    void Enable(std::initializer_list<const wchar_t*> keyNames) {
        int n = 0;
        for (const wchar_t* keyName : keyNames) {
            registry.Apply({Sz(L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020\\AutoCAD",
                               L"EnableIn_" + std::to_wstring(++n),
                               std::wstring(L"\"") + keyName + L"\";\"Tarvo\";\"Tarvo Plan\"")});
        }
    }
};

TEST_F(SetAcadVersionTest, WithoutEnabledProductsOnlyTheReleaseIsRecorded) {
    EXPECT_EQ(SetAcadVersion(L"R23.0"), 0);  // the user has no AutoCAD key yet: nothing created
    registry.Apply({Key(L"HKCU\\Software\\Autodesk\\AutoCAD")});
    EXPECT_EQ(SetAcadVersion(L"R23.0"), 1);
    EXPECT_EQ(UserValue(L"AutoCAD", L"CurVer"), L"R23.0");
}

TEST_F(SetAcadVersionTest, TheUsersCurrentProductStaysWhenTheAddOnIsEnabledInIt) {
    AddProduct(L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    AddProduct(L"ACAD-3005:409", L"AutoCAD Mechanical 2020", L"Mechanical 2020");
    machine.SetUserCurrent(false, L"R23.1", L"ACAD-3005:409");
    Enable({L"ACAD-3001:409", L"ACAD-3005:409"});
    EXPECT_EQ(SetAcadVersion(L"R23.0"), 1);
    // Making the product current records the selected release again.
    EXPECT_EQ(UserValue(L"AutoCAD", L"CurVer"), L"R23.1");
    EXPECT_EQ(UserValue(L"AutoCAD\\R23.1", L"CurVer"), L"ACAD-3005:409");
}

TEST_F(SetAcadVersionTest, OtherwiseTheFirstEnabledProductBecomesCurrent) {
    AddProduct(L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    AddProduct(L"ACAD-3005:409", L"AutoCAD Mechanical 2020", L"Mechanical 2020");
    AddProduct(L"ACAD-3004:409", L"AutoCAD Architecture 2020", L"Architecture 2020");
    machine.SetUserCurrent(false, L"R23.1", L"ACAD-3004:409");
    Enable({L"ACAD-3005:409", L"ACAD-3001:409"});
    EXPECT_EQ(SetAcadVersion(L"R23.1"), 1);
    EXPECT_EQ(UserValue(L"AutoCAD\\R23.1", L"CurVer"), L"ACAD-3001:409");
}

}  // namespace
