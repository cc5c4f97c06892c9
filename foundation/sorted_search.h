// The binary search behind every sorted string array of the library, independent of how two
// texts are compared: the Windows build compares with CompareStringW, other builds pass their
// own comparison.
#pragma once

#include <cstddef>

namespace tarvox {

enum class SortOrder { Before, Equal, After, Failed };

// compare(i) tells where the searched text sorts relative to element i.
// Found: true, index = first element of the run of equal elements.
// Not found: false, index = insertion position that keeps the array sorted (or the low bound
// reached when a comparison fails).
template <class CompareAt>
bool SearchSorted(std::size_t count, CompareAt compare, std::size_t& index) {
    index = 0;
    if (count == 0) return false;

    std::size_t low = 0;
    std::size_t high = count - 1;
    bool found = false;
    while (low != high) {
        const std::size_t middle = (low + high) / 2;
        const SortOrder order = compare(middle);
        if (order == SortOrder::Before) {
            high = middle;
        } else if (order == SortOrder::After) {
            low = (middle == low) ? low + 1 : middle;
        } else if (order == SortOrder::Equal) {
            index = middle;
            found = true;
            break;
        } else {
            index = low;
            return false;
        }
    }
    if (!found) {
        const SortOrder order = compare(low);
        if (order == SortOrder::Equal) {
            index = low;
            found = true;
        } else {
            index = (order == SortOrder::After) ? low + 1 : low;
            return false;
        }
    }
    // Step back to the first of a run of equal elements.
    while (index > 0 && compare(index - 1) == SortOrder::Equal) --index;
    return true;
}

}  // namespace tarvox
