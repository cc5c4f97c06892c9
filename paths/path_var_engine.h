// The text side of path-variable expansion: a sorted table of "%NAME%" variables and the
// replacement of tokens by their values. Nothing here calls the system; the order of names
// is supplied by the caller (the Windows build uses the system's case-insensitive order).
#pragma once

#include "foundation/sorted_search.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvox {

// Tells where text sorts relative to element.
using NameOrder = SortOrder (*)(std::wstring_view text, std::wstring_view element);

// Two parallel arrays, names in ascending order under the table's NameOrder. Names include
// their percent signs.
struct PathVarTable {
    std::vector<std::wstring> names;
    std::vector<std::wstring> values;

    void Clear() {
        names.clear();
        values.clear();
    }
};

bool FindPathVar(const PathVarTable& table, std::wstring_view name, NameOrder order,
                 std::size_t& index);

// Inserts the variable at its sorted position unless the name is already present: the first
// source that supplies a name wins. Returns true when it was added.
bool AddPathVar(PathVarTable& table, std::wstring_view name, std::wstring_view value,
                NameOrder order);

// Replaces every "%NAME%" token by its value; tokens that the table does not hold are
// deleted. Values are not scanned again. A lone percent sign and what follows it stay.
std::wstring ExpandWithTable(std::wstring_view text, const PathVarTable& table, NameOrder order);

// Table indices ordered by ascending value length; among values of equal length the later
// table entry comes first, so that visiting from the end gives the longest values first and
// equal lengths in table order.
std::vector<std::size_t> BuildLengthIndex(const PathVarTable& table);

// Puts variables back in front of an expanded path: from the longest value down, a value that
// begins the text (or the text after a leading double quote) is replaced by its name. Every
// entry is tried on the result of the replacements before it.
std::wstring AbbreviateWithTable(std::wstring_view expanded, const PathVarTable& table,
                                 const std::vector<std::size_t>& lengthIndex, NameOrder order);

}  // namespace tarvox
