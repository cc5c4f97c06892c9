// Installation and per-user folders of the products.
#include <tarvox/folders.h>

#include "paths/product_folders.h"
#include "paths/special_folders.h"
#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;

constexpr wchar_t kArdent2020[] = L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020";

class ProductFolders : public SandboxTest {};

TEST_F(ProductFolders, CentralFolderOfEachYearAndTheDefaultValueStandingIn) {
    wchar_t buffer[260];
    const std::wstring products = L"HKLM\\Software\\Tarvox\\Tarvo ";
    registry.Apply({Sz(kArdent2020, L"InstallDir", L"C:\\Tarvox\\Ardent 2020\\"),
                    Sz(products + L"Zenit 2016", L"InstallDir", L"C:\\Tarvox\\Zenit 2016"),
                    Sz(products + L"Ardent 2017", L"InstallDir", L"C:\\Tarvox\\Ardent 2017"),
                    Sz(products + L"Ardent 2016", L"InstallDir", L"C:\\wrong"),
                    // The default value stands in for a missing or overlong InstallDir.
                    Sz(products + L"Veska 2020", L"", L"C:\\Tarvox\\Veska"),
                    Sz(products + L"Veska 2021", L"InstallDir", std::wstring(300, L'x')),
                    Sz(products + L"Veska 2022", L"InstallDir", std::wstring(259, L'y')),
                    Dword(products + L"Veska 2023", L"InstallDir", 1)});
    EXPECT_EQ(GetCentralAppDir(buffer), buffer);
    EXPECT_STREQ(buffer, L"C:\\Tarvox\\Ardent 2020\\");  // as stored, trailing backslash kept
    EXPECT_STREQ(GetCentralAppDir(buffer, 2030), L"");
    EXPECT_STREQ(GetCentralRAppDir(buffer, 2020), L"C:\\Tarvox\\Veska");
    EXPECT_STREQ(GetCentralRAppDir(buffer, 2021), L"");
    EXPECT_EQ(std::wstring(GetCentralRAppDir(buffer, 2022)), std::wstring(259, L'y'));
    EXPECT_STREQ(GetCentralRAppDir(buffer, 2023), L"");
    // A null buffer uses the function's own buffer again and again.
    wchar_t* first = GetCentralAppDir(nullptr, 2016);
    EXPECT_STREQ(first, L"C:\\Tarvox\\Zenit 2016");
    EXPECT_EQ(GetCentralAppDir(nullptr, 2017), first);
    EXPECT_STREQ(first, L"C:\\Tarvox\\Ardent 2017");
    EXPECT_NE(GetCentralRAppDir(nullptr, 2020), first);
}

