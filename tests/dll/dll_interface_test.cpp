// tarvox.dll as a caller links it: through the import library, with dllimport declarations,
// and with no runtime DLLs beside it.
#include <tarvox/tarvox.h>

#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

using tarvox::test::Sz;

TEST(DllInterface, ExportedFunctionsAnswerThroughTheImportLibrary) {
    std::wstring root, subKey;
    EXPECT_EQ(SplitRegPath(L"hkey_users\\.DEFAULT\\", root, subKey), HKEY_USERS);
    EXPECT_EQ(root, L"HKEY_USERS");
    long long index = -1;
    EXPECT_EQ(FindSortedString(L"b", {L"a", L"B", L"c"}, index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(PathExists(L"C:\\Windows\\"), 0);
    // The DLL is the module that answers: the binding looks for CuixPort beside it.
    HMODULE dll = GetModuleHandleW(L"tarvox.dll");
    ASSERT_NE(dll, nullptr);
    EXPECT_NE(GetProcAddress(dll, "_Z10PathExistsPKwPi"), nullptr);
}

TEST(DllInterface, DialogBackgroundHelpersWorkAcrossTheBoundary) {
    EXPECT_GT(GetDpiScale(), 0.0);
    CGdiBitmap bitmap;
    EXPECT_EQ(CreateFilledBitmap(RGB(1, 2, 3), bitmap, 8, 6), 1);
    EXPECT_EQ(bitmap.GetSize().cx, 8);
    EXPECT_EQ(ScaleBitmap(bitmap, 2.0), 1);
    EXPECT_EQ(bitmap.GetSize().cy, 12);
    // This program has no pictures: the background stays empty.
    CScaledBackground background;
    EXPECT_TRUE(background.GetBitmap().IsEmpty());
    EXPECT_EQ(background.m_FitToPicture, 1);
}

// Exported classes work across the boundary: a key holder, a configuration read and changed
// through the exported members and deleted by the DLL's own destructor, the AutoCAD queries.
TEST(DllInterface, ExportedClassesAndQueriesWorkAcrossTheBoundary) {
    tarvox::test::RegistrySandbox sandbox;
    tarvox::test::TempFolder temp;
    const std::wstring exe = temp.WriteFile(L"AutoCAD LT\\aclt.exe", "MZ");
    const std::wstring key = L"Software\\Autodesk\\AutoCAD LT\\R23.1\\ACADLT-3001:409";
    const std::wstring k = L"HKLM\\" + key;
    sandbox.Apply({Sz(L"HKCU\\Software\\Tarvox", L"Name", L"value"),
                   tarvox::test::Dword(L"HKCU\\Software\\Tarvox\\Dll", L"n", 5),
                   Sz(k, L"Location", exe.substr(0, exe.rfind(L'\\'))),
                   Sz(k, L"ProductName", L"AutoCAD LT 2020 - English"), Sz(k, L"LocaleID", L"409"),
                   Sz(k, L"UPIRELEASE", L"2020"),
                   Sz(L"HKCU\\" + key + L"\\Profiles", L"", L"Tarvo")});
    CRegKeyHolder holder(HKEY_CURRENT_USER, L"Software\\Tarvox", 0, 0);
    ASSERT_NE(holder.Get(), nullptr);
    std::wstring text;
    EXPECT_EQ(ReadRegValueString(text, holder, L"Name"), 1);
    EXPECT_EQ(text, L"value");

    CCfgReader* reader = new CCfgReader(L"HKEY_CURRENT_USER\\Software\\Tarvox\\Dll");
    ASSERT_EQ(reader->IsInit(), 1);
    int number = 0;
    EXPECT_EQ(reader->GetNumberValue(number, L"\\", L"n", 0, 0), 1);
    EXPECT_EQ(number, 5);
    EXPECT_EQ(reader->SetValue(L"\\", L"n", L"6"), 1);
    EXPECT_EQ(reader->Get_m_HasChanged(), 1);
    EXPECT_EQ(reader->Save(), 1);
    reader->Get_m_HasChanged() = 0;
    delete reader;  // the DLL's own deleting destructor
    CCfgReader again(L"HKEY_CURRENT_USER\\Software\\Tarvox\\Dll");
    EXPECT_EQ(again.GetValue(text, L"\\", L"n", nullptr), 1);
    EXPECT_EQ(text, L"6");

    EXPECT_EQ(std::wstring(GetAcadKey(text)), key);
    EXPECT_EQ(IsAutoCADLT(), 1);
    long long v[42] = {};
    long long* selected = nullptr;
    wchar_t keyBuf[260];
    EXPECT_EQ(GetACReleases(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10],
                            v[11], v[12], v[13], v[14], v[15], v[16], v[17], v[18], v[19], v[20],
                            v[21], v[22], v[23], v[24], v[25], v[26], v[27], v[28], v[29], v[30],
                            v[31], v[32], v[33], v[34], v[35], v[36], v[37], v[38], v[39], v[40],
                            v[41], selected, keyBuf, nullptr, nullptr, nullptr),
              1);
    // The 42-variable form ends at 2014: LT 2020 is found but not among its variables.
    EXPECT_EQ(selected, nullptr);
    EXPECT_EQ(std::wstring(keyBuf), key);
}

TEST(DllInterface, XmlHelpersAnswerThroughTheImportLibrary) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        CXMLHelpers::DocPtr doc;
        CXMLHelpers::NodePtr root, child;
        ASSERT_EQ(CXMLHelpers::GetNewDocument(doc, L"Root"), 1);
        ASSERT_EQ(CXMLHelpers::GetNode(L"Root", doc, root), 1);
        ASSERT_EQ(CXMLHelpers::AddChildNode(L"Child", root, child, nullptr, L"a", L"1"), 1);
        CXMLHelpers::CNodeResultArray nodes(root.Get());
        EXPECT_EQ(CXMLHelpers::GetAllNodes(nodes, nullptr, L"child"), 1);
        EXPECT_EQ(nodes.GetSize(), 1);
    }
    CoUninitialize();
}

