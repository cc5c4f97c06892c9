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
    context.Report("by_name_after_load",
                   static_cast<long long>(GetKnownFolderByName(L"AppData", folder)));
    return 0;
}

#include <tarvox/folders.h>

#include "paths/product_edition.h"
#include "paths/product_folders.h"

TARVOX_CHILD_SCENARIO(EditionAndFolders) {
    int code = -1;
    std::wstring name;
    context.Report("known", static_cast<long long>(GetProductEdition(&code, name)));
    context.Report("code", static_cast<long long>(code));
    context.Report("name", name);
    int flags = -1;
    context.Report("luminor", static_cast<long long>(IsLuminorEdition(&flags)));
    context.Report("flags", static_cast<long long>(flags));
    context.Report("ardent", static_cast<long long>(IsArdentEdition()));
    wchar_t buffer[260];
    context.Report("central", GetCentralAppDir(buffer));
    context.Report("central_veska", GetCentralRAppDir(buffer, 2020));
    context.Report("user", GetProductUserDir(buffer, 2020));
    return 0;
}

#include "paths/edition_names.h"

// The wrappers of the edition-name mapping: in place, and the 500 rotating results.
TARVOX_CHILD_SCENARIO(EditionNameWrappers) {
    std::wstring inPlace = L"installdir";
    MapEditionName(inPlace);
    context.Report("in_place", inPlace);
    std::wstring empty;
    MapEditionName(empty);
    context.Report("empty", empty);
    context.Report("null",
                   MapEditionName(static_cast<const wchar_t*>(nullptr)) == nullptr ? 1LL : 0LL);

    const wchar_t* first = MapEditionName(L"Config");
    const std::wstring expected = first;
    for (int i = 0; i < 499; ++i) MapEditionName(L"Symbole");
    context.Report("first_after_499", std::wstring(first) == expected ? 1LL : 0LL);
    // The 500th call takes the first result's string again.
    const wchar_t* again = MapEditionName(L"Config");
    context.Report("slot_reused", again == first ? 1LL : 0LL);
    return 0;
}

#include "variables/path_vars.h"

// Expansion and re-abbreviation with the cached tables. Args: the path, then the alias flag.
TARVOX_CHILD_SCENARIO(ExpandAndAbbreviate) {
    std::wstring withVars = L"untouched", withoutVars = withVars;
    const std::wstring path = context.Arg(0);
    const int aliases = context.Arg(1) == L"1" ? 1 : 0;
    context.Report(
        "result", static_cast<long long>(tarvox::ExpandAndAbbreviate(
                      withVars, withoutVars, path == L"<null>" ? nullptr : path.c_str(), aliases)));
    context.Report("with", withVars);
    context.Report("without", withoutVars);
    return 0;
}
