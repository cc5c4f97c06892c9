#include "foundation/text_compare.h"

#include <windows.h>

namespace tarvox {

namespace {

bool OrdinalEqual(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool EqualsIgnoringCaseOrdinal(std::wstring_view a, std::wstring_view b) {
    return OrdinalEqual(a, b);
}

bool StartsWithIgnoringCaseOrdinal(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && OrdinalEqual(text.substr(0, prefix.size()), prefix);
}

}  // namespace tarvox
