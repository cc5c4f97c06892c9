// Helper-module bindings, their fallbacks, and the failure log of missing entry points.
#include <tarvox/modules.h>

#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;

constexpr wchar_t kLogName[] = L"!!!!!!!GetProcAddressFailures.txt";

std::wstring TestModules() { return FolderOfThisProgram() + L"\\testmodules"; }

class FailureLog : public SandboxTest {
protected:
    void SetUp() override { environment.SetTempFolder(temp.Path()); }
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
};

TEST_F(FailureLog, AbsentLogFileLeavesNoTrace) {
    EXPECT_EQ(GetProcAddressLogged(kernel, "NoSuchTarvoxEntry"), nullptr);
    EXPECT_EQ(GetFileAttributesW((temp / kLogName).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FailureLog, AnExistingLogFileReceivesOneLinePerFailedLookup) {
    temp.WriteFile(kLogName, "");
    EXPECT_EQ(GetProcAddressLogged(kernel, "NoSuchTarvoxEntry"), nullptr);
    EXPECT_EQ(GetProcAddressLogged(kernel, L"OtherMissingEntry"), nullptr);
    EXPECT_NE(GetProcAddressLogged(kernel, "GetTickCount"), nullptr);
    EXPECT_NE(GetProcAddressLogged(kernel, L"GetTickCount"), nullptr);

    char ansiPath[MAX_PATH] = "";
    GetModuleFileNameA(kernel, ansiPath, MAX_PATH);
    const std::string expected =
        std::string(ansiPath) + ";NoSuchTarvoxEntry\r\n" + ansiPath + ";OtherMissingEntry\r\n";
    EXPECT_EQ(ReadFileBytes(temp / kLogName), expected);
}

TEST_F(FailureLog, LinesAreAppendedToWhatIsThere) {
    temp.WriteFile(kLogName, "earlier line\r\n");
    GetProcAddressLogged(kernel, "Missing1");
    const std::string log = ReadFileBytes(temp / kLogName);
    EXPECT_EQ(log.rfind("earlier line\r\n", 0), 0u);
    EXPECT_NE(log.find(";Missing1\r\n"), std::string::npos);
}

TEST_F(FailureLog, ATempPathWithoutTrailingBackslashStillFindsTheLog) {
    environment.SetTempFolder(temp.Path());  // TempFolder paths have no trailing backslash
    temp.WriteFile(kLogName, "");
    GetProcAddressLogged(kernel, "Missing2");
    EXPECT_NE(ReadFileBytes(temp / kLogName).find(";Missing2\r\n"), std::string::npos);
}

TEST_F(FailureLog, ANullModuleIsLoggedUnderTheProgramsPathAndANullNameIsRefused) {
    temp.WriteFile(kLogName, "");
    EXPECT_EQ(GetProcAddressLogged(nullptr, "NoSuchTarvoxEntry"), nullptr);
    EXPECT_EQ(GetProcAddressLogged(nullptr, L"OtherMissingEntry"), nullptr);
    EXPECT_EQ(GetProcAddressLogged(kernel, static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(GetProcAddressLogged(kernel, static_cast<const wchar_t*>(nullptr)), nullptr);

    char ansiPath[MAX_PATH] = "";
    ASSERT_NE(GetModuleFileNameA(nullptr, ansiPath, MAX_PATH), 0u);
    EXPECT_EQ(ReadFileBytes(temp / kLogName), std::string(ansiPath) + ";NoSuchTarvoxEntry\r\n" +
                                                  ansiPath + ";OtherMissingEntry\r\n");
}

class Bindings : public SandboxTest {
protected:
    // A folder below the test's temporary folder holding one variant of the CuixPort module.
    std::wstring FolderWithCuixPort(const wchar_t* folderName, const wchar_t* variant) {
        const std::wstring folder = temp.MakeFolder(folderName);
        const std::wstring source = TestModules() + L"\\" + variant + L"\\cuixport.dll";
        EXPECT_TRUE(CopyFileW(source.c_str(), (folder + L"\\cuixport.dll").c_str(), FALSE));
        return folder;
    }
    ChildResult Run(const char* scenario, std::wstring programFolder = L"") {
        ChildOptions options;
        options.args = {TestModules()};
        options.programFolder = std::move(programFolder);
        ChildResult result = RunChildScenario(scenario, options);
        EXPECT_TRUE(result.Passed()) << result.output;
        return result;
    }
};

TEST_F(Bindings, CfgKernIsOnlyTakenFromTheLoadedModulesAndNotRetriedWithoutReload) {
    const ChildResult child = Run("CfgKernNotLoaded");
    EXPECT_EQ(child.Value("first"), "empty");
    EXPECT_EQ(child.Value("loaded_by_binding"), "0");
    EXPECT_EQ(child.Value("after_load"), "empty");
    EXPECT_EQ(child.Value("after_reload"), "101");
    EXPECT_EQ(child.Value("later"), "101");
}

TEST_F(Bindings, EveryRequestCallsTheEntryPoint) {
    const ChildResult child = Run("CfgKernLoaded");
    EXPECT_EQ(child.Value("table"), "101");
    EXPECT_EQ(child.Value("entry_calls"), "3");
}

TEST_F(Bindings, ACfgKernWithoutEntryPointFallsBackToTheX86Module) {
    EXPECT_EQ(Run("CfgKernFallback").Value("table"), "103");
}

TEST_F(Bindings, CuixPortIsLoadedFromBesideTheLibrary) {
    const std::wstring folder = FolderWithCuixPort(L"with module", L"cuixport");
    const ChildResult child = Run("CuixPortBeside", folder);
    EXPECT_EQ(child.Value("table"), "201");
    const std::string module = child.Value("module");
    EXPECT_EQ(_wcsicmp(std::wstring(module.begin(), module.end()).c_str(),
                       (folder + L"\\cuixport.dll").c_str()),
              0)
        << module;
}

TEST_F(Bindings, AMissingCuixPortOrEntryPointGivesTheEmptyTable) {
    EXPECT_EQ(Run("CuixPortBeside", temp.MakeFolder(L"without module")).Value("table"), "empty");

    const std::wstring folder = FolderWithCuixPort(L"no entry", L"cuixport_noentry");
    EXPECT_EQ(Run("CuixPortBeside", folder).Value("table"), "empty");
}

TEST_F(Bindings, AMissingEntryPointIsLoggedWhenTheLogIsOn) {
    environment.SetTempFolder(temp.Path());
    temp.WriteFile(kLogName, "");
    const std::wstring folder = FolderWithCuixPort(L"no entry", L"cuixport_noentry");
    Run("CuixPortBeside", folder);
    const std::string log = ReadFileBytes(temp / kLogName);
    EXPECT_NE(log.find("cuixport.dll;?GetExportsObject@@YA_JXZ\r\n"), std::string::npos) << log;
}

TEST_F(Bindings, AnAlreadyLoadedCuixPortIsUsed) {
    EXPECT_EQ(Run("CuixPortPreloaded", temp.MakeFolder(L"elsewhere")).Value("table"), "201");
}

TEST_F(Bindings, ConcurrentFirstRequestsAllGetTheSameTable) {
    const std::wstring folder = FolderWithCuixPort(L"threads", L"cuixport");
    const ChildResult child = Run("CuixPortConcurrentFirstUse", folder);
    EXPECT_EQ(child.Value("same"), "1");
    EXPECT_EQ(child.Value("table"), "201");
}

}  // namespace
