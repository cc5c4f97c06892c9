// The comparison behind FindSortedString: CompareStringW in the system default locale,
// case ignored.
#pragma once

#include "foundation/sorted_search.h"

#include <string_view>

namespace tarvox {

SortOrder CompareSystemIgnoringCase(std::wstring_view text, std::wstring_view element);

}  // namespace tarvox
