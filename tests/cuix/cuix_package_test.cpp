// The library's CUIX readers on real packages, opened through the CuixPort module that lies
// beside the test program: workspaces, partial menus, product tabs and the open-package cache.
#include "cuix/cuix_file.h"
#include "cuix/cuix_parts.h"

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tools/package-writer/zip_writer.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <thread>

namespace {

using namespace tarvox::cuix;
using namespace tarvox::test;
using namespace tarvox::package;

class CuixPackages : public ::testing::Test {
protected:
    CuixPackages() { CoInitialize(nullptr); }
    ~CuixPackages() override { CoUninitialize(); }

    std::wstring Package(const wchar_t* name, const std::string& workspaces,
                         const std::vector<std::string>& menus = {}) {
        return temp.WriteFile(name, CuixPackage(WorkspaceRootXml(workspaces), HeaderXml(menus)));
    }

    // The workspace names of a package, checking the reader's result.
    static std::vector<std::wstring> Names(const std::wstring& path, int expected = 1) {
        std::vector<std::wstring> names{L"stale"};
        EXPECT_EQ(GetCuixWorkspaceNames(path.c_str(), names), expected) << Utf8(path);
        return names;
    }

    TempFolder temp;
};

TEST_F(CuixPackages, WorkspaceNamesAreSortedAndMergedIgnoringCase) {
    const std::wstring path = Package(
        L"Профили\\acad.cuix",
        WorkspaceXml("Zeichnen &amp; Beschriftung") + WorkspaceXml("3D-Modellierung") +
            WorkspaceXml("\xD0\xA7\xD0\xB5\xD1\x80\xD1\x87\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5") +
            WorkspaceXml("zeichnen &amp; BESCHRIFTUNG") + WorkspaceXml("Tarvo Ardent"));
    const std::vector<std::wstring> names = Names(path);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], L"3D-Modellierung");
    EXPECT_EQ(names[1], L"Tarvo Ardent");
    EXPECT_EQ(_wcsicmp(names[2].c_str(), L"Zeichnen & Beschriftung"), 0);
    EXPECT_EQ(names[3], L"\u0427\u0435\u0440\u0447\u0435\u043D\u0438\u0435");
}

// A part is loaded by its file's path: its mark or XML declaration names its encoding.
TEST_F(CuixPackages, APartsOwnDeclarationDecidesItsEncoding) {
    const std::string body =
        "<WorkspaceRoot><Workspace><Name>Gr%s"
        "e</Name></Workspace></WorkspaceRoot>";
    const auto part = [&](const std::string& front, const std::string& letters) {
        std::string xml = body;
        xml.replace(xml.find("%s"), 2, letters);
        return front + xml;
    };
    std::string utf16("\xFF\xFE", 2);
    for (const char c : part("", "\xFC\xDF")) {
        utf16 += c;
        utf16 += '\0';
    }
    const std::pair<const wchar_t*, std::string> cases[] = {
        {L"plain.cuix", part("", "\xC3\xBC\xC3\x9F")},  // no declaration: UTF-8
        {L"latin1.cuix", part("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n", "\xFC\xDF")},
        {L"cp1252.cuix", part("<?xml version=\"1.0\" encoding=\"windows-1252\"?>", "\xFC\xDF")},
        {L"marked.cuix",
         part("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>", "\xC3\xBC\xC3\x9F")},
        {L"utf16.cuix", utf16},
    };
    for (const auto& [file, xml] : cases) {
        EXPECT_EQ(Names(temp.WriteFile(file, CuixPackage(xml, HeaderXml({})))),
                  std::vector<std::wstring>{L"Gr\u00FC\u00DF"
                                            L"e"});
    }
}

// Documents of parts are made without initialising COM: a thread without it gets none.
TEST_F(CuixPackages, PartsLoadOnlyWhereTheCallerHasInitialisedCom) {
    const std::wstring path = Package(L"com.cuix", WorkspaceXml("A"));
    std::thread([&] { Names(path, 0); }).join();
    EXPECT_EQ(Names(path), std::vector<std::wstring>{L"A"});
}

// A partial menu with a folder in front is another file than the one beside the library; the
// product's own menu counts by its file name alone, without being opened.
TEST_F(CuixPackages, PartialMenusDecideWhetherTheProductMenuIsLoaded) {
    const std::wstring loads =
        Package(L"loads.cuix", "", {"acetmain.cuix", "_TARVOARDENT.CUIX", "AcetMain.cuix"});
    std::vector<std::wstring> files;
    ASSERT_EQ(GetCuixPartialMenuFiles(loads.c_str(), files), 1);
    EXPECT_EQ(files.size(), 2u);
    const std::pair<std::wstring, int> menus[] = {
        {loads, 1},
        {Package(L"folder.cuix", "", {"C:\\Menus\\_TarvoArdent.cuix", "acetmain.cuix"}), 0},
        {Package(L"none.cuix", "", {}), 0},
        {temp / L"_TarvoArdent_.cuix", 1},
        {L"acad.cuix", -1}};
    for (const auto& [menu, result] : menus)
        EXPECT_EQ(HasProductPartialMenu(menu, nullptr), result) << Utf8(menu);
}

