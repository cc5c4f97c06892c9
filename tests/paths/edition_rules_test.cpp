// The edition rules over an imagined file system.
#include "paths/edition_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using namespace tarvox;

struct FakeDisk {
    std::set<std::wstring> files;
    std::set<std::wstring> folders;
    std::map<std::wstring, std::wstring> sourcePaths;

    EditionProbe Probe() const {
        EditionProbe probe;
        probe.fileExists = [this](const std::wstring& p) { return files.count(p) > 0; };
        probe.entryExists = [this](const std::wstring& p) {
            return files.count(p) > 0 || folders.count(p) > 0;
        };
        probe.setupSourcePath = [this](const std::wstring& p) {
            auto it = sourcePaths.find(p);
            return it == sourcePaths.end() ? std::wstring() : it->second;
        };
        return probe;
    }
};

constexpr wchar_t kProgram[] = L"C:\\Programs\\Tarvox\\Bin\\";
constexpr wchar_t kModule[] = L"C:\\Programs\\Tarvox\\Bin\\tarvox.dll";

int Decide(const FakeDisk& disk, const std::wstring& program = kProgram,
           const std::wstring& module = kModule) {
    return EditionFromProgramFolder(program, module, disk.Probe());
}

TEST(EditionRules, MarkerFilesDecideInTheirOrder) {
    FakeDisk disk;
    EXPECT_EQ(Decide(disk), kEditionUnknown);
    disk.files.insert(std::wstring(kProgram) + L"Tarvo Ardent_ExtACA 2020.txt");
    EXPECT_EQ(Decide(disk), kEditionZenitPlus);
    disk.files.insert(std::wstring(kProgram) + L"Tarvo Luminor 2020.txt");
    EXPECT_EQ(Decide(disk), kEditionLuminor);
    disk.files.insert(std::wstring(kProgram) + L"Tarvo Ardent 2020.txt");
    EXPECT_EQ(Decide(disk), kEditionArdent);
}

TEST(EditionRules, AMarkerFolderOfTheSameNameIsNotAMarkerFile) {
    FakeDisk disk;
    disk.folders.insert(std::wstring(kProgram) + L"Tarvo Ardent 2020.txt");
    EXPECT_EQ(Decide(disk), kEditionUnknown);
}

TEST(EditionRules, UserDataCacheFoldersAndTheModuleName) {
    const std::wstring cache = std::wstring(kProgram) + L"UserDataCache\\AppData\\Tarvox\\";
    FakeDisk disk;
    disk.folders.insert(cache + L"Tarvo Ardent 2020");
    EXPECT_EQ(Decide(disk), kEditionArdent);
    disk.folders.insert(cache + L"Tarvo Luminor 2020");
    EXPECT_EQ(Decide(disk), kEditionLuminor);  // the Luminor cache is tested first

    FakeDisk named;
    EXPECT_EQ(Decide(named, kProgram, L"C:\\Tarvox\\TARVO ARDENT 2020\\tarvox.dll"),
              kEditionArdent);
}

TEST(EditionRules, ZenitToolFoldersTellTheOlderLine) {
    const std::wstring tools =
        std::wstring(kProgram) + L"UserDataCache\\AppData\\Tarvox\\Tarvo Ardent 2020\\Werkzeuge\\";
    FakeDisk disk;
    disk.folders.insert(tools + L"Tarvo Zenit Werkzeuge");
    // The Werkzeuge folder lies below the Ardent cache folder, which is a marker of its own
    // only when it exists as an entry; the fake disk lists the deep folder alone.
    EXPECT_EQ(Decide(disk), kEditionZenit);
    disk.folders.insert(tools + L"Tarvo Zenit+ Werkzeuge");
    EXPECT_EQ(Decide(disk), kEditionZenitPlus);
}

TEST(EditionRules, MediaFolderIsTwoLevelsAboveAMediaProgramFolderElseThree) {
    FakeDisk disk;
    EXPECT_EQ(MediaFolderOf(L"D:\\Media\\Setup\\prg_x64\\", disk.Probe()), L"D:\\Media\\");
    EXPECT_EQ(MediaFolderOf(L"D:\\Media\\Setup\\Prg_W32\\", disk.Probe()), L"D:\\Media\\");
    EXPECT_EQ(MediaFolderOf(L"D:\\A\\B\\C\\D\\", disk.Probe()), L"D:\\A\\");
    EXPECT_EQ(MediaFolderOf(L"D:\\A\\B\\C\\", disk.Probe()), L"D:\\");
    // Too few components: the rule does not apply.
    EXPECT_EQ(MediaFolderOf(L"D:\\Prg_X64\\", disk.Probe()), L"");
    EXPECT_EQ(MediaFolderOf(L"D:\\A\\B\\", disk.Probe()), L"");
    disk.files.insert(L"D:\\A\\B\\Autorun.inf");
    EXPECT_EQ(MediaFolderOf(L"D:\\A\\B\\", disk.Probe()), L"D:\\A\\B\\");
}

TEST(EditionRules, InstallationMediaNameTheEditionInTheirOrder) {
    const std::wstring program = L"D:\\Media\\Setup\\Prg_X64\\";
    FakeDisk disk;
    disk.folders.insert(L"D:\\Media\\Tarvo Ardent");
    EXPECT_EQ(Decide(disk, program, program + L"tarvox.dll"), kEditionArdent);
    disk.files.insert(L"D:\\Media\\Tarvo Luminor");
    EXPECT_EQ(Decide(disk, program, program + L"tarvox.dll"), kEditionLuminor);
    disk.folders.insert(L"D:\\Media\\Tarvo Zenit+");
    EXPECT_EQ(Decide(disk, program, program + L"tarvox.dll"), kEditionZenitPlus);
}

TEST(EditionRules, ASetupSourcePathMovesTheMediaFolderWhenItExists) {
    const std::wstring program = L"D:\\Media\\";
    FakeDisk disk;
    disk.files.insert(L"D:\\Media\\Setup.cfg");
    disk.sourcePaths[L"D:\\Media\\Setup.cfg"] = L"\\\\server\\share\\Tarvox";
    disk.folders.insert(L"\\\\server\\share\\Tarvox\\Tarvo Zenit");
    disk.folders.insert(L"D:\\Media\\Tarvo Ardent");
    // The source path does not exist yet: the media folder stays.
    EXPECT_EQ(Decide(disk, program, program + L"x.dll"), kEditionArdent);
    disk.folders.insert(L"\\\\server\\share\\Tarvox");
    EXPECT_EQ(Decide(disk, program, program + L"x.dll"), kEditionZenit);
}

TEST(EditionRules, ProductNamesAndSectionsOfTheCodes) {
    const struct {
        int code;
        const wchar_t* name;
        const wchar_t* section;
    } rows[] = {{kEditionUnknown, L"", L"AutoCAD"},
                {kEditionZenit, L"Tarvo Zenit", L"AutoCAD"},
                {kEditionZenitPlus, L"Tarvo Zenit+", L"AutoCAD"},
                {kEditionLuminor, L"Tarvo Luminor", L"AutoCAD_LU"},
                {kEditionArdent, L"Tarvo Ardent", L"AutoCAD_AR"},
                {kEditionCad, L"Tarvo CAD", L"AutoCAD"},
                {9, L"", L"AutoCAD"}};
    for (const auto& row : rows) {
        EXPECT_EQ(EditionProductName(row.code), row.name) << row.code;
        EXPECT_EQ(WithEditionSuffix(kAddOnSection.view(), row.code), row.section) << row.code;
    }
}

}  // namespace