// A reader whose destruction the test can see, with a run-time class of its own below the DLL's.
class CountedReader : public CCfgReader {
public:
    explicit CountedReader(int& destroyed) : destroyed_(destroyed) {}
    ~CountedReader() override { ++destroyed_; }
    static const tarvox::CRuntimeClass* GetThisClass() {
        static const tarvox::CRuntimeClass record{L"CountedReader", CCfgReader::GetThisClass()};
        return &record;
    }
    const tarvox::CRuntimeClass* GetRuntimeClass() const override { return GetThisClass(); }

private:
    int& destroyed_;
};

TEST(DllInterface, AConfigurationSetOwnsItsReaders) {
    int destroyed = 0;
    CFullCfg* set = new CFullCfg;
    EXPECT_EQ(set->IsInit(), 0);
    EXPECT_TRUE(set->Get_m_cfgFile().empty());
    set->IsInit() = 1;
    set->Get_m_cfgFile() = L"Tarvo Ardent.cfg";
    EXPECT_EQ(set->IsInit(), 1);
    set->m_Names = {L"user", L"empty", L"central"};
    set->m_Objects = {new CountedReader(destroyed), nullptr, new CountedReader(destroyed)};
    // Class records compare alike whether the DLL or this program asks, and a class made here
    // extends the DLL's chain.
    const tarvox::CRuntimeClass* root = tarvox::CObject::GetThisClass();
    const struct {
        const tarvox::CObject* object;
        const wchar_t* name;
        std::vector<const tarvox::CRuntimeClass*> kindOf;
        const tarvox::CRuntimeClass* notOf;
    } rows[] = {{set, L"CFullCfg", {CFullCfg::GetThisClass(), root}, CCfgReader::GetThisClass()},
                {set->m_Objects[0],
                 L"CountedReader",
                 {CountedReader::GetThisClass(), CCfgReader::GetThisClass(), root},
                 CFullCfg::GetThisClass()}};
    for (const auto& row : rows) {
        EXPECT_STREQ(row.object->GetRuntimeClass()->m_ClassName, row.name);
        for (const tarvox::CRuntimeClass* kind : row.kindOf)
            EXPECT_EQ(row.object->IsKindOf(kind), 1);
        EXPECT_EQ(row.object->IsKindOf(row.notOf), 0);
    }
    tarvox::CArchive archive;
    set->Serialize(archive);  // leaves set and archive as they are
    EXPECT_TRUE(archive.m_Bytes.empty());
    EXPECT_EQ(set->Get_m_cfgFile(), L"Tarvo Ardent.cfg");
    delete set;
    EXPECT_EQ(destroyed, 2);
}

}  // namespace