TEST_F(CuixPackages, TabsComeFromTheFirstMatchingWorkspace) {
    const std::wstring path =
        Package(L"tabs.cuix", WorkspaceXml("Drafting", {"ID_Other"}, "ACAD") +
                                  WorkspaceXml("Tarvo Ardent", {"ID_TabA", "ID_TabB", "ID_TabA"}) +
                                  WorkspaceXml("tarvo ardent", {"ID_TabC"}));
    _CReadOnlyCuixFile cuix(path.c_str());
    std::vector<std::wstring> tabs;
    ASSERT_EQ(GetWorkspaceProductTabIds(cuix, tabs, L"TARVO ARDENT"), 1);
    EXPECT_EQ(tabs, (std::vector<std::wstring>{L"ID_TabA", L"ID_TabB", L"ID_TabA"}));
    EXPECT_NE(GetWorkspaceProductTabIds(cuix, tabs, L"Drafting"), 1);
    EXPECT_TRUE(tabs.empty());
}

TEST_F(CuixPackages, EachSpellingOfAPathOpensThePackageOnce) {
    const std::wstring path = Package(L"cached.cuix", WorkspaceXml("A"));
    const std::size_t before = CachedPackageCount();
    _CReadOnlyCuixFile first(path.c_str());
    _CReadOnlyCuixFile second(path.c_str());
    EXPECT_NE(first.m_Handle, 0);
    EXPECT_EQ(first.m_Handle, second.m_Handle);
    EXPECT_EQ(first.m_IsShared, 1);
    EXPECT_EQ(CachedPackageCount(), before + 1);
    std::wstring upper = path;
    for (auto& c : upper) c = static_cast<wchar_t>(towupper(c));
    _CReadOnlyCuixFile other(upper.c_str());
    EXPECT_NE(other.m_Handle, first.m_Handle);
    EXPECT_EQ(CachedPackageCount(), before + 2);
    // A borrowed handle stays open when its borrowers go.
    { _CReadOnlyCuixFile third(path.c_str()); }
    std::vector<std::wstring> names;
    EXPECT_EQ(GetCuixWorkspaceNames(first, names), 1);
    EXPECT_EQ(names, std::vector<std::wstring>{L"A"});
}

// Cut packages, bytes flipped in the deflated data of the workspace part (after its local
// header's name), a missing file and a part that is not XML all load as nothing.
TEST_F(CuixPackages, BrokenPackagesFailCleanly) {
    const std::string whole =
        CuixPackage(WorkspaceRootXml(WorkspaceXml("A")), HeaderXml({"_TarvoArdent.cuix"}));
    const std::wstring cut = temp.WriteFile(L"cut.cuix", whole.substr(0, whole.size() * 2 / 3));
    EXPECT_EQ(HasProductPartialMenu(cut, nullptr), 0);
    std::string corrupt = whole;
    const std::size_t data = corrupt.find("WorkspaceRoot.cui") + 17;
    for (std::size_t i = data + 2; i < data + 40; i += 3)
        corrupt[i] = static_cast<char>(corrupt[i] ^ 0x41);
    const std::wstring notXml = temp.WriteFile(
        L"notxml.cuix", ZipArchive({{"WorkspaceRoot.cui", "<WorkspaceRoot><Workspace>"},
                                    {"Header.cui", "\xFF\xFE"}}));
    for (const std::wstring& path :
         {cut, temp.WriteFile(L"corrupt.cuix", corrupt), temp / L"missing.cuix", notXml}) {
        EXPECT_TRUE(Names(path, 0).empty());
    }
}

// The product's own partial menu lies beside the library; a child run from a folder with the
// module and that menu compares a workspace's tabs with it.
TEST_F(CuixPackages, AWorkspaceShowsAllProductTabsOnlyWithAsManyAsTheProductDefines) {
    const std::wstring folder = temp.MakeFolder(L"product");
    ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"\\cuixport.dll").c_str(),
                          (folder + L"\\cuixport.dll").c_str(), FALSE));
    temp.WriteFile(L"product\\_TarvoArdent.cuix",
                   CuixPackage(WorkspaceRootXml(WorkspaceXml("Tarvo Ardent", {"T1", "T2", "T3"})),
                               HeaderXml({})));
    const std::wstring workspaces =
        Package(L"user.cuix", WorkspaceXml("Tarvo Full", {"T1", "T2", "T3"}) +
                                  WorkspaceXml("Tarvo Some", {"T1", "T2"}));
    ChildOptions options;
    options.programFolder = folder;
    options.args = {workspaces};
    const ChildResult child = RunChildScenario("ProductTabsOfWorkspaces", options);
    ASSERT_TRUE(child.Passed()) << child.output;
    EXPECT_EQ(child.Value("product_tabs"), "3");
    EXPECT_EQ(child.Value("full"), "1");
    EXPECT_EQ(child.Value("some"), "0");
    EXPECT_EQ(child.Value("unknown"), "0");
}

}  // namespace
