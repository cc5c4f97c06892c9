// Reading the workspaces, partial menus and product tabs of CUIX parts, and the PartialMenu
// setting.
#include "cuix/cuix_parts.h"

#include <tarvox/registry.h>

#include "tests/support/sandbox_fixture.h"

#include <gtest/gtest.h>

#include <objbase.h>

namespace {

using namespace tarvox::cuix;
using tarvox::test::SandboxTest;
using DocPtr = CXMLHelpers::DocPtr;
using NodePtr = CXMLHelpers::NodePtr;

// The tests keep documents and nodes, so COM stays initialised for each of them.
class CuixPartsTest : public ::testing::Test {
protected:
    CuixPartsTest() { CoInitialize(nullptr); }
    ~CuixPartsTest() override { CoUninitialize(); }

    DocPtr Document(const wchar_t* xml) {
        DocPtr doc;
        EXPECT_EQ(CXMLHelpers::GetDocumentFromBuffer(xml, doc), 1);
        return doc;
    }
};

std::wstring Workspace(const wchar_t* name, const std::wstring& tabs = L"", const wchar_t* extra = L"") {
    return std::wstring(L"<Workspace UID=\"x\"><Name>") + name + L"</Name>" + extra +
           L"<WSRibbonRoot>" + tabs + L"</WSRibbonRoot></Workspace>";
}

std::wstring Tab(const wchar_t* group, const wchar_t* id) {
    return std::wstring(L"<WSRibbonTabSourceReference MenuGroup=\"") + group + L"\" TabId=\"" + id + L"\"/>";
}

std::wstring Root(const std::wstring& workspaces) {
    return L"<?xml version=\"1.0\"?><WorkspaceRoot>" + workspaces + L"</WorkspaceRoot>";
}

TEST_F(CuixPartsTest, WorkspaceNamesAreSortedAndCaseInsensitivelyUnique) {
    DocPtr doc = Document(Root(Workspace(L"b") + Workspace(L"A", L"", L"<Order>1</Order>") +
                               L"<Other><Name>z</Name></Other>" + Workspace(L"a", L"", L"<Order>2</Order>") +
                               L"<Workspace><Name></Name></Workspace>").c_str());
    std::vector<std::wstring> names{L"stale"};
    std::vector<NodePtr> elements;
    ASSERT_EQ(ParseWorkspaceRoot(doc, names, elements), 1);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"A", L"b"}));
    ASSERT_EQ(elements.size(), 2u);
    // Of "A" and "a" the later element is kept.
    std::wstring order;
    EXPECT_EQ(CXMLHelpers::GetNodeText(L"Order", elements[0], order), 1);
    EXPECT_EQ(order, L"2");
}

TEST_F(CuixPartsTest, WorkspaceRootMustBeThereOnce) {
    std::vector<std::wstring> names{L"stale"};
    std::vector<NodePtr> elements;
    DocPtr none = Document(L"<Other><Workspace><Name>a</Name></Workspace></Other>");
    EXPECT_EQ(ParseWorkspaceRoot(none, names, elements), 0);
    EXPECT_TRUE(names.empty());
    DocPtr twice = Document(L"<x><WorkspaceRoot/><WorkspaceRoot/></x>");
    EXPECT_EQ(ParseWorkspaceRoot(twice, names, elements), 0);
    DocPtr empty = Document(L"<WorkspaceRoot/>");
    EXPECT_EQ(ParseWorkspaceRoot(empty, names, elements), 0);
}

TEST_F(CuixPartsTest, PartialMenuFilesOfTheHeader) {
    DocPtr doc = Document(
        L"<CustSection><Header><commonconfiguration><CommonItems>"
        L"<PartialMenuFile>x.cuix</PartialMenuFile><PartialMenuFile>X.CUIX</PartialMenuFile>"
        L"<Other>o.cuix</Other><partialmenufile>y.cuix</partialmenufile>"
        L"</CommonItems></commonconfiguration></Header></CustSection>");
    std::vector<std::wstring> files;
    ASSERT_EQ(ParsePartialMenuFiles(doc, files), 1);
    EXPECT_EQ(files, (std::vector<std::wstring>{L"x.cuix", L"y.cuix"}));

    DocPtr missingStep = Document(L"<CustSection><Header><CommonItems><PartialMenuFile>x.cuix"
                                  L"</PartialMenuFile></CommonItems></Header></CustSection>");
    EXPECT_EQ(ParsePartialMenuFiles(missingStep, files), 0);
    EXPECT_TRUE(files.empty());
}

