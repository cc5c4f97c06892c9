#include "paths/path_var_engine.h"

#include <algorithm>

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

std::vector<std::size_t> BuildLengthIndex(const PathVarTable& table) {
    std::vector<std::size_t> index(table.values.size());
    for (std::size_t i = 0; i < index.size(); ++i) index[i] = i;
    std::sort(index.begin(), index.end(), [&](std::size_t a, std::size_t b) {
        const std::size_t la = table.values[a].size();
        const std::size_t lb = table.values[b].size();
        return la != lb ? la < lb : a > b;
    });
    return index;
}

std::wstring AbbreviateWithTable(std::wstring_view expanded, const PathVarTable& table,
                                 const std::vector<std::size_t>& lengthIndex, NameOrder order) {
    std::wstring text(expanded);
    for (auto it = lengthIndex.rbegin(); it != lengthIndex.rend(); ++it) {
        const std::wstring& value = table.values[*it];
        if (value.empty()) continue;  // an empty value would match every text
        const std::size_t start = (!text.empty() && text.front() == L'"') ? 1 : 0;
        auto beginsWith = [&](std::size_t at) {
            return text.size() - at >= value.size() &&
                   order(std::wstring_view(text).substr(at, value.size()), value) ==
                       SortOrder::Equal;
        };
        if (start == 1 && beginsWith(1)) {
            text.replace(1, value.size(), table.names[*it]);
        } else if (beginsWith(0)) {
            text.replace(0, value.size(), table.names[*it]);
        }
    }
    return text;
}

}  // namespace tarvox
