// The path-variable engine as the configuration store hands it out.
#include <tarvox/config.h>

#include "config/path_expansion.h"
#include "foundation/boundary.h"

namespace {

tarvox::PathExpansion g_expansion = nullptr;

}  // namespace

namespace tarvox {

void SetPathExpansion(PathExpansion expansion) { g_expansion = expansion; }

}  // namespace tarvox

int CCfgReader::GetPathWithoutVars(std::wstring& withVars, std::wstring& withoutVars,
                                   const wchar_t* path, int aliases) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, withVars, withoutVars), [&]() -> int {
        return g_expansion != nullptr ? g_expansion(withVars, withoutVars, path, aliases) : 0;
    });
}
