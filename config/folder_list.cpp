#include "config/folder_list.h"

#include "foundation/text_compare.h"

namespace tarvox {
namespace {

// Until the path-variable tables install theirs, nothing is converted.
bool NoConversion(const std::wstring&, bool, std::wstring&) { return false; }

FolderListConversion g_conversion = &NoConversion;

}  // namespace

bool IsFolderListFile(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    const std::wstring_view name = slash == std::wstring::npos
                                       ? std::wstring_view(path)
                                       : std::wstring_view(path).substr(slash + 1);
    return EqualsIgnoringAsciiCase(name, L"Ordner.ini");
}

FolderListConversion GetFolderListConversion() { return g_conversion; }

void SetFolderListConversion(FolderListConversion conversion) {
    g_conversion = conversion != nullptr ? conversion : &NoConversion;
}

}  // namespace tarvox
