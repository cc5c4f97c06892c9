// The path-variable engine as the configuration store hands it out.
#include <tarvox/config.h>

#include "paths/path_vars.h"
#include "foundation/boundary.h"

int CCfgReader::GetPathWithoutVars(std::wstring& withVars, std::wstring& withoutVars, const wchar_t* path,
                                   int aliases) {
    return tarvox::GuardOr([&]() noexcept { withVars.clear(); withoutVars.clear(); return 0; }, [&]() -> int {
        return tarvox::ExpandAndAbbreviate(withVars, withoutVars, path, aliases);
    });
}
