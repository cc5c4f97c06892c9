#include "autocad/current_acad.h"

#include <tarvox/autocad.h>
#include <tarvox/registry.h>

#include <gtest/gtest.h>

#include <cwctype>

#include "autocad/release_catalogue.h"
#include "tests/support/acad_machine_test.h"

namespace tarvox::autocad {
namespace {

using test::AcadProduct;
using test::Sz;

class CurrentAcadTest : public test::AcadMachineTest {
protected:
    void SetUp() override { SelectAcadReleaseByYear(2020); }
    void TearDown() override { SelectAcadReleaseByYear(2020); }

    std::wstring Exe(const wchar_t* key = nullptr, std::wstring out = L"") {
        GetAcadExe(out, key);
        return out;
    }
    std::wstring UserChain() {
        const std::wstring autodesk = L"HKEY_CURRENT_USER\\Software\\Autodesk";
        std::wstring v[4];
        GetRegValue(v[0], autodesk.c_str(), L"CurProd", 0);
        GetRegValue(v[1], (autodesk + L"\\AutoCAD").c_str(), L"CurVer", 0);
        GetRegValue(v[2], (autodesk + L"\\AutoCAD\\R23.1").c_str(), L"CurVer", 0);
        GetRegValue(v[3], (autodesk + L"\\AutoCAD\\R23.1").c_str(), L"LastLaunchedProduct", 0);
        return v[0] + L"|" + v[1] + L"|" + v[2] + L"|" + v[3];
    }
};

TEST_F(CurrentAcadTest, ExecutableAndFolderOfTheUsersChainOrOfAGivenKey) {
    const std::wstring acad = Add(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    const std::wstring lt =
        AddLt(L"R23.1", L"ACADLT-3001:409", L"AutoCAD LT 2020", L"AutoCAD LT 2020");
    const std::wstring noLocation = machine.Add(
        AcadProduct(L"R23.1", L"ACAD-3004:409", L"AutoCAD Architecture 2020", L"Architecture 2020")
            .AcadLocationOnly());
    const std::wstring folder = machine.FolderOf(L"AutoCAD 2020");
    const std::wstring ltFolder = machine.FolderOf(L"AutoCAD LT 2020");
    // Nothing recorded for the user: the out string is left as it was, and a short key (the
    // user's current product) gives the parent of the folder passed in.
    EXPECT_EQ(Exe(nullptr, L"kept"), L"kept");
    std::wstring dir = L"C:\\Some\\Folder";
    EXPECT_EQ(std::wstring(GetAcadDir(dir, L"Software\\Autodesk")), L"C:\\Some");

    machine.SetUserCurrent(false, L"R23.1", L"ACAD-3001:409");
    EXPECT_EQ(Exe(), folder + L"\\acad.exe");
    EXPECT_EQ(std::wstring(GetAcadDir(dir)), folder);
    machine.SetUserCurrent(true, L"R23.1", L"ACADLT-3001:409");
    EXPECT_EQ(Exe(), ltFolder + L"\\aclt.exe");
    machine.SetUserCurrent(false, L"R23.1", L"ACAD-9999:409");
    EXPECT_EQ(Exe(nullptr, L"kept"), L"kept");

    EXPECT_EQ(Exe(lt.c_str()), ltFolder + L"\\aclt.exe");
    EXPECT_EQ(std::wstring(GetAcadDir(dir, lt.c_str())), ltFolder);
    // A key that is not installed empties the out string; a key without "Location" leaves it.
    EXPECT_EQ(Exe(L"Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-2999:409", L"old"), L"");
    EXPECT_EQ(Exe(noLocation.c_str(), L"old"), L"old");
    // An empty family component still names the family: the key opens nothing, and the
    // user's current product does not stand in.
    machine.SetUserCurrent(false, L"R23.1", L"ACAD-3001:409");
    EXPECT_EQ(Exe(L"Software\\Autodesk\\\\R23.1\\ACAD-3001:409", L"old"), L"");
    // The executable is reported in the stored case of the folder.
    std::wstring lower = folder;
    for (std::size_t i = folder.size() - 12; i < lower.size(); ++i) lower[i] = towlower(lower[i]);
    registry.Apply({Sz(L"HKLM\\" + acad, L"Location", lower)});
    EXPECT_EQ(Exe(acad.c_str()), folder + L"\\acad.exe");
    // A "Location" that is read but empty counts as read.
    registry.Apply({Sz(L"HKLM\\" + acad, L"Location", L""), Sz(L"HKLM\\" + lt, L"Location", L"")});
    EXPECT_EQ(Exe(acad.c_str(), L"old"), L"\\acad.exe");
    EXPECT_EQ(Exe(lt.c_str(), L"old"), L"\\aclt.exe");
    EXPECT_EQ(Exe(nullptr, L"old"), L"\\acad.exe");
}

TEST_F(CurrentAcadTest, KeyAndProfileOfTheSelectedRelease) {
    const std::wstring acad = Add(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020");
    const std::wstring mech =
        Add(L"R23.1", L"ACAD-3005:409", L"AutoCAD Mechanical 2020", L"Mechanical 2020");
    Add(L"R23.0", L"ACAD-2001:409", L"AutoCAD 2019", L"AutoCAD 2019");
    std::wstring key, profile;
    // Without CurVer the listing is in plain sort order, so the older release comes first
    // and the selected release has no current product.
    EXPECT_EQ(std::wstring(GetAcadKey(key)), L"");
    EXPECT_EQ(std::wstring(GetAcadProfileKey(profile)), L"");
    // A CurVer naming no installed product still brings the release forward, in sort order.
    registry.Apply({Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"ACAD-9999:409")});
    EXPECT_EQ(std::wstring(GetAcadKey(key)), mech);

    registry.Apply({Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"ACAD-3001:409")});
    EXPECT_EQ(std::wstring(GetAcadKey(key)), acad);
    // The machine-wide "default" serves until the user has a current profile.
    registry.Apply({Sz(L"HKLM\\" + acad + L"\\Profiles", L"default", L"<<Unnamed Profile>>")});
    EXPECT_EQ(std::wstring(GetAcadProfileKey(profile)), acad + L"\\Profiles\\<<Unnamed Profile>>");
    // So does a user's profile name too long for 260 characters: it counts as missing.
    machine.SetUserProfile(acad, std::wstring(260, L'p'));
    EXPECT_EQ(std::wstring(GetAcadProfileKey(profile)), acad + L"\\Profiles\\<<Unnamed Profile>>");
    machine.SetUserProfile(acad, L"Tarvo");
    EXPECT_EQ(std::wstring(GetAcadProfileKey(profile)), acad + L"\\Profiles\\Tarvo");
    EXPECT_EQ(IsAutoCADLT(), 0);

    // Another selected release without products of its own finds nothing.
    SelectAcadReleaseByYear(2021);  // R24.0
    EXPECT_EQ(std::wstring(GetAcadKey(key)), L"");
    EXPECT_EQ(std::wstring(GetAcadProfileKey(profile)), L"");
    std::wstring productKey, profileKey, profileName;
    EXPECT_EQ(GetCurrentAcadKeys(productKey, profileKey, profileName), 1);
    EXPECT_EQ(productKey + profileKey + profileName, L"");
}

TEST_F(CurrentAcadTest, LtProductIsCurrentOnlyWithoutAnyAutoCad) {
    std::wstring productKey = L"x", profileKey = L"y", profileName = L"z";
    EXPECT_EQ(GetCurrentAcadKeys(productKey, profileKey, profileName), 0);  // no products at all
    EXPECT_EQ(productKey + profileKey + profileName, L"");
    EXPECT_EQ(IsAutoCADLT(), 0);
    const std::wstring lt =
        AddLt(L"R23.1", L"ACADLT-3001:409", L"AutoCAD LT 2020", L"AutoCAD LT 2020");
    machine.SetUserProfile(lt, L"<<Unnamed Profile>>");
    std::wstring key;
    EXPECT_EQ(std::wstring(GetAcadKey(key)), lt);
    EXPECT_EQ(IsAutoCADLT(), 1);

    Add(L"R22.0", L"ACAD-1001:409", L"AutoCAD 2018", L"AutoCAD 2018");
    EXPECT_EQ(std::wstring(GetAcadKey(key)), L"");
    EXPECT_EQ(IsAutoCADLT(), 0);
}

TEST_F(CurrentAcadTest, MakingAProductCurrentRecordsItsShortName) {
    const std::wstring folder = L"C:\\Program Files\\Autodesk\\AutoCAD 2020";
    const std::wstring products = L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\";
    registry.Apply({Sz(products + L"ACAD-3005:409", L"AcadLocation", folder),
                    Sz(products + L"ACAD-3005:409", L"UPILocation", folder + L"\\Acade\\UPI"),
                    Sz(products + L"ACAD-3002:409", L"AcadLocation", folder),
                    Sz(products + L"ACAD-3002:409", L"UPILocation", L"D:\\Elsewhere\\UPI"),
                    Sz(products + L"ACAD-3003:409", L"AcadLocation", folder),
                    Sz(products + L"ACAD-3004:409", L"AcadLocation", folder),
                    Sz(products + L"ACAD-3004:409", L"UPILocation", folder + L"\\A\\B\\UPI")});

    // Without the user's release key nothing of the release is changed.
    EXPECT_EQ(MakeAcadProductCurrent(L"ACAD-3005:409"), 0);
    EXPECT_EQ(UserChain(), L"|||");

    registry.Apply({test::Key(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1")});
    EXPECT_EQ(MakeAcadProductCurrent(L"ACAD-3005:409"), 1);
    EXPECT_EQ(UserChain(), L"AutoCAD|R23.1|ACAD-3005:409|ACADE");
    EXPECT_EQ(MakeAcadProductCurrent(L"ACAD-3002:409"), 1);
    EXPECT_EQ(UserChain(), L"AutoCAD|R23.1|ACAD-3002:409|ACAD");
    // No UPILocation, or one nested too deep, leaves the last short name alone.
    EXPECT_EQ(MakeAcadProductCurrent(L"ACAD-3003:409"), 1);
    EXPECT_EQ(MakeAcadProductCurrent(L"ACAD-3004:409"), 1);
    EXPECT_EQ(UserChain(), L"AutoCAD|R23.1|ACAD-3004:409|ACAD");
}

}  // namespace
}  // namespace tarvox::autocad
