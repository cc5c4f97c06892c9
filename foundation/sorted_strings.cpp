#include <tarvox/registry.h>

#include "foundation/ascii_collation.h"
#include "foundation/boundary.h"
#include "foundation/text_compare.h"

namespace tarvox {
namespace {

// The system default locale, as every sorted array of the library uses it.
constexpr LCID kSystemDefaultLocale = 0x0800;

SortOrder CompareWithSystem(std::wstring_view text, std::wstring_view element) {
    switch (CompareStringW(kSystemDefaultLocale, NORM_IGNORECASE, text.data(),
                           static_cast<int>(text.size()), element.data(),
                           static_cast<int>(element.size()))) {
        case CSTR_LESS_THAN: return SortOrder::Before;
        case CSTR_EQUAL: return SortOrder::Equal;
        case CSTR_GREATER_THAN: return SortOrder::After;
        default: return SortOrder::Failed;
    }
}

}  // namespace

// Most names are plain ASCII: their order comes from a table learnt from the system once per
// process, a comparison of a few nanoseconds instead of a trip through the system's collation.
const AsciiCollation& SystemAsciiCollation() {
    static const AsciiCollation collation(CompareWithSystem);
    return collation;
}

SortOrder CompareSystemIgnoringCase(std::wstring_view text, std::wstring_view element) {
    if (const std::optional<SortOrder> order = SystemAsciiCollation().Compare(text, element)) {
        return *order;
    }
    return CompareWithSystem(text, element);
}

bool SystemSortKey(std::wstring_view text, std::string& key) {
    return SystemAsciiCollation().SortKey(text, key);
}

}  // namespace tarvox

int FindSortedString(const wchar_t* text, const std::vector<std::wstring>& sorted,
                     long long& index) {
    return tarvox::GuardOr(
        [&]() noexcept {
            index = 0;
            return 0;
        },
        [&]() -> int {
            const std::wstring_view needle = text ? std::wstring_view(text) : std::wstring_view();
            std::size_t position = 0;
            const bool found = tarvox::SearchSorted(
                sorted.size(),
                [&](std::size_t i) { return tarvox::CompareSystemIgnoringCase(needle, sorted[i]); },
                position);
            index = static_cast<long long>(position);
            return found ? 1 : 0;
        });
}
