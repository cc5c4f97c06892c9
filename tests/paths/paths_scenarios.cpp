// Child-process scenarios for the special folders and path variables.
#include "tests/child/scenario.h"

#include "paths/special_folders.h"

TARVOX_CHILD_SCENARIO(ShellFoldersWithoutShell) {
    context.Report("shell_loaded_at_start", GetModuleHandleW(L"shell32.dll") ? 1LL : 0LL);
    std::wstring folder;
    context.Report("by_name", static_cast<long long>(GetKnownFolderByName(L"AppData", folder)));
    GetShellFolder(L"AppData", folder);
    context.Report("appdata", folder);
    LoadLibraryW(L"shell32.dll");
    context.Report("by_name_after_load", static_cast<long long>(GetKnownFolderByName(L"AppData", folder)));
    return 0;
}
