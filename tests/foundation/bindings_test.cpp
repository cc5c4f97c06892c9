// Helper-module bindings, their fallbacks, and the failure log of missing entry points.
#include <tarvox/modules.h>

#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;

constexpr wchar_t kLogName[] = L"!!!!!!!GetProcAddressFailures.txt";

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = "";
    EXPECT_NE(GetModuleFileNameA(module, path, MAX_PATH), 0u);
    return path;
}

// The log is written to the temporary folder, named by a path without trailing backslash.
class Bindings : public SandboxTest {
protected:
    void SetUp() override { environment.SetTempFolder(temp.Path()); }
    std::wstring FolderWithCuixPort(const wchar_t* folderName, const wchar_t* variant) {
        const std::wstring folder = temp.MakeFolder(folderName);
        const std::wstring source = Modules() + L"\\" + variant + L"\\cuixport.dll";
        EXPECT_TRUE(CopyFileW(source.c_str(), (folder + L"\\cuixport.dll").c_str(), FALSE));
        return folder;
    }
    ChildResult Run(const char* scenario, std::wstring folder = L"") {
        return RunSandboxed(scenario, {.programFolder = folder, .args = {Modules()}});
    }
    static std::wstring Modules() { return FolderOfThisProgram() + L"\\testmodules"; }
};

// An absent log leaves no trace; an existing one receives one line per failed lookup after what
// is there (a temporary path without trailing backslash still finds the log). A null module is
// logged under the program's path and a null name is refused.
TEST_F(Bindings, AnExistingLogFileReceivesOneLinePerFailedLookup) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    EXPECT_EQ(GetProcAddressLogged(kernel, "NoSuchTarvoxEntry"), nullptr);
    EXPECT_EQ(GetFileAttributesW((temp / kLogName).c_str()), INVALID_FILE_ATTRIBUTES);

    temp.WriteFile(kLogName, "earlier line\r\n");
    EXPECT_EQ(GetProcAddressLogged(kernel, "NoSuchTarvoxEntry"), nullptr);
    EXPECT_EQ(GetProcAddressLogged(kernel, L"OtherMissingEntry"), nullptr);
    EXPECT_NE(GetProcAddressLogged(kernel, "GetTickCount"), nullptr);
    EXPECT_NE(GetProcAddressLogged(kernel, L"GetTickCount"), nullptr);
    EXPECT_EQ(GetProcAddressLogged(nullptr, "NoSuchTarvoxEntry"), nullptr);
    EXPECT_EQ(GetProcAddressLogged(nullptr, L"OtherMissingEntry"), nullptr);
    EXPECT_EQ(GetProcAddressLogged(kernel, static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(GetProcAddressLogged(kernel, static_cast<const wchar_t*>(nullptr)), nullptr);
    std::string expected = "earlier line\r\n";
    for (const std::string& path : {ModulePath(kernel), ModulePath(nullptr)})
        expected += path + ";NoSuchTarvoxEntry\r\n" + path + ";OtherMissingEntry\r\n";
    EXPECT_EQ(ReadFileBytes(temp / kLogName), expected);
}

// Every request calls the entry point; a cfgkern.dll without it falls back to the x86 module.
TEST_F(Bindings, CfgKernIsOnlyTakenFromTheLoadedModulesAndNotRetriedWithoutReload) {
    const ChildResult child = Run("CfgKernNotLoaded");
    EXPECT_EQ(child.Value("first"), "empty");
    EXPECT_EQ(child.Value("loaded_by_binding"), "0");
    EXPECT_EQ(child.Value("after_load"), "empty");
    EXPECT_EQ(child.Value("after_reload"), "101");
    EXPECT_EQ(child.Value("later"), "101");
    const ChildResult loaded = Run("CfgKernLoaded");
    EXPECT_EQ(loaded.Value("table"), "101");
    EXPECT_EQ(loaded.Value("entry_calls"), "3");
    EXPECT_EQ(Run("CfgKernFallback").Value("table"), "103");
}

// A CuixPort already loaded from elsewhere is used too; a missing entry point is logged.
TEST_F(Bindings, CuixPortIsLoadedFromBesideTheLibraryOrGivesTheEmptyTable) {
    const std::wstring folder = FolderWithCuixPort(L"with module", L"cuixport");
    const ChildResult child = Run("CuixPortBeside", folder);
    EXPECT_EQ(child.Value("table"), "201");
    EXPECT_EQ(_stricmp(child.Value("module").c_str(), Utf8(folder + L"\\cuixport.dll").c_str()), 0)
        << child.Value("module");
    EXPECT_EQ(Run("CuixPortPreloaded", temp.MakeFolder(L"elsewhere")).Value("table"), "201");
    EXPECT_EQ(Run("CuixPortBeside", temp.MakeFolder(L"without module")).Value("table"), "empty");

    temp.WriteFile(kLogName, "");
    const std::wstring noEntry = FolderWithCuixPort(L"no entry", L"cuixport_noentry");
    EXPECT_EQ(Run("CuixPortBeside", noEntry).Value("table"), "empty");
    const std::string log = ReadFileBytes(temp / kLogName);
    EXPECT_NE(log.find("cuixport.dll;?GetExportsObject@@YA_JXZ\r\n"), std::string::npos) << log;
}

TEST_F(Bindings, ConcurrentFirstRequestsAllGetTheSameTable) {
    const ChildResult child =
        Run("CuixPortConcurrentFirstUse", FolderWithCuixPort(L"t", L"cuixport"));
    EXPECT_EQ(child.Value("same"), "1");
    EXPECT_EQ(child.Value("table"), "201");
}

}  // namespace
