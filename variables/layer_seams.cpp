// The layers below the path-variable tables hand out expanded paths as well, but they cannot
// call up into the tables that are built from them: each has a seam, and this file installs
// the tables' operations into them when the library starts (before main, or while the DLL is
// loaded), before any caller can reach them. The build links this file into the DLL and into
// every program that links the library statically.
#include "foundation/registry_expansion.h"
#include "variables/path_vars.h"

namespace {

struct LayerSeams {
    LayerSeams() { tarvox::SetRegistryExpansion(&ExpandPathVars); }
};

const LayerSeams g_layerSeams;

}  // namespace
