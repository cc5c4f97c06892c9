#include "config/folder_list.h"

#include "foundation/text_compare.h"
#include "paths/path_vars.h"

namespace tarvox {
namespace {

// Through the compact path-variable table without aliases: values read are expanded, values
// set are stored with their variables (a folder given expanded gets its variable put back).
bool ConvertWithPathVariables(const std::wstring& value, bool expand, std::wstring& converted) {
    if (value.empty()) return false;
    std::wstring withVars, withoutVars;
    if (!ExpandAndAbbreviate(withVars, withoutVars, value.c_str(), 0)) return false;
    if (expand) {
        converted = withoutVars;
    } else {
        converted = value.find(L'%') != std::wstring::npos ? withVars : AbbreviatePath(value, 0);
    }
    return true;
}

FolderListConversion g_conversion = &ConvertWithPathVariables;

}  // namespace

bool IsFolderListFile(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    const std::wstring_view name =
        slash == std::wstring::npos ? std::wstring_view(path) : std::wstring_view(path).substr(slash + 1);
    return EqualsIgnoringAsciiCase(name, L"Ordner.ini");
}

FolderListConversion GetFolderListConversion() { return g_conversion; }

void SetFolderListConversion(FolderListConversion conversion) {
    g_conversion = conversion != nullptr ? conversion : &ConvertWithPathVariables;
}

}  // namespace tarvox
