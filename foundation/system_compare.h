// The comparison behind FindSortedString: CompareStringW in the system default locale,
// case ignored.
#pragma once

#include "foundation/sorted_search.h"

#include <string>
#include <string_view>

namespace tarvox {

SortOrder CompareSystemIgnoringCase(std::wstring_view text, std::wstring_view element);

// The order of CompareSystemIgnoringCase for ordered containers; transparent, so that a
// lookup needs no copy of the text.
struct SystemNameLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const {
        return CompareSystemIgnoringCase(a, b) == SortOrder::Before;
    }
};

// A byte key of text whose plain comparison gives CompareSystemIgnoringCase's order, for
// texts of plain ASCII; false (no key) for any other text.
bool SystemSortKey(std::wstring_view text, std::string& key);

}  // namespace tarvox
