// The path-variable engine as the configuration store hands it out.
#include <tarvox/config.h>

#include "variables/path_vars.h"

int CCfgReader::GetPathWithoutVars(std::wstring& withVars, std::wstring& withoutVars, const wchar_t* path,
                                   int aliases) {
    return tarvox::ExpandAndAbbreviate(withVars, withoutVars, path, aliases);
}
