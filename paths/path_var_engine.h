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

}  // namespace tarvox
