// The edition rules over an imagined file system.
#include "paths/edition_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace tarvox;

// The entries of an imagined disk: a name ending in a backslash is a folder, any other a file.
// The media's "Setup.cfg" names a share as its source path.
EditionProbe Probe(const std::set<std::wstring>& entries) {
    EditionProbe probe;
    probe.fileExists = [&entries](const std::wstring& p) { return entries.count(p) > 0; };
    probe.entryExists = [&entries](const std::wstring& p) {
        return entries.count(p) > 0 || entries.count(p + L"\\") > 0;
    };
    probe.setupSourcePath = [](const std::wstring& p) {
        return p == L"D:\\Media\\Setup.cfg" ? std::wstring(L"\\\\server\\share\\Tarvox") : L"";
    };
    return probe;
}

TEST(EditionRules, MarkersCachesToolsAndMediaDecideInTheirOrder) {
    const std::wstring p = L"C:\\Programs\\Tarvox\\Bin\\", media = L"D:\\Media\\Setup\\Prg_X64\\";
    const std::wstring cache = p + L"UserDataCache\\AppData\\Tarvox\\";
    const std::wstring tools = cache + L"Tarvo Ardent 2020\\Werkzeuge\\";
    const std::wstring extAca = p + L"Tarvo Ardent_ExtACA 2020.txt", share = L"\\\\server\\share\\";
    const struct {
        const char* label;
        std::set<std::wstring> entries;
        int edition;
        std::wstring program = L"C:\\Programs\\Tarvox\\Bin\\";
    } rows[] = {
        {"no markers", {}, kEditionUnknown},
        {"ExtACA marker", {extAca}, kEditionZenitPlus},
        {"Luminor marker before ExtACA", {extAca, p + L"Tarvo Luminor 2020.txt"}, kEditionLuminor},
        {"Ardent marker first",
         {extAca, p + L"Tarvo Luminor 2020.txt", p + L"Tarvo Ardent 2020.txt"},
         kEditionArdent},
        {"a marker folder is no marker file", {p + L"Tarvo Ardent 2020.txt\\"}, kEditionUnknown},
        {"Ardent cache", {cache + L"Tarvo Ardent 2020\\"}, kEditionArdent},
        {"Luminor cache tested first",
         {cache + L"Tarvo Ardent 2020\\", cache + L"Tarvo Luminor 2020\\"},
         kEditionLuminor},
        // The tool folders lie below the Ardent cache folder, which is not listed itself.
        {"Zenit tools", {tools + L"Tarvo Zenit Werkzeuge\\"}, kEditionZenit},
        {"Zenit+ tools",
         {tools + L"Tarvo Zenit Werkzeuge\\", tools + L"Tarvo Zenit+ Werkzeuge\\"},
         kEditionZenitPlus},
        {"media Ardent", {L"D:\\Media\\Tarvo Ardent\\"}, kEditionArdent, media},
        {"media Zenit+",
         {L"D:\\Media\\Tarvo Ardent\\", L"D:\\Media\\Tarvo Luminor", L"D:\\Media\\Tarvo Zenit+\\"},
         kEditionZenitPlus,
         media},
        {"setup source path that does not exist yet",
         {L"D:\\Media\\Setup.cfg", share + L"Tarvox\\Tarvo Zenit\\", L"D:\\Media\\Tarvo Ardent\\"},
         kEditionArdent,
         L"D:\\Media\\"},
        {"setup source path moves the media folder",
         {L"D:\\Media\\Setup.cfg", share + L"Tarvox\\", share + L"Tarvox\\Tarvo Zenit\\",
          L"D:\\Media\\Tarvo Ardent\\"},
         kEditionZenit,
         L"D:\\Media\\"}};
    for (const auto& row : rows) {
        EXPECT_EQ(
            EditionFromProgramFolder(row.program, row.program + L"tarvox.dll", Probe(row.entries)),
            row.edition)
            << row.label;
    }
    EXPECT_EQ(EditionFromProgramFolder(p, L"C:\\Tarvox\\TARVO ARDENT 2020\\tarvox.dll", Probe({})),
              kEditionArdent);
}

TEST(EditionRules, MediaFolderIsTwoLevelsAboveAMediaProgramFolderElseThree) {
    const std::set<std::wstring> autorun = {L"D:\\A\\B\\Autorun.inf"};
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"D:\\Media\\Setup\\prg_x64\\", L"D:\\Media\\"},
        {L"D:\\Media\\Setup\\Prg_W32\\", L"D:\\Media\\"},
        {L"D:\\A\\B\\C\\D\\", L"D:\\A\\"},
        {L"D:\\A\\B\\C\\", L"D:\\"},
        // Too few components: the rule does not apply.
        {L"D:\\Prg_X64\\", L""}};
    for (const auto& [program, media] : rows)
        EXPECT_EQ(MediaFolderOf(program, Probe(autorun)), media) << program;
    EXPECT_EQ(MediaFolderOf(L"D:\\A\\B\\", Probe(autorun)), L"D:\\A\\B\\");
    EXPECT_EQ(MediaFolderOf(L"D:\\A\\B\\", Probe({})), L"");
}

}  // namespace
