// The library's CUIX readers on parts and on real packages opened through the CuixPort module
// beside the test program, the open-package cache and the PartialMenu setting.
#include "cuix/cuix_file.h"
#include "cuix/cuix_parts.h"

#include <tarvox/registry.h>

#include "foundation/com_scope.h"
#include "tests/support/sandbox_fixture.h"
#include "tools/package-writer/zip_writer.h"

#include <thread>

namespace {

using namespace tarvox::cuix;
using namespace tarvox::test;
using namespace tarvox::package;
using Names = std::vector<std::wstring>;

// The tests keep documents and nodes, so COM stays initialised for each of them.
class Cuix : public SandboxTest {
protected:
    tarvox::ComScope com{tarvox::ComApartment::SingleThreaded, tarvox::ComBalance::AfterSuccess};

    static CXMLHelpers::DocPtr Document(const std::string& xml) {
        CXMLHelpers::DocPtr doc;
        EXPECT_EQ(
            CXMLHelpers::GetDocumentFromBuffer(std::wstring(xml.begin(), xml.end()).c_str(), doc),
            1);
        return doc;
    }
    std::wstring Package(const wchar_t* name, const std::string& workspaces,
                         const std::vector<std::string>& menus = {}) {
        return temp.WriteFile(name, CuixPackage(WorkspaceRootXml(workspaces), HeaderXml(menus)));
    }
    static Names NamesOf(const std::wstring& path, int expected = 1) {
        Names names{L"stale"};
        EXPECT_EQ(GetCuixWorkspaceNames(path.c_str(), names), expected) << Utf8(path);
        return names;
    }
};

// Of "A" and "a" the later element is kept; a WorkspaceRoot must be there once. A header lists
// its partial menus only below every step of its path.
TEST_F(Cuix, WorkspaceNamesAndPartialMenuFilesOfDocuments) {
    CXMLHelpers::DocPtr doc = Document(
        WorkspaceRootXml(WorkspaceXml("b") + WorkspaceXml("A") + "<Other><Name>z</Name></Other>" +
                         WorkspaceXml("a") + "<Workspace><Name></Name></Workspace>"));
    Names names{L"stale"};
    std::vector<CXMLHelpers::NodePtr> elements;
    ASSERT_EQ(ParseWorkspaceRoot(doc, names, elements), 1);
    EXPECT_EQ(names, (Names{L"A", L"b"}));
    ASSERT_EQ(elements.size(), 2u);
    std::wstring name;
    EXPECT_EQ(CXMLHelpers::GetNodeText(L"Name", elements[0], name), 1);
    EXPECT_EQ(name, L"a");
    for (const char* xml : {"<Other><Workspace><Name>a</Name></Workspace></Other>",
                            "<x><WorkspaceRoot/><WorkspaceRoot/></x>", "<WorkspaceRoot/>"}) {
        doc = Document(xml);
        names = {L"stale"};
        EXPECT_EQ(ParseWorkspaceRoot(doc, names, elements), 0) << xml;
        EXPECT_TRUE(names.empty());
    }
    const std::string files =
        "<CommonItems><PartialMenuFile>x.cuix</PartialMenuFile><PartialMenuFile>X.CUIX"
        "</PartialMenuFile><Other>o.cuix</Other><partialmenufile>y.cuix</partialmenufile>"
        "</CommonItems>";
    const std::pair<std::string, Names> headers[] = {
        {"<commonconfiguration>" + files + "</commonconfiguration>", {L"x.cuix", L"y.cuix"}},
        {files, {}}};  // a missing step
    for (const auto& [inside, expected] : headers) {
        doc = Document("<CustSection><Header>" + inside + "</Header></CustSection>");
        Names found{L"stale"};
        EXPECT_EQ(ParsePartialMenuFiles(doc, found), expected.empty() ? 0 : 1);
        EXPECT_EQ(found, expected);
    }
}

// A named workspace gives its product tabs; without a name the first prefixed workspace with
// product tabs counts, its duplicates kept in the order found and later workspaces not visited.
TEST_F(Cuix, ProductTabsOfANamedOrTheFirstPrefixedWorkspace) {
    _CReadOnlyCuixFile cuix(
        Package(L"tabs.cuix", WorkspaceXml("TarvoX", {"no-blank"}) +
                                  WorkspaceXml("Drafting", {"T1"}, "_tarvoardent") +
                                  WorkspaceXml("Tarvo Empty", {"other"}, "ACAD") +
                                  WorkspaceXml("tarvo Plan", {"P1", "P2", "P1"}) +
                                  WorkspaceXml("Tarvo Later", {"L1"}))
            .c_str());
    const std::tuple<const wchar_t*, int, Names> cases[] = {{L"drafting", 1, {L"T1"}},
                                                            {L"TARVO EMPTY", 0, {}},
                                                            {L"Nowhere", 0, {}},
                                                            {nullptr, 1, {L"P1", L"P2", L"P1"}}};
    for (const auto& [workspace, result, expected] : cases) {
        Names tabs{L"stale"};
        EXPECT_EQ(GetWorkspaceProductTabIds(cuix, tabs, workspace), result);
        EXPECT_EQ(tabs, expected);
    }
}

// A part is loaded by its file's path: its mark or XML declaration names its encoding.
TEST_F(Cuix, APartsOwnDeclarationDecidesItsEncoding) {
    const auto part = [](const std::string& front, const std::string& letters) {
        return front + "<WorkspaceRoot><Workspace><Name>Gr" + letters +
               "e</Name></Workspace></WorkspaceRoot>";
    };
    std::string utf16("\xFF\xFE", 2);
    for (const char c : part("", "\xFC\xDF")) utf16 += {c, '\0'};
    const std::pair<const wchar_t*, std::string> cases[] = {
        {L"plain.cuix", part("", "\xC3\xBC\xC3\x9F")},  // no declaration: UTF-8
        {L"latin1.cuix", part("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n", "\xFC\xDF")},
        {L"cp1252.cuix", part("<?xml version=\"1.0\" encoding=\"windows-1252\"?>", "\xFC\xDF")},
        {L"marked.cuix",
         part("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>", "\xC3\xBC\xC3\x9F")},
        {L"utf16.cuix", utf16},
    };
    for (const auto& [file, xml] : cases)
        EXPECT_EQ(NamesOf(temp.WriteFile(file, CuixPackage(xml, HeaderXml({})))),
                  Names{L"Gr\u00FC\u00DFe"});
}

// Documents of parts are made without initialising COM: a thread without it gets none.
TEST_F(Cuix, PartsLoadOnlyWhereTheCallerHasInitialisedCom) {
    const std::wstring path = Package(L"com.cuix", WorkspaceXml("A"));
    std::thread([&] { NamesOf(path, 0); }).join();
    EXPECT_EQ(NamesOf(path), Names{L"A"});
}

// A partial menu with a folder in front is another file than the one beside the library; the
// product's own menu counts by its file name alone, without being opened. A menu that cannot
// be read loads nothing.
TEST_F(Cuix, PartialMenusDecideWhetherTheProductMenuIsLoaded) {
    const std::wstring loads =
        Package(L"loads.cuix", "", {"acetmain.cuix", "_TARVOARDENT.CUIX", "AcetMain.cuix"});
    Names files;
    ASSERT_EQ(GetCuixPartialMenuFiles(loads.c_str(), files), 1);
    EXPECT_EQ(files.size(), 2u);
    const std::pair<std::wstring, int> menus[] = {
        {loads, 1},
        {Package(L"folder.cuix", "", {"C:\\Menus\\_TarvoArdent.cuix", "acetmain.cuix"}), 0},
        {Package(L"none.cuix", "", {}), 0},
        {temp / L"_TarvoArdent_.cuix", 1},
        {L"C:\\Nowhere\\_TarvoArdent_.cuix", 1},
        {L"", -1},
        {L"acad.cuix", -1},
        {L"C:\\Nowhere\\acad.cuix", 0}};
    for (const auto& [menu, result] : menus)
        EXPECT_EQ(HasProductPartialMenu(menu, nullptr), result) << Utf8(menu);
    const std::pair<const wchar_t*, bool> names[] = {{L"C:\\Support\\_tarvoardent.cuix", true},
                                                     {L"C:\\Support\\_TARVOARDX.cuix", true},
                                                     {L"C:\\_Tarvo\\acad.cuix", false},
                                                     {L"_TarvoArdent.cuix", false}};  // no folder
    for (const auto& [path, product] : names) EXPECT_EQ(IsProductMenuFileName(path), product);
}

// A borrowed handle stays open when its borrowers go.
TEST_F(Cuix, EachSpellingOfAPathOpensThePackageOnce) {
    const std::wstring path = Package(L"cached.cuix", WorkspaceXml("A"));
    const std::size_t before = CachedPackageCount();
    _CReadOnlyCuixFile first(path.c_str()), second(path.c_str());
    EXPECT_NE(first.m_Handle, 0);
    EXPECT_EQ(first.m_Handle, second.m_Handle);
    EXPECT_EQ(first.m_IsShared, 1);
    EXPECT_EQ(CachedPackageCount(), before + 1);
    std::wstring upper = path;
    for (auto& c : upper) c = static_cast<wchar_t>(towupper(c));
    _CReadOnlyCuixFile other(upper.c_str());
    EXPECT_NE(other.m_Handle, first.m_Handle);
    EXPECT_EQ(CachedPackageCount(), before + 2);
    { _CReadOnlyCuixFile third(path.c_str()); }
    Names names;
    EXPECT_EQ(GetCuixWorkspaceNames(first, names), 1);
    EXPECT_EQ(names, Names{L"A"});
}

// Cut packages, bytes flipped in the deflated data of the workspace part (after its local
// header's name), a missing file and a part that is not XML all load as nothing.
TEST_F(Cuix, BrokenPackagesFailCleanly) {
    const std::string whole =
        CuixPackage(WorkspaceRootXml(WorkspaceXml("A")), HeaderXml({"_TarvoArdent.cuix"}));
    const std::wstring cut = temp.WriteFile(L"cut.cuix", whole.substr(0, whole.size() * 2 / 3));
    EXPECT_EQ(HasProductPartialMenu(cut, nullptr), 0);
    std::string corrupt = whole;
    const std::size_t data = corrupt.find("WorkspaceRoot.cui") + 17;
    for (std::size_t i = data + 2; i < data + 40; i += 3) corrupt[i] ^= 0x41;
    const std::wstring notXml = temp.WriteFile(
        L"notxml.cuix", ZipArchive({{"WorkspaceRoot.cui", "<WorkspaceRoot><Workspace>"},
                                    {"Header.cui", "\xFF\xFE"}}));
    for (const std::wstring& path :
         {cut, temp.WriteFile(L"corrupt.cuix", corrupt), temp / L"missing.cuix", notXml})
        EXPECT_TRUE(NamesOf(path, 0).empty());
}

// No edition is known to the test program: the key has no edition suffix. Known values are
// read as they are; others, and a missing value, become "True".
TEST_F(Cuix, PartialMenuSettingKnownValuesAreReadAndOthersBecomeTrue) {
    const std::wstring key = L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020\\AutoCAD";
    const std::tuple<const wchar_t*, int, const wchar_t*> cases[] = {
        {L"TRUE", 1, L"TRUE"}, {L"0", 0, L"0"}, {L"false", 0, L"false"}, {nullptr, 1, L"True"}};
    for (const auto& [stored, use, after] : cases) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Tarvox");
        registry.Apply({stored ? Sz(key, L"PartialMenu", stored) : Key(key)});
        EXPECT_EQ(UsePartialMenu(), use) << (stored ? Utf8(stored) : "missing");
        std::wstring text;
        GetRegValue(text, (L"HKEY_LOCAL_MACHINE" + key.substr(4)).c_str(), L"PartialMenu", 1);
        EXPECT_EQ(text, after);
    }
}

}  // namespace
