#include "autocad/product_keys.h"

#include <gtest/gtest.h>

#include "tests/support/sandbox_fixture.h"

namespace tarvox::autocad {
namespace {

using test::Key;
using test::Sz;

class ProductKeysTest : public test::SandboxTest {
protected:
    void AddProduct(const std::wstring& root, const std::wstring& release,
                    const std::wstring& product, const std::wstring& name) {
        const std::wstring path =
            L"HKLM\\Software\\Autodesk\\" + root + L"\\" + release + L"\\" + product;
        registry.Apply({Sz(path, L"ProductName", name), Sz(path, L"LocaleID", L"409")});
    }
    void MakeMachine() {
        AddProduct(L"AutoCAD", L"R22.0", L"ACAD-2001:409", L"AutoCAD 2018");
        AddProduct(L"AutoCAD", L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020");
        AddProduct(L"AutoCAD", L"R23.1", L"ACAD-3004:409", L"AutoCAD Architecture 2020");
        AddProduct(L"AutoCAD", L"R23.1", L"ACAD-3005:409", L"AutoCAD Mechanical 2020");
        AddProduct(L"AutoCAD LT", L"R23.1", L"ACADLT-3001:409", L"AutoCAD LT 2020");
        registry.Apply({Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3009:409",
                           L"ProductName", L"No locale"),
                        Key(L"HKLM\\Software\\Autodesk\\AutoCAD\\R24.0\\Empty")});
    }
};

TEST_F(ProductKeysTest, SortKeyOrderWithoutCurVer) {
    MakeMachine();
    std::vector<std::wstring> keys{L"stale"};
    ASSERT_EQ(ListAcadProductKeys(keys, L"R23.1"), 1);
    const std::vector<std::wstring> expected{
        L"Software\\Autodesk\\AutoCAD\\R22.0\\ACAD-2001:409",
        L"Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3004:409",
        L"Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3005:409",
        L"Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409",
        L"Software\\Autodesk\\AutoCAD LT\\R23.1\\ACADLT-3001:409"};
    EXPECT_EQ(keys, expected);
}

TEST_F(ProductKeysTest, CurVerProductOfTheReleaseComesFirst) {
    MakeMachine();
    registry.Apply({Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"acad-3001:409")});
    std::vector<std::wstring> keys;
    ASSERT_EQ(ListAcadProductKeys(keys, nullptr), 1);
    const std::vector<std::wstring> expected{
        L"Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3001:409",
        L"Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3004:409",
        L"Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3005:409",
        L"Software\\Autodesk\\AutoCAD\\R22.0\\ACAD-2001:409",
        L"Software\\Autodesk\\AutoCAD LT\\R23.1\\ACADLT-3001:409"};
    EXPECT_EQ(keys, expected);
}

TEST_F(ProductKeysTest, LtNeverTakesFirstPlaceThroughCurVer) {
    MakeMachine();
    registry.Apply(
        {Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", L"ACADLT-3001:409")});
    std::vector<std::wstring> keys;
    ASSERT_EQ(ListAcadProductKeys(keys, L"R23.1"), 1);
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[0], L"Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3004:409");
    EXPECT_EQ(keys[3], L"Software\\Autodesk\\AutoCAD\\R22.0\\ACAD-2001:409");
    EXPECT_EQ(keys[4], L"Software\\Autodesk\\AutoCAD LT\\R23.1\\ACADLT-3001:409");
}

TEST_F(ProductKeysTest, SameNameInOneReleaseListedOnce) {
    AddProduct(L"AutoCAD", L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020");
    AddProduct(L"AutoCAD", L"R23.1", L"ACAD-3001:407", L"autocad 2020");
    std::vector<std::wstring> keys;
    ASSERT_EQ(ListAcadProductKeys(keys, L"R23.1"), 1);
    ASSERT_EQ(keys.size(), 1u);
}

TEST_F(ProductKeysTest, EmptyMachineAndUpiRelease) {
    std::vector<std::wstring> keys;
    EXPECT_EQ(ListAcadProductKeys(keys, L"R23.1"), 0);
    EXPECT_TRUE(keys.empty());
    registry.Apply({Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\A", L"UPIRELEASE", L"2020"),
                    Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\B", L"UPIRELEASE", L"")});
    EXPECT_EQ(GetAcadUpiRelease(L"Software\\Autodesk\\AutoCAD\\R23.1\\A"), 2020);
    EXPECT_EQ(GetAcadUpiRelease(L"Software\\Autodesk\\AutoCAD\\R23.1\\B"), -1);
    EXPECT_EQ(GetAcadUpiRelease(L"Software\\Autodesk\\AutoCAD\\R23.1\\Missing"), -1);
    EXPECT_EQ(GetAcadUpiRelease(nullptr), -1);
}

}  // namespace
}  // namespace tarvox::autocad
