#include "autocad/installed_products.h"

#include <windows.h>

#include "tests/support/sandbox_fixture.h"

namespace tarvox::autocad {
namespace {

using test::Sz;

class InstalledProductsTest : public test::SandboxTest {
protected:
    // The short 8.3 form the file system gives for a folder. Under Wine the first call right
    // after CreateDirectoryW now and then returns 0, so a failed call is made once more.
    static std::wstring ShortForm(const std::wstring& folder) {
        wchar_t buffer[MAX_PATH] = L"";
        DWORD length = GetShortPathNameW(folder.c_str(), buffer, MAX_PATH);
        if (length == 0) length = GetShortPathNameW(folder.c_str(), buffer, MAX_PATH);
        EXPECT_GT(length, 0u) << GetLastError();
        EXPECT_LT(length, folder.size());
        return buffer;
    }
    void AddProduct(const std::wstring& release, const std::wstring& product,
                    const std::wstring& name, const std::wstring& locationValue,
                    const std::wstring& location) {
        const std::wstring path =
            L"HKLM\\Software\\Autodesk\\AutoCAD\\" + release + L"\\" + product;
        registry.Apply({Sz(path, L"ProductName", name), Sz(path, L"LocaleID", L"409"),
                        Sz(path, locationValue, location)});
    }
};

TEST_F(InstalledProductsTest, TrueCasePathUsesStoredNames) {
    const std::wstring folder = temp.MakeFolder(L"AutoCAD Stored");
    std::wstring lower = folder.substr(0, folder.size() - 14) + L"autocad stored";
    wchar_t buffer[MAX_PATH] = {};
    const std::size_t length = GetTrueCasePath(lower.c_str(), buffer, MAX_PATH);
    ASSERT_EQ(length, folder.size());
    EXPECT_EQ(std::wstring(buffer).substr(length - 14), L"AutoCAD Stored");
    EXPECT_EQ(GetTrueCasePath(lower.c_str(), nullptr, 0), length + 1);
    EXPECT_EQ(GetTrueCasePath(lower.c_str(), buffer, length), 0u);
    // Components that don't exist are kept as given.
    const std::wstring missing = folder + L"\\NotThere";
    EXPECT_EQ(GetTrueCasePath(missing.c_str(), buffer, MAX_PATH), missing.size());
    EXPECT_EQ(std::wstring(buffer).substr(missing.size() - 8), L"NotThere");
}

TEST_F(InstalledProductsTest, LocationsYearCheckAndCurrentIndex) {
    std::vector<std::wstring> names{L"x"}, keys, locations;
    long long current = 3;
    EXPECT_EQ(ListInstalledAcads(names, keys, locations, current), 0);  // nothing installed
    EXPECT_EQ(current, -1);
    EXPECT_TRUE(names.empty());

    const std::wstring f2020 = temp.MakeFolder(L"AutoCAD 2020");
    const std::wstring f2021 = temp.MakeFolder(L"AutoCAD 2021");
    // Registered in their short forms: the year check sees the long names.
    AddProduct(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020", L"Location", ShortForm(f2020) + L"\\");
    AddProduct(L"R23.1", L"ACAD-3005:409", L"AutoCAD Mechanical 2020", L"AcadLocation",
               ShortForm(f2021));
    AddProduct(L"R22.0", L"ACAD-2001:409", L"AutoCAD 2018", L"Other", L"x");
    ASSERT_EQ(ListInstalledAcads(names, keys, locations, current), 1);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"AutoCAD 2018", L"AutoCAD 2020"}));
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[1], L"Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409");
    EXPECT_EQ(locations, (std::vector<std::wstring>{L"", f2020}));
    // A location was found, so the first product is the current one.
    EXPECT_EQ(current, 0);
}

}  // namespace
}  // namespace tarvox::autocad
