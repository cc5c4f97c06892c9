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

// A profile as "name(from) menu pure addOn [workspaces]", a product as its key name and its
// profiles.
std::wstring Describe(const CAutoCADProfile& p) {
    std::wstring text = p.m_Name;
    if (!p.m_CreatedFrom.empty()) text += L"(" + p.m_CreatedFrom + L")";
    text += L" " + p.m_MenuFile + L" " + std::to_wstring(p.m_IsPureAcadProfile) + L" " +
            std::to_wstring(p.m_AddOnState) + L" [";
    for (std::size_t i = 0; i < p.m_WorkSpaces.GetSize(); ++i) {
        if (i > 0) text += L",";
        text += p.m_WorkSpaces[i].m_Name;
    }
    return text + L"]";
}
std::wstring Describe(const CAutoCADInfo& info) {
    std::wstring text = info.m_ProductKeyName + L":";
    for (std::size_t i = 0; i < info.m_Profiles.GetSize(); ++i)
        text.append(L" {").append(Describe(info.m_Profiles[i])).append(L"}");
    return text;
}

TEST(EnabledInValue, ThreeQuotedFields) {
    const auto parse = [](const wchar_t* value) {
        EnabledInEntry e;
        if (!ParseEnabledInValue(value, e)) return std::wstring(L"refused");
        return e.productKeyName + L"|" + e.profile + L"|" + e.createdFrom + L"|" + e.workspace;
    };
    EXPECT_EQ(parse(L"\"ACAD-3001:409\";\"Tarvo|createdfrom:<<Unnamed Profile>>\";\"Tarvo Plan\""),
              L"ACAD-3001:409|Tarvo|<<Unnamed Profile>>|Tarvo Plan");
    // Without the leading quote, without a source profile, with a bar in the profile name.
    EXPECT_EQ(parse(L"ACAD-3005:409\";\"A|B\";\"\""), L"ACAD-3005:409|A|B||");
    for (const wchar_t* refused : {L"\"ACAD-3001:409\";\"Tarvo\"", L"\"\";\"Tarvo\";\"Plan\"", L""})
        EXPECT_EQ(parse(refused), L"refused") << refused;
}

TEST(ProductShortName, SubfolderOfUpiLocationBelowTheAutoCadFolder) {
    const struct {
        const wchar_t *upiLocation, *shortName;
    } rows[] = {{L"C:\\AutoCAD 2020\\Acade\\UserDataCache", L"ACADE"},
                {L"C:\\AutoCAD 2020\\Acade", L"ACAD"},
                {L"C:\\AutoCAD", L"ACAD"},
                // The prefix itself is not compared.
                {L"D:\\Other Folder\\mep\\x", L"MEP"}};
    for (const auto& row : rows)
        EXPECT_EQ(ProductShortNameOf(L"C:\\AutoCAD 2020", row.upiLocation), row.shortName);
}

class AcadInfosTest : public AcadMachineTest {
protected:
    std::wstring AddProduct(const wchar_t* keyName, const wchar_t* name, const wchar_t* folder) {
        return machine.Add(AcadProduct(L"R23.1", keyName, name, folder).AcadLocationOnly());
    }
    void AddProfile(const std::wstring& productKey, const std::wstring& profile,
                    const wchar_t* menu, const wchar_t* value = L"MenuFile") {
        registry.Apply(
            {Sz(L"HKCU\\" + productKey + L"\\Profiles\\" + profile + L"\\General Configuration",
                value, menu)});
    }
};

