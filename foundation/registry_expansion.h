// The expansion of the REG_EXPAND_SZ data that QueryRegValue hands out. It is done with the
// compact path-variable table, which is built far above the registry access (from
// configurations, product folders and AutoCAD's keys, all read through it), so the layer that
// builds the table installs the expansion when the library starts.
#pragma once

#include <string>

namespace tarvox {

// Writes text with its variables expanded into out.
using RegistryExpansion = int (*)(const wchar_t* text, std::wstring& out);

// Null until installed: the data is then handed out as stored.
void SetRegistryExpansion(RegistryExpansion expansion);

}  // namespace tarvox
