// The CfgKern module shipped beside the library: slot 1 of its table reads a folder list file.
#include "foundation/module_bindings.h"
#include "foundation/unique_handle.h"
#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;

using ReadFolderValue = int (*)(const wchar_t*, const wchar_t*, const wchar_t*, wchar_t*);

class CfgKernModule : public SandboxTest {};

TEST_F(CfgKernModule, ReadsOneFolderOfTheFolderListExpanded) {
    const tarvox::LoadedModule module(
        LoadLibraryW((FolderOfThisProgram() + L"\\CfgKern.dll").c_str()));
    ASSERT_TRUE(module);
    const auto entry =
        reinterpret_cast<long long (*)()>(GetProcAddress(module.Get(), tarvox::kExportsEntryName));
    ASSERT_NE(entry, nullptr);
    const auto read = tarvox::ExportSlot<ReadFolderValue>(entry(), 1);
    ASSERT_NE(read, nullptr);
    environment.Set(L"TARVOX_DRAWINGS", L"D:\\Tarvox Drawings");
    environment.Set(L"TARVOX_LONG", L"D:\\" + std::wstring(250, L'a'));
    const std::wstring file = temp.WriteFile(
        L"Ordner.ini",
        "[Ordner]\r\nVorlagen=%TARVOX_DRAWINGS%\\Vorlagen\r\nFremd=%TARVOX_UNKNOWN%"
        "\\x\r\nLeer=\r\nLang=" +
            std::string(400, 'a') + "\r\nErweitert=%TARVOX_LONG%\\Vorlagen\r\n[Andere]\r\nX=1\r\n");
    const std::wstring missing = temp / L"missing.ini";
    const struct {
        const wchar_t *file, *name;
        int result;
        const wchar_t* folder;
    } rows[] = {{file.c_str(), L"vorlagen", 1, L"D:\\Tarvox Drawings\\Vorlagen"},
                {file.c_str(), L"Fremd", 1, L"\\x"},  // an unknown variable is deleted
                {file.c_str(), L"Leer", 1, L""},
                {file.c_str(), L"X", 0, L""},
                // A value longer than a folder is refused, also once expanded.
                {file.c_str(), L"Lang", 0, L""},
                {file.c_str(), L"Erweitert", 0, L""},
                {missing.c_str(), L"Vorlagen", 0, L""},
                {file.c_str(), nullptr, 0, L""}};
    for (const auto& row : rows) {
        wchar_t result[260] = L"stale";
        EXPECT_EQ(read(row.file, L"Ordner", row.name, result), row.result) << row.name;
        EXPECT_STREQ(result, row.folder) << row.name;
    }
}

}  // namespace