TEST_F(AcadInfosTest, ProductWithItsProfilesFromEitherHive) {
    const std::wstring key =
        AddProduct(L"ACAD-3005:409", L"AutoCAD Mechanical 2020", L"AutoCAD 2020");
    const std::wstring addOn = L"HKLM\\" + key + L"\\Applications\\Tarvo Ardent 2020";
    registry.Apply(
        {Sz(L"HKLM\\" + key, L"UPILocation", machine.FolderOf(L"AutoCAD 2020") + L"\\Acadm\\Setup"),
         Sz(addOn, L"Loader", L"C:\\Tarvo\\loader.arx"),
         Dword(L"HKCU\\" + key + L"\\Profiles\\Tarvo\\General Configuration", L"IsPureAcadProfile",
               0)});
    AddProfile(key, L"Tarvo", L"%APPDATA%\\Tarvo\\acadm");
    AddProfile(key, L"<<Unnamed Profile>>", L"C:\\Support\\acad");
    AddProfile(key, L"NoMenu", L"x", L"Other");

    CAutoCADInfo info((L"HKEY_LOCAL_MACHINE\\" + key).c_str(), 1);
    EXPECT_EQ(info.m_Name + L"|" + info.m_ProductKey + L"|" + info.m_AcadExe + L"|" +
                  info.m_ProductShortName + L"|" + std::to_wstring(info.m_AddOnState),
              L"AutoCAD Mechanical 2020|" + key + L"|" + machine.FolderOf(L"AutoCAD 2020") +
                  L"\\Acad.exe|ACADM|1");
    // Quick: the menu file is not opened, so the add-on state of a profile is unknown.
    EXPECT_EQ(Describe(info),
              L"ACAD-3005:409: {<<Unnamed Profile>> C:\\Support\\acad.cuix 1 -1 []}"
              L" {Tarvo " +
                  GetEnv(L"APPDATA").value_or(L"") + L"\\Tarvo\\acadm.cuix 0 -1 []}");

    // The user path reads the same; without the Loader the add-on is absent.
    registry.Apply({Sz(addOn, L"Loader", L"")});
    CAutoCADInfo fromUser(key.c_str(), 1);
    EXPECT_EQ(fromUser.m_ProductKey, key);
    EXPECT_EQ(fromUser.m_AddOnState, 0);
}

TEST_F(AcadInfosTest, ListingTakesProductsWithAnExecutableAndNoLtAndTheEnabledInEntries) {
    const std::wstring key = AddProduct(L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    AddProduct(L"ACAD-3005:409", L"AutoCAD Mechanical 2020", L"Mechanical 2020");
    AddProduct(L"ACAD-3009:409", L"AutoCAD LT 2020 on the AutoCAD key", L"LT 2020");
    const std::wstring noExe = AddProduct(L"ACAD-3004:409", L"AutoCAD Architecture 2020", L"");
    registry.Apply({Sz(L"HKLM\\" + noExe, L"AcadLocation", temp.MakeFolder(L"Empty"))});
    machine.Add(AcadProduct(L"R23.0", L"ACAD-2001:409", L"AutoCAD 2019", L"AutoCAD 2019")
                    .AcadLocationOnly());

    CAutoCADInfos infos, withAddOn, none;
    ASSERT_EQ(FillAcadInfos(infos, 0, 1), 1);
    ASSERT_EQ(infos.GetSize(), 2u);
    EXPECT_EQ(infos[0].m_ProductKeyName + L" " + infos[1].m_ProductKeyName,
              L"ACAD-3001:409 ACAD-3005:409");
    // The add-on's own workspace file is not beside the test program.
    EXPECT_EQ(FillAcadInfos(withAddOn, 1, 1), 0);
    EXPECT_EQ(withAddOn.GetSize(), 0u);

    registry.Apply({Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"acad-3005:409")});
    long long index = 0;
    EXPECT_EQ(FindCurrentAcadInfo(none, index), 0);
    EXPECT_EQ(FindCurrentAcadInfo(infos, index), 1);
    EXPECT_EQ(index, 1);

    AddProfile(key, L"Tarvo", L"C:\\Support\\tarvo");
    const std::wstring file = temp.WriteFile(
        L"Ardent.cfg",
        "[AutoCAD]\r\n"
        "EnableIn_1=\"ACAD-3001:409\";\"Tarvo|CreatedFrom:<<Unnamed Profile>>\";\"Tarvo Plan\"\r\n"
        "enablein_2=\"ACAD-3001:409\";\"tarvo\";\"Tarvo Detail\"\r\n"
        "EnableIn_3=\"ACAD-3001:409\";\"Tarvo\"\r\n"
        "Other=\"ACAD-3005:409\";\"X\";\"Y\"\r\n"
        "EnableIn_4=\"ACADLT-3001:409\";\"Light\";\"Drafting\"\r\n");
    CAutoCADInfos enabled, empty;
    ASSERT_EQ(ListEnabledAcads(enabled, file.c_str()), 1);
    ASSERT_EQ(enabled.GetSize(), 2u);
    EXPECT_EQ(enabled[0].m_Name + L"|" + enabled[0].m_ProductKey, L"AutoCAD 2020|" + key);
    EXPECT_EQ(Describe(enabled[0]),
              L"ACAD-3001:409: {Tarvo(<<Unnamed Profile>>) "
              L"C:\\Support\\tarvo.cuix 1 -1 [Tarvo Detail,Tarvo Plan]}");
    // An LT product may be named, though it is not installed under the AutoCAD key.
    EXPECT_EQ(Describe(enabled[1]).substr(0, 24), L"ACADLT-3001:409: {Light ");

    EXPECT_EQ(
        ListEnabledAcads(empty, temp.WriteFile(L"none.cfg", "[AutoCAD]\r\nOther=1\r\n").c_str()),
        0);
}

