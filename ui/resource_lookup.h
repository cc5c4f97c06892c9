// Finding a resource of a module by name and type.
#pragma once

#include <windows.h>

#include <string_view>

namespace tarvox::ui {

// The resource's bytes inside the module (valid while the module is loaded), or a view with
// a null data pointer when it is missing. A null, empty or "RCDATA" type (any case) means
// raw data (RT_RCDATA).
std::string_view FindResourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type);

}  // namespace tarvox::ui
