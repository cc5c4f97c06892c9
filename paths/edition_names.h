// Edition-neutral names of the main product mapped to the names of the edition in use.
#pragma once

#include <string>
#include <string_view>

// Maps text (configuration names, variable names, product names, help files) to the edition in
// use. text and out may be the same string. Returns out's characters.
const wchar_t* MapEditionName(const wchar_t* text, std::wstring& out);
// Maps a string in place; an empty string stays as it is.
void MapEditionName(std::wstring& text);
// Maps into the next of 500 result strings used in rotation; a result stays valid for the next
// 499 calls. Null for a null text.
const wchar_t* MapEditionName(const wchar_t* text);

namespace tarvox {

// The mapping for a given edition code and product name text, without asking the system.
std::wstring MapEditionNameFor(std::wstring_view text, int edition, std::wstring_view productName);

}  // namespace tarvox
