// Reading the workspaces, partial menus and product tabs of CUIX parts, and the PartialMenu
// setting.
#include "cuix/cuix_parts.h"

#include <tarvox/registry.h>

#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

#include <gtest/gtest.h>

#include <objbase.h>

namespace {

using namespace tarvox::cuix;
using tarvox::test::SandboxTest;
using tarvox::test::Utf8;
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

std::wstring Workspace(const wchar_t* name, const std::wstring& tabs = L"",
                       const wchar_t* extra = L"") {
    return std::wstring(L"<Workspace UID=\"x\"><Name>") + name + L"</Name>" + extra +
           L"<WSRibbonRoot>" + tabs + L"</WSRibbonRoot></Workspace>";
}

std::wstring Tab(const wchar_t* group, const wchar_t* id) {
    return std::wstring(L"<WSRibbonTabSourceReference MenuGroup=\"") + group + L"\" TabId=\"" + id +
           L"\"/>";
}

std::wstring Root(const std::wstring& workspaces) {
    return L"<?xml version=\"1.0\"?><WorkspaceRoot>" + workspaces + L"</WorkspaceRoot>";
}

TEST_F(CuixPartsTest, WorkspaceNamesAreSortedAndCaseInsensitivelyUnique) {
    DocPtr doc =
        Document(Root(Workspace(L"b") + Workspace(L"A", L"", L"<Order>1</Order>") +
                      L"<Other><Name>z</Name></Other>" + Workspace(L"a", L"", L"<Order>2</Order>") +
                      L"<Workspace><Name></Name></Workspace>")
                     .c_str());
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
    for (const wchar_t* xml : {L"<Other><Workspace><Name>a</Name></Workspace></Other>",
                               L"<x><WorkspaceRoot/><WorkspaceRoot/></x>", L"<WorkspaceRoot/>"}) {
        std::vector<std::wstring> names{L"stale"};
        std::vector<NodePtr> elements;
        DocPtr doc = Document(xml);
        EXPECT_EQ(ParseWorkspaceRoot(doc, names, elements), 0);
        EXPECT_TRUE(names.empty());
    }
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

    DocPtr missingStep = Document(
        L"<CustSection><Header><CommonItems><PartialMenuFile>x.cuix"
        L"</PartialMenuFile></CommonItems></Header></CustSection>");
    EXPECT_EQ(ParsePartialMenuFiles(missingStep, files), 0);
    EXPECT_TRUE(files.empty());
}

// A named workspace gives its product tabs; without a name the first prefixed workspace with
// product tabs counts, its duplicates kept in the order found and later workspaces not visited.
TEST_F(CuixPartsTest, ProductTabsOfANamedOrTheFirstPrefixedWorkspace) {
    DocPtr doc = Document(
        Root(Workspace(L"TarvoX", Tab(L"_TarvoArdent", L"no-blank")) +
             Workspace(L"Drafting", Tab(L"ACAD", L"T0") + Tab(L"_tarvoardent", L"T1")) +
             Workspace(L"Tarvo Empty", Tab(L"ACAD", L"other")) +
             Workspace(L"tarvo Plan", Tab(L"_TarvoArdent", L"P1") + Tab(L"_TarvoArdent", L"P1")) +
             Workspace(L"Tarvo Later", Tab(L"_TarvoArdent", L"L1")))
            .c_str());
    const struct {
        const wchar_t* workspace;
        int result;
        std::vector<std::wstring> tabs;
    } cases[] = {{L"drafting", 1, {L"T1"}}, {L"Nowhere", 0, {}}, {nullptr, 1, {L"P1", L"P1"}}};
    for (const auto& c : cases) {
        std::vector<std::wstring> tabs{L"stale"};
        EXPECT_EQ(ParseWorkspaceProductTabIds(doc, tabs, c.workspace), c.result);
        EXPECT_EQ(tabs, c.tabs);
    }
}

TEST(CuixNames, ProductMenuFileNames) {
    EXPECT_TRUE(IsProductMenuFileName(L"C:\\Support\\_tarvoardent.cuix"));
    EXPECT_TRUE(IsProductMenuFileName(L"C:\\Support\\_TARVOARDX.cuix"));
    EXPECT_FALSE(IsProductMenuFileName(L"C:\\_Tarvo\\acad.cuix"));
    EXPECT_FALSE(IsProductMenuFileName(L"_TarvoArdent.cuix"));  // no folder: no file name
    // The name alone decides: the file is not read. A menu that can't be read loads nothing.
    const std::pair<const wchar_t*, int> menus[] = {{L"C:\\Nowhere\\_TarvoArdent_.cuix", 1},
                                                    {L"", -1},
                                                    {L"acad.cuix", -1},
                                                    {L"C:\\Nowhere\\acad.cuix", 0}};
    for (const auto& [path, result] : menus)
        EXPECT_EQ(HasProductPartialMenu(path, nullptr), result);
}

class PartialMenuSetting : public SandboxTest {
protected:
    static constexpr const wchar_t* kKey = L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020\\AutoCAD";
    std::wstring Stored() {
        std::wstring text;
        GetRegValue(text, L"HKEY_LOCAL_MACHINE\\Software\\Tarvox\\Tarvo Ardent 2020\\AutoCAD",
                    L"PartialMenu", 1);
        return text;
    }
    void Store(const wchar_t* text) {
        registry.Apply({tarvox::test::Sz(kKey, L"PartialMenu", text)});
    }
};

// No edition is known to the test program: the key has no edition suffix. Known values are
// read as they are; others, and a missing value, become "True".
TEST_F(PartialMenuSetting, KnownValuesAreReadAndOthersBecomeTrue) {
    const struct {
        const wchar_t* stored;
        int use;
        const wchar_t* after;
    } cases[] = {
        {L"TRUE", 1, L"TRUE"}, {L"0", 0, L"0"}, {L"false", 0, L"false"}, {L"yes", 1, L"True"}};
    for (const auto& c : cases) {
        Store(c.stored);
        EXPECT_EQ(UsePartialMenu(), c.use) << Utf8(c.stored);
        EXPECT_EQ(Stored(), c.after);
    }
}

TEST_F(PartialMenuSetting, AMissingValueIsWrittenAsTrue) {
    registry.Apply({tarvox::test::Key(kKey)});
    EXPECT_EQ(UsePartialMenu(), 1);
    EXPECT_EQ(Stored(), L"True");
}

}  // namespace
