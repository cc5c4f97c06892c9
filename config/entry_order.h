// The sorted order of a section's entries, built in one sort after loading.
#pragma once

#include "foundation/sorted_search.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace tarvox {

// Sorts names (with their lines alongside) into the order that inserting them one by one in
// file order would give: each name goes behind the first of the names equal to it. A run of
// equal names thus keeps its first member in front, followed by the others from the last one
// in the file to the second. order(a, b) tells where a sorts relative to b.
template <class Order>
void SortEntriesByName(std::vector<std::wstring>& names, std::vector<long long>& lines, Order order) {
    const std::size_t count = names.size();
    if (count < 2 || lines.size() != count) return;
    std::vector<std::size_t> permutation(count);
    std::iota(permutation.begin(), permutation.end(), std::size_t{0});
    std::stable_sort(permutation.begin(), permutation.end(), [&](std::size_t a, std::size_t b) {
        return order(names[a], names[b]) == SortOrder::Before;
    });
    for (std::size_t start = 0; start < count;) {
        std::size_t end = start + 1;
        while (end < count && order(names[permutation[start]], names[permutation[end]]) == SortOrder::Equal) {
            ++end;
        }
        if (end - start > 2) std::reverse(permutation.begin() + static_cast<std::ptrdiff_t>(start + 1),
                                          permutation.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
    }
    std::vector<std::wstring> sortedNames;
    std::vector<long long> sortedLines;
    sortedNames.reserve(count);
    sortedLines.reserve(count);
    for (const std::size_t i : permutation) {
        sortedNames.push_back(std::move(names[i]));
        sortedLines.push_back(lines[i]);
    }
    names = std::move(sortedNames);
    lines = std::move(sortedLines);
}

}  // namespace tarvox