TEST_F(AcadInfosTest, FullProfilesNeedAWorkspaceAndAddingThemToAProduct) {
    const std::wstring key = AddProduct(L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    AddProfile(key, L"Tarvo", L"C:\\Nowhere\\acad");
    // The customization file can't be read: no workspaces, so the profile is not usable.
    EXPECT_EQ(CAutoCADInfo(key.c_str(), 0).m_Profiles.GetSize(), 0u);
    CAutoCADProfile profile((L"HKEY_CURRENT_USER\\" + key + L"\\Profiles\\Tarvo").c_str(), 0);
    EXPECT_EQ(Describe(profile), L" C:\\Nowhere\\acad.cuix 1 0 []");

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
    EXPECT_EQ(Describe(info), L"ACAD-3001:409: {Tarvo Ardent(Office)  1 -1 [Plan]}");
}

TEST_F(AcadInfosTest, SetAcadVersionMakesAProductWithTheAddOnCurrent) {
    const auto curVers = [] {
        std::wstring family, release;
        GetRegValue(family, L"HKEY_CURRENT_USER\\Software\\Autodesk\\AutoCAD", L"CurVer", 1);
        GetRegValue(release, L"HKEY_CURRENT_USER\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer",
                    1);
        return family + L"|" + release;
    };
    const auto enable = [&](const wchar_t* first, const wchar_t* second) {
        const std::wstring key = L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020\\AutoCAD";
        registry.Apply(
            {Sz(key, L"EnableIn_1", std::wstring(L"\"") + first + L"\";\"Tarvo\";\"Tarvo Plan\""),
             Sz(key, L"EnableIn_2",
                std::wstring(L"\"") + second + L"\";\"Tarvo\";\"Tarvo Plan\"")});
    };
    EXPECT_EQ(SetAcadVersion(L"R23.0"), 0);  // the user has no AutoCAD key yet: nothing created
    registry.Apply({Key(L"HKCU\\Software\\Autodesk\\AutoCAD")});
    // Without enabled products only the release is recorded.
    EXPECT_EQ(SetAcadVersion(L"R23.0"), 1);
    EXPECT_EQ(curVers(), L"R23.0|");

    AddProduct(L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    AddProduct(L"ACAD-3005:409", L"AutoCAD Mechanical 2020", L"Mechanical 2020");
    AddProduct(L"ACAD-3004:409", L"AutoCAD Architecture 2020", L"Architecture 2020");
    // The user's current product stays when the add-on is enabled in it; making it current
    // records its release again.
    machine.SetUserCurrent(false, L"R23.1", L"ACAD-3005:409");
    enable(L"ACAD-3001:409", L"ACAD-3005:409");
    EXPECT_EQ(SetAcadVersion(L"R23.0"), 1);
    EXPECT_EQ(curVers(), L"R23.1|ACAD-3005:409");
    // Otherwise the first enabled product becomes current.
    machine.SetUserCurrent(false, L"R23.1", L"ACAD-3004:409");
    enable(L"ACAD-3005:409", L"ACAD-3001:409");
    EXPECT_EQ(SetAcadVersion(L"R23.1"), 1);
    EXPECT_EQ(curVers(), L"R23.1|ACAD-3001:409");
}

}  // namespace
