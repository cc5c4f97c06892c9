// The CfgKern module shipped beside the library: slot 1 of its table reads a folder list file.
#include "foundation/module_bindings.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;

using ReadFolderValue = int (*)(const wchar_t*, const wchar_t*, const wchar_t*, wchar_t*);

class CfgKernModule : public SandboxTest {
protected:
    void SetUp() override {
        module = LoadLibraryW((FolderOfThisProgram() + L"\\CfgKern.dll").c_str());
        ASSERT_NE(module, nullptr);
        auto entry =
            reinterpret_cast<long long (*)()>(GetProcAddress(module, tarvox::kExportsEntryName));
        ASSERT_NE(entry, nullptr);
        read = tarvox::ExportSlot<ReadFolderValue>(entry(), 1);
        ASSERT_NE(read, nullptr);
    }
    void TearDown() override { FreeLibrary(module); }
    HMODULE module = nullptr;
    ReadFolderValue read = nullptr;
};

TEST_F(CfgKernModule, ReadsOneFolderOfTheFolderListExpanded) {
    environment.Set(L"TARVOX_DRAWINGS", L"D:\\Tarvox Drawings");
    const std::wstring file =
        temp.WriteFile(L"Ordner.ini",
                       "[Ordner]\r\nVorlagen=%TARVOX_DRAWINGS%\\Vorlagen\r\nFremd=%TARVOX_UNKNOWN%"
                       "\\x\r\nLeer=\r\n[Andere]\r\nX=1\r\n");
    wchar_t result[260] = L"stale";
    EXPECT_EQ(read(file.c_str(), L"Ordner", L"vorlagen", result), 1);
    EXPECT_STREQ(result, L"D:\\Tarvox Drawings\\Vorlagen");
    EXPECT_EQ(read(file.c_str(), L"Ordner", L"Fremd", result), 1);
    EXPECT_STREQ(result, L"\\x");  // a variable the table does not hold is deleted
    EXPECT_EQ(read(file.c_str(), L"Ordner", L"Leer", result), 1);
    EXPECT_STREQ(result, L"");
    EXPECT_EQ(read(file.c_str(), L"Ordner", L"X", result), 0);
    EXPECT_STREQ(result, L"");
    EXPECT_EQ(read((temp / L"missing.ini").c_str(), L"Ordner", L"Vorlagen", result), 0);
    EXPECT_EQ(read(file.c_str(), L"Ordner", nullptr, result), 0);
}

TEST_F(CfgKernModule, AValueLongerThanAFolderIsRefused) {
    environment.Set(L"TARVOX_LONG", L"D:\\" + std::wstring(250, L'a'));
    const std::string longValue(400, 'a');
    const std::wstring file =
        temp.WriteFile(L"Ordner.ini", "[Ordner]\r\nLang=" + longValue +
                                          "\r\nErweitert=%TARVOX_LONG%\\Vorlagen\r\n");
    wchar_t result[260];
    EXPECT_EQ(read(file.c_str(), L"Ordner", L"Lang", result), 0);
    EXPECT_STREQ(result, L"");
    EXPECT_EQ(read(file.c_str(), L"Ordner", L"Erweitert", result), 0);  // too long once expanded
    EXPECT_STREQ(result, L"");
}

}  // namespace
