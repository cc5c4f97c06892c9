// The sorted order of a section's entries, built in one sort after loading.
#pragma once

#include "foundation/sorted_search.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace tarvox {

// Sorts names (with their lines alongside) into the order that inserting them one by one in
// file order would give: each name goes behind the first of the names equal to it. A run of
// equal names thus keeps its first member in front, followed by the others from the last one
// in the file to the second. order(a, b) tells where a sorts relative to b.
// keyOf(name, key) may give a byte key whose plain order is order's (false when it has none):
// names with keys are then compared by key, the others by order.
template <class Order, class KeyOf>
void SortEntriesByName(std::vector<std::wstring>& names, std::vector<long long>& lines, Order order,
                       KeyOf keyOf) {
    const std::size_t count = names.size();
    if (count < 2 || lines.size() != count) return;
    // All keys in one buffer; an entry names its slice, or has none.
    struct Entry {
        std::size_t index;
        std::size_t keyStart;
        std::size_t keySize;
        bool hasKey;
    };
    std::string keys;
    std::string key;
    std::vector<Entry> entries(count);
    for (std::size_t i = 0; i < count; ++i) {
        const bool hasKey = keyOf(names[i], key);
        entries[i] = {i, keys.size(), hasKey ? key.size() : 0, hasKey};
        if (hasKey) keys += key;
    }
    const auto compare = [&](const Entry& a, const Entry& b) {
        if (a.hasKey && b.hasKey) {
            const int c = std::string_view(keys)
                              .substr(a.keyStart, a.keySize)
                              .compare(std::string_view(keys).substr(b.keyStart, b.keySize));
            return c < 0 ? SortOrder::Before : c > 0 ? SortOrder::After : SortOrder::Equal;
        }
        return order(names[a.index], names[b.index]);
    };
    // Equal names keep their file order (the index decides), as a stable sort would.
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        const SortOrder o = compare(a, b);
        return o == SortOrder::Before || (o == SortOrder::Equal && a.index < b.index);
    });
    for (std::size_t start = 0; start < count;) {
        std::size_t end = start + 1;
        while (end < count && compare(entries[start], entries[end]) == SortOrder::Equal) ++end;
        if (end - start > 2) {
            std::reverse(entries.begin() + static_cast<std::ptrdiff_t>(start + 1),
                         entries.begin() + static_cast<std::ptrdiff_t>(end));
        }
        start = end;
    }
    std::vector<std::wstring> sortedNames;
    std::vector<long long> sortedLines;
    sortedNames.reserve(count);
    sortedLines.reserve(count);
    for (const Entry& entry : entries) {
        sortedNames.push_back(std::move(names[entry.index]));
        sortedLines.push_back(lines[entry.index]);
    }
    names = std::move(sortedNames);
    lines = std::move(sortedLines);
}

}  // namespace tarvox