TEST_F(ProductFolders, PerUserFolderDefaultsBelowAppDataWithOneBackslash) {
    wchar_t buffer[260];
    const std::wstring roaming = L"C:\\Users\\u\\AppData\\Roaming",
                       tarvox = roaming + L"\\Tarvox\\";
    environment.Set(L"AppData", roaming);
    EXPECT_EQ(std::wstring(GetLocalAppDir(buffer, 2019)), tarvox + L"Tarvo Ardent 2019");
    environment.Set(L"AppData", roaming + L"\\");
    EXPECT_EQ(std::wstring(GetLocalAppDir(buffer, 2019)), tarvox + L"Tarvo Ardent 2019");
    EXPECT_EQ(std::wstring(GetLocalRAppDir(buffer)), tarvox + L"Tarvo Veska 2020");
    EXPECT_EQ(std::wstring(GetLocalAppDir(buffer)), tarvox + L"Tarvo Ardent 2020");

    // Values of the product keys are expanded.
    environment.Set(L"AppData", roaming);
    registry.Apply(
        {ExpandSz(kArdent2020, L"AppData", L"%APPDATA%\\Tarvox\\Ardent Custom"),
         Sz(L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2021", L"AppData_AR", L"D:\\Ardent AR"),
         Sz(L"HKLM\\Software\\Tarvox\\Tarvo Veska 2021", L"AppData_AR", L"D:\\never read")});
    EXPECT_EQ(std::wstring(GetLocalAppDir(buffer)), tarvox + L"Ardent Custom");
    EXPECT_STREQ(GetLocalAppDir(buffer, 2021), L"D:\\Ardent AR");
    EXPECT_EQ(std::wstring(GetLocalRAppDir(buffer, 2021)), tarvox + L"Tarvo Veska 2021");
}

TEST(ProductYear, IsTheNumberAfterTheLastBlank) {
    EXPECT_EQ(tarvox::YearOfProductName(L"Tarvo Veska 2015"), 2015);
    EXPECT_EQ(tarvox::YearOfProductName(L"Tarvo"), 0);
    EXPECT_EQ(tarvox::YearOfProductName(nullptr), 0);
}

// The edition is settled once per process from the folder of the module: a copy of the child
// program in a folder with marker files stands for an installation.
class Editions : public SandboxTest {
protected:
    ChildResult RunIn(const std::wstring& folder, const wchar_t* programName = L"tarvox_child.exe",
                      const char* scenario = "EditionAndFolders") {
        return RunSandboxed(scenario, {.programFolder = folder, .programName = programName});
    }
    std::wstring Installation(const wchar_t* folder, const wchar_t* marker) {
        temp.WriteFile(std::wstring(folder) + L"\\" + marker, "");
        return temp / folder;
    }
    static std::string Values(const ChildResult& child, std::initializer_list<const char*> keys) {
        std::string text;
        for (const char* key : keys) {
            if (!text.empty()) text += '|';
            text += child.Value(key);
        }
        return text;
    }
};

TEST_F(Editions, MarkersSelectTheEditionAndItsValueNames) {
    const std::wstring veska = L"HKLM\\Software\\Tarvox\\Tarvo Veska 2020";
    registry.Apply({Sz(kArdent2020, L"InstallDir", L"C:\\Ardent"),
                    Sz(kArdent2020, L"InstallDir_LU", L"C:\\Luminor"),
                    Sz(veska, L"InstallDir", L"C:\\Veska"),
                    Sz(veska, L"InstallDir_LU", L"C:\\Veska LU"),
                    Sz(kArdent2020, L"AppData_LU", L"U:\\Luminor user"),
                    Sz(kArdent2020, L"AppData_AR", L"U:\\Ardent user")});
    const std::wstring luminor = Installation(L"luminor", L"Tarvo Luminor 2020.txt");
    EXPECT_EQ(
        Values(RunIn(temp.MakeFolder(L"plain")), {"known", "code", "name", "luminor", "flags"}),
        "0|0||0|1");
    // The Luminor marker selects the Luminor value names for both products.
    EXPECT_EQ(
        Values(RunIn(luminor), {"code", "name", "luminor", "central", "central_veska", "user"}),
        "3|Tarvo Luminor|1|C:\\Luminor|C:\\Veska LU|U:\\Luminor user");
    // The Ardent marker keeps the plain value names.
    EXPECT_EQ(Values(RunIn(Installation(L"ardent", L"Tarvo Ardent 2020.txt")),
                     {"code", "ardent", "central", "user"}),
              "4|1|C:\\Ardent|U:\\Ardent user");
    // The name-mapping wrappers use the settled edition.
    EXPECT_EQ(Values(RunIn(luminor, L"tarvox_child.exe", "EditionNameWrappers"),
                     {"in_place", "empty", "null", "first_after_499", "slot_reused"}),
              "InstallDir_LU||1|1|1");
}

TEST_F(Editions, InstallationMediaFollowTheSetupSourcePath) {
    const std::wstring program = temp.MakeFolder(L"Media\\Setup\\Prg_X64");
    temp.MakeFolder(L"Source\\Tarvo Luminor");
    temp.MakeFolder(L"Media\\Tarvo Ardent");
    temp.WriteFile(L"Media\\Setup.cfg",
                   "[Settings]\r\nSourcePath=" + Utf8(temp / L"Source") + "\r\n");
    EXPECT_EQ(RunIn(program).Value("code"), "3");
}

TEST_F(Editions, ASetupProgramLearnsTheLuminorFlagFromFileInfo) {
    registry.Apply({Dword(kArdent2020, L"IsLuminor", 1)});
    const std::wstring folder = temp.MakeFolder(L"setup");
    temp.WriteFile(L"setup\\FileInfo.txt", "[Setup Information]\r\nProduct=6\r\n");
    // The edition itself stays undetermined.
    EXPECT_EQ(Values(RunIn(folder, L"Setup.exe"), {"flags", "luminor", "code"}), "6|1|0");

    registry.Apply({Dword(kArdent2020, L"IsLuminor", 0)});
    EXPECT_EQ(RunIn(folder, L"SETUP.exe").Value("luminor"), "0");
    // Any other program decides by the edition alone.
    EXPECT_EQ(RunIn(folder).Value("flags"), "1");
}

}  // namespace