TEST_F(CuixPartsTest, ProductTabsOfANamedWorkspace) {
    DocPtr doc = Document(Root(Workspace(L"Drafting", Tab(L"ACAD", L"T0") + Tab(L"_tarvoardent", L"T1")) +
                               Workspace(L"Tarvo Plan", Tab(L"_TarvoArdent", L"P1") + Tab(L"_TarvoArdent", L"P2")))
                              .c_str());
    std::vector<std::wstring> tabs;
    ASSERT_EQ(ParseWorkspaceProductTabIds(doc, tabs, L"drafting"), 1);
    EXPECT_EQ(tabs, (std::vector<std::wstring>{L"T1"}));
    EXPECT_EQ(ParseWorkspaceProductTabIds(doc, tabs, L"Nowhere"), 0);
    EXPECT_TRUE(tabs.empty());
}

TEST_F(CuixPartsTest, WithoutANameTheFirstPrefixedWorkspaceWithProductTabsCounts) {
    DocPtr doc = Document(Root(Workspace(L"TarvoX", Tab(L"_TarvoArdent", L"no-blank")) +
                               Workspace(L"Tarvo Empty", Tab(L"ACAD", L"other")) +
                               Workspace(L"tarvo Plan", Tab(L"_TarvoArdent", L"P1") + Tab(L"_TarvoArdent", L"P1")) +
                               Workspace(L"Tarvo Later", Tab(L"_TarvoArdent", L"L1")))
                              .c_str());
    std::vector<std::wstring> tabs;
    ASSERT_EQ(ParseWorkspaceProductTabIds(doc, tabs, nullptr), 1);
    // Duplicates are kept, in the order found; the later workspace is not visited.
    EXPECT_EQ(tabs, (std::vector<std::wstring>{L"P1", L"P1"}));
}

TEST(CuixNames, ProductMenuFileNames) {
    EXPECT_TRUE(IsProductMenuFileName(L"C:\\Support\\_tarvoardent.cuix"));
    EXPECT_TRUE(IsProductMenuFileName(L"C:\\Support\\_TARVOARDX.cuix"));
    EXPECT_FALSE(IsProductMenuFileName(L"C:\\_Tarvo\\acad.cuix"));
    EXPECT_FALSE(IsProductMenuFileName(L"_TarvoArdent.cuix"));  // no folder: no file name
    // The name alone decides: the file is not read.
    EXPECT_EQ(HasProductPartialMenu(L"C:\\Nowhere\\_TarvoArdent_.cuix", nullptr), 1);
    EXPECT_EQ(HasProductPartialMenu(L"", nullptr), -1);
    EXPECT_EQ(HasProductPartialMenu(L"acad.cuix", nullptr), -1);
    // A menu that can't be read loads nothing.
    EXPECT_EQ(HasProductPartialMenu(L"C:\\Nowhere\\acad.cuix", nullptr), 0);
}

class PartialMenuSetting : public SandboxTest {
protected:
    std::wstring Stored() {
        std::wstring text;
        GetRegValue(text, L"HKEY_LOCAL_MACHINE\\Software\\Tarvox\\Tarvo Ardent 2020\\AutoCAD",
                    L"PartialMenu", 1);
        return text;
    }
    void Store(const wchar_t* text) {
        registry.Apply({tarvox::test::Sz(L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020\\AutoCAD", L"PartialMenu", text)});
    }
};

TEST_F(PartialMenuSetting, KnownValuesAreReadAndOthersBecomeTrue) {
    // No edition is known to the test program: the key has no edition suffix.
    Store(L"TRUE");
    EXPECT_EQ(UsePartialMenu(), 1);
    EXPECT_EQ(Stored(), L"TRUE");
    Store(L"0");
    EXPECT_EQ(UsePartialMenu(), 0);
    Store(L"false");
    EXPECT_EQ(UsePartialMenu(), 0);
    Store(L"yes");
    EXPECT_EQ(UsePartialMenu(), 1);
    EXPECT_EQ(Stored(), L"True");
}

TEST_F(PartialMenuSetting, AMissingValueIsWrittenAsTrue) {
    registry.Apply({tarvox::test::Key(L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020\\AutoCAD")});
    EXPECT_EQ(UsePartialMenu(), 1);
    EXPECT_EQ(Stored(), L"True");
}

}  // namespace
