// Comparing text with case ignored. Names of products, profiles, keys and variables ignore case
// throughout the library; which of these four kinds a comparison uses depends on the data:
//
// - ASCII (EqualsIgnoringAsciiCase and its relatives): only A-Z and a-z are folded. For names
//   the library itself spells in plain ASCII and looks for in other text: registry root names
//   and prefixes, value, section and file names, markers such as "True" and "REGEDIT4", product
//   and edition names, AutoCAD's product names, families, releases and product key names. No
//   system call, so the text code that uses it builds anywhere.
// - Character by character (CompareIgnoringCaseByCharacter, StartsWithIgnoringCaseByCharacter):
//   each character lowered with the C runtime's towlower. The collections of AutoCAD products,
//   profiles and workspaces, and the names of the full path-variable table.
// - Ordinal (EqualsIgnoringCaseOrdinal, StartsWithIgnoringCaseOrdinal): the system's
//   locale-independent comparison (CompareStringOrdinal, case ignored). Text read from files
//   and documents: configuration lines, entry names and values, XML node names, resource types.
// - System locale (CompareSystemIgnoringCase, SystemNameLess): CompareStringW in the system
//   default locale with case ignored. Every sorted string array (FindSortedString): sections
//   and entries of a configuration, the path-variable tables (and the folders they put back
//   into paths), the known-folder index, the lists of workspaces and partial menus, AutoCAD's
//   product sort keys; and texts that meet such lists, such as workspace names and folders.
#pragma once

#include "foundation/sorted_search.h"

#include <cstddef>
#include <cwctype>
#include <string>
#include <string_view>

namespace tarvox {

// ASCII.

constexpr wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

constexpr bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

constexpr bool StartsWithIgnoringAsciiCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

constexpr bool EndsWithIgnoringAsciiCase(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

// True when part occurs in text (always for an empty part).
constexpr bool ContainsIgnoringAsciiCase(std::wstring_view text, std::wstring_view part) {
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        if (StartsWithIgnoringAsciiCase(text.substr(i), part)) return true;
    }
    return false;
}

// Character by character.

// Compares the lowered characters in turn, then the lengths: -1, 0 or 1.
inline int CompareIgnoringCaseByCharacter(std::wstring_view a, std::wstring_view b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const wint_t x = std::towlower(a[i]);
        const wint_t y = std::towlower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

inline bool StartsWithIgnoringCaseByCharacter(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           CompareIgnoringCaseByCharacter(text.substr(0, prefix.size()), prefix) == 0;
}

// Ordinal.

bool EqualsIgnoringCaseOrdinal(std::wstring_view a, std::wstring_view b);
bool StartsWithIgnoringCaseOrdinal(std::wstring_view text, std::wstring_view prefix);

// System locale.

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
