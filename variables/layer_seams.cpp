// The layers below the path-variable tables hand out expanded paths as well, but they cannot
// call up into the tables that are built from them: each has a seam, and this file installs
// the tables' operations into them when the library starts (before main, or while the DLL is
// loaded), before any caller can reach them. The build links this file into the DLL and into
// every program that links the library statically.
#include "autocad/folder_expansion.h"
#include "config/folder_list.h"
#include "config/path_expansion.h"
#include "foundation/registry_expansion.h"
#include "variables/full_path_vars.h"
#include "variables/path_vars.h"

namespace {

// Through the compact path-variable table without aliases: values read are expanded, values
// set are stored with their variables (a folder given expanded gets its variable put back).
bool ConvertWithPathVariables(const std::wstring& value, bool expand, std::wstring& converted) {
    if (value.empty()) return false;
    std::wstring withVars, withoutVars;
    if (!tarvox::ExpandAndAbbreviate(withVars, withoutVars, value.c_str(), 0)) return false;
    if (expand) {
        converted = withoutVars;
    } else {
        converted =
            value.find(L'%') != std::wstring::npos ? withVars : tarvox::AbbreviatePath(value, 0);
    }
    return true;
}

struct LayerSeams {
    LayerSeams() {
        tarvox::SetRegistryExpansion(&ExpandPathVars);
        tarvox::SetFolderListConversion(&ConvertWithPathVariables);
        tarvox::SetPathExpansion(&tarvox::ExpandAndAbbreviate);
        tarvox::autocad::SetFullExpansion(&tarvox::ExpandAllPathVars);
    }
};

const LayerSeams g_layerSeams;

}  // namespace
