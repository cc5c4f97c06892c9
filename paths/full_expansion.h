// Expansion with the full path-variable table: rows in a fixed order, the first row whose name
// matches wins, a variable in no row stays. Pure text processing: no system calls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvox {

// Most characters an expansion may add to its input; callers size their buffers by it.
inline constexpr std::size_t kFullExpansionGrowth = 512;

// Replaces the variables of text by the values of the first row with that name (case
// ignored, names with their percent signs). A leading ".\" has its dot replaced by
// programFolder. The result is cut so that it is at most kFullExpansionGrowth characters
// longer than the text (after the ".\" replacement).
std::wstring ExpandWithRows(std::wstring_view text, const std::vector<std::wstring>& names,
                            const std::vector<std::wstring>& values,
                            std::wstring_view programFolder);

}  // namespace tarvox
