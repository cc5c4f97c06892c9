// A fast path for the system's case-insensitive comparison of plain ASCII names.
//
// For printable ASCII text the system's linguistic order (case ignored) is a lexicographic
// order of one weight per character, the shorter text first when one is a prefix of the other.
// The two characters that word sort treats specially, hyphen and apostrophe, are left out, as
// is every other character: texts holding them are compared by the system. The weights are
// learnt once from the system's own order of the single characters, so that the fast path
// gives the very answer the system would.
#pragma once

#include "foundation/sorted_search.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvox {

class AsciiCollation {
public:
    // order(a, b) compares two texts the way the system does; it is asked about single
    // characters and about pairs of letters (a locale whose order joins two letters into one,
    // such as "ch" in Czech, is not a simple order, and the table then stays empty).
    using TextOrder = SortOrder (*)(std::wstring_view a, std::wstring_view b);
    explicit AsciiCollation(TextOrder order);

    // The order of text relative to element when both consist of characters with a weight;
    // nothing when either holds another character (or the weights could not be learnt).
    std::optional<SortOrder> Compare(std::wstring_view text, std::wstring_view element) const;

    // The weights of text, one byte per character, when every character has one: such keys
    // compare (as byte strings) exactly as Compare compares their texts.
    bool SortKey(std::wstring_view text, std::string& key) const;

    // Whether c has a weight of its own.
    bool Covers(wchar_t c) const { return c < kRange && m_weight[c] != kNoWeight; }

private:
    static constexpr wchar_t kRange = 0x80;
    static constexpr std::uint8_t kNoWeight = 0xFF;
    std::array<std::uint8_t, kRange> m_weight{};
};

}  // namespace tarvox
