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

// The cached compact table with (aliases = 1) or without the alias variables.
const PathVarTable& CompactPathVarTable(int aliases);

// The expanded path with variables put back in front, with the cached table.
std::wstring AbbreviatePath(const std::wstring& expanded, int aliases);

// Expands path into withoutVars with the cached compact table (with the alias variables when
// aliases is 1) and, when path holds a percent sign, writes the re-abbreviated form into
// withVars. 0 for a null or empty path, else 1.
int ExpandAndAbbreviate(std::wstring& withVars, std::wstring& withoutVars, const wchar_t* path,
                        int aliases);

}  // namespace tarvox
