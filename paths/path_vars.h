// The compact path-variable table and expansion with it.
#pragma once

#include "paths/path_var_engine.h"

#include <string>
#include <vector>

// Builds the compact table (names sorted, first source wins). aliases = 1 adds the alias
// variables. Always returns 1.
int BuildPathVarTable(std::vector<std::wstring>& names, std::vector<std::wstring>& values,
                      int aliases);

// Expands the path variables of text into out with the compact table without aliases; a
// variable the table does not hold is removed. 0 for a null or empty text, else 1. text may
// be out's own character buffer.
int ExpandPathVars(const wchar_t* text, std::wstring& out);

namespace tarvox {

// The cached table that ExpandPathVars uses, built on first use and kept for the process.
const PathVarTable& ExpansionPathVarTable();

}  // namespace tarvox
