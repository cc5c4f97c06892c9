#include "paths/path_var_engine.h"

namespace tarvox {

bool FindPathVar(const PathVarTable& table, std::wstring_view name, NameOrder order,
                 std::size_t& index) {
    return SearchSorted(
        table.names.size(), [&](std::size_t i) { return order(name, table.names[i]); }, index);
}

bool AddPathVar(PathVarTable& table, std::wstring_view name, std::wstring_view value,
                NameOrder order) {
    std::size_t index = 0;
    if (FindPathVar(table, name, order, index)) return false;
    table.names.emplace(table.names.begin() + static_cast<std::ptrdiff_t>(index), name);
    table.values.emplace(table.values.begin() + static_cast<std::ptrdiff_t>(index), value);
    return true;
}

std::wstring ExpandWithTable(std::wstring_view text, const PathVarTable& table, NameOrder order) {
    std::wstring result;
    result.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t open = text.find(L'%', position);
        if (open == std::wstring_view::npos) break;
        const std::size_t close = text.find(L'%', open + 1);
        if (close == std::wstring_view::npos) break;
        result.append(text.substr(position, open - position));
        const std::wstring_view token = text.substr(open, close - open + 1);
        std::size_t index = 0;
        if (FindPathVar(table, token, order, index)) result.append(table.values[index]);
        position = close + 1;
    }
    result.append(text.substr(position < text.size() ? position : text.size()));
    return result;
}

}  // namespace tarvox
