#include "autocad/product_keys.h"

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
};

TEST_F(ProductKeysTest, SortKeyOrderAndTheCurVerProductFirst) {
    std::vector<std::wstring> keys{L"stale"};
    EXPECT_EQ(ListAcadProductKeys(keys, L"R23.1"), 0);  // an empty machine
    EXPECT_TRUE(keys.empty());
    AddProduct(L"AutoCAD", L"R22.0", L"ACAD-2001:409", L"AutoCAD 2018");
    AddProduct(L"AutoCAD", L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020");
    // The same name again in one release is listed once.
    AddProduct(L"AutoCAD", L"R23.1", L"ACAD-3001:40C", L"autocad 2020");
    AddProduct(L"AutoCAD", L"R23.1", L"ACAD-3004:409", L"AutoCAD Architecture 2020");
    AddProduct(L"AutoCAD", L"R23.1", L"ACAD-3005:409", L"AutoCAD Mechanical 2020");
    AddProduct(L"AutoCAD LT", L"R23.1", L"ACADLT-3001:409", L"AutoCAD LT 2020");
    registry.Apply({Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\ACAD-3009:409", L"ProductName",
                       L"No locale"),
                    Key(L"HKLM\\Software\\Autodesk\\AutoCAD\\R24.0\\Empty")});
    const std::wstring acad = L"Software\\Autodesk\\AutoCAD\\";
    const std::wstring r2018 = acad + L"R22.0\\ACAD-2001:409",
                       a2020 = acad + L"R23.1\\ACAD-3001:409",
                       arch = acad + L"R23.1\\ACAD-3004:409", mech = acad + L"R23.1\\ACAD-3005:409",
                       lt = L"Software\\Autodesk\\AutoCAD LT\\R23.1\\ACADLT-3001:409";
    const struct {
        const wchar_t* curVer;  // of the user's R23.1 key; null: none
        const wchar_t* release;
        std::vector<std::wstring> keys;
    } rows[] = {{nullptr, L"R23.1", {r2018, arch, mech, a2020, lt}},
                {L"acad-3001:409", nullptr, {a2020, arch, mech, r2018, lt}},
                // LT never takes first place through CurVer.
                {L"ACADLT-3001:409", L"R23.1", {arch, mech, a2020, r2018, lt}}};
    for (const auto& row : rows) {
        if (row.curVer)
            registry.Apply(
                {Sz(L"HKCU\\Software\\Autodesk\\AutoCAD\\R23.1", L"CurVer", row.curVer)});
        keys = {L"stale"};
        ASSERT_EQ(ListAcadProductKeys(keys, row.release), 1);
        EXPECT_EQ(keys, row.keys) << (row.curVer ? row.curVer : L"no CurVer");
    }
}

TEST_F(ProductKeysTest, UpiRelease) {
    registry.Apply({Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\A", L"UPIRELEASE", L"2020"),
                    Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1\\B", L"UPIRELEASE", L"")});
    EXPECT_EQ(GetAcadUpiRelease(L"Software\\Autodesk\\AutoCAD\\R23.1\\A"), 2020);
    EXPECT_EQ(GetAcadUpiRelease(L"Software\\Autodesk\\AutoCAD\\R23.1\\B"), -1);
    EXPECT_EQ(GetAcadUpiRelease(L"Software\\Autodesk\\AutoCAD\\R23.1\\Missing"), -1);
    EXPECT_EQ(GetAcadUpiRelease(nullptr), -1);
}

}  // namespace
}  // namespace tarvox::autocad
