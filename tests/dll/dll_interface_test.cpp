// tarvox.dll as a caller links it (import library, dllimport, no runtime DLLs beside it): one
// call per group of exports shows that it crosses the boundary; what it does is tested elsewhere.
#include <tarvox/tarvox.h>

#include "tests/support/registry_sandbox.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvox::test;

TEST(DllInterface, FunctionsAnswerThroughTheImportLibrary) {
    std::wstring root, subKey;
    EXPECT_EQ(SplitRegPath(L"hkey_users\\.DEFAULT\\", root, subKey), HKEY_USERS);
    EXPECT_EQ(root, L"HKEY_USERS");
    long long index = -1;
    EXPECT_EQ(FindSortedString(L"b", {L"a", L"B", L"c"}, index), 1);
    EXPECT_EQ(index, 1);
    // The DLL is the module that answers: the binding looks for CuixPort beside it.
    HMODULE dll = GetModuleHandleW(L"tarvox.dll");
    ASSERT_NE(dll, nullptr);
    EXPECT_NE(GetProcAddress(dll, "_Z10PathExistsPKwPi"), nullptr);
    // A bitmap the DLL made, replaced by the DLL and released by this program.
    CGdiBitmap bitmap;
    EXPECT_EQ(CreateFilledBitmap(RGB(1, 2, 3), bitmap, 8, 6), 1);
    EXPECT_EQ(ScaleBitmap(bitmap, 2.0), 1);
    EXPECT_EQ(bitmap.GetSize().cy, 12);
}

// A key holder, a configuration made here and deleted by the DLL's own destructor, an AutoCAD
// query and an XML document.
TEST(DllInterface, ExportedClassesAndQueriesWorkAcrossTheBoundary) {
    RegistrySandbox sandbox;
    sandbox.Apply({Sz(L"HKCU\\Software\\Tarvox", L"Name", L"value"),
                   Dword(L"HKCU\\Software\\Tarvox\\Dll", L"n", 5)});
    CRegKeyHolder holder(HKEY_CURRENT_USER, L"Software\\Tarvox", 0, 0);
    std::wstring text;
    EXPECT_EQ(ReadRegValueString(text, holder, L"Name"), 1);
    EXPECT_EQ(text, L"value");
    CCfgReader* reader = new CCfgReader(L"HKEY_CURRENT_USER\\Software\\Tarvox\\Dll");
    int number = 0;
    EXPECT_EQ(reader->GetNumberValue(number, L"\\", L"n", 0, 0), 1);
    EXPECT_EQ(number, 5);
    EXPECT_EQ(reader->SetValue(L"\\", L"n", L"6"), 1);
    EXPECT_EQ(reader->Save(), 1);
    delete reader;  // the DLL's own deleting destructor
    // No AutoCAD here: the DLL empties this program's string and answers with its text.
    EXPECT_EQ(GetAcadKey(text), text.c_str());
    EXPECT_EQ(text, L"");

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

// A configuration set deletes the readers this program made; class records compare alike
// whether the DLL or this program asks, and a class made here extends the DLL's chain.
TEST(DllInterface, AConfigurationSetOwnsItsReaders) {
    int destroyed = 0;
    CFullCfg* set = new CFullCfg;
    set->m_Names = {L"user", L"empty", L"central"};
    set->m_Objects = {new CountedReader(destroyed), nullptr, new CountedReader(destroyed)};
    set->IsInit() = 1;
    set->Get_m_cfgFile() = L"Tarvo Ardent.cfg";  // the members behind the DLL's accessors
    EXPECT_EQ(std::to_wstring(set->IsInit()) + set->Get_m_cfgFile(), L"1Tarvo Ardent.cfg");
    const tarvox::CObject* reader = set->m_Objects[0];
    EXPECT_STREQ(set->GetRuntimeClass()->m_ClassName, L"CFullCfg");
    EXPECT_STREQ(reader->GetRuntimeClass()->m_ClassName, L"CountedReader");
    EXPECT_EQ(set->IsKindOf(tarvox::CObject::GetThisClass()), 1);
    EXPECT_EQ(set->IsKindOf(CCfgReader::GetThisClass()), 0);
    EXPECT_EQ(reader->IsKindOf(CCfgReader::GetThisClass()), 1);
    EXPECT_EQ(reader->IsKindOf(CFullCfg::GetThisClass()), 0);
    delete set;
    EXPECT_EQ(destroyed, 2);
}

}  // namespace
