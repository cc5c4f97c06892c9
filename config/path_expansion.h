// CCfgReader::GetPathWithoutVars hands out the expansion of the compact path-variable table.
// That table is built above the configuration store (from configurations among others), so
// the layer that builds it installs the expansion when the library starts.
#pragma once

#include <string>

namespace tarvox {

// Expands path into withoutVars (with the alias variables when aliases is 1) and, when path
// holds a percent sign, writes the re-abbreviated form into withVars.
using PathExpansion = int (*)(std::wstring& withVars, std::wstring& withoutVars,
                              const wchar_t* path, int aliases);

// Null until installed: GetPathWithoutVars then returns 0 and leaves its outputs as they are.
void SetPathExpansion(PathExpansion expansion);

}  // namespace tarvox
