#include "foundation/ascii_collation.h"

#include <algorithm>
#include <vector>

namespace tarvox {

AsciiCollation::AsciiCollation(TextOrder textOrder) {
    const auto order = [textOrder](wchar_t a, wchar_t b) {
        return textOrder(std::wstring_view(&a, 1), std::wstring_view(&b, 1));
    };
    m_weight.fill(kNoWeight);
    std::vector<wchar_t> chars;
    for (wchar_t c = 0x20; c < 0x7F; ++c) {
        if (c != L'-' && c != L'\'') chars.push_back(c);
    }
    // Binary insertion with the system's order: few comparisons, and an order that answers
    // inconsistently cannot lead it astray (the checks below then leave the table empty). A
    // failed comparison leaves the table empty at once, and every comparison goes to the system.
    std::vector<wchar_t> sorted;
    for (const wchar_t c : chars) {
        std::size_t low = 0;
        std::size_t high = sorted.size();
        while (low < high) {
            const std::size_t middle = (low + high) / 2;
            const SortOrder o = order(c, sorted[middle]);
            if (o == SortOrder::Failed) return;
            if (o == SortOrder::Before) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(low), c);
    }
    std::array<std::uint8_t, kRange> weight{};
    weight.fill(kNoWeight);
    std::uint8_t next = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0) {
            const SortOrder o = order(sorted[i - 1], sorted[i]);
            if (o == SortOrder::Before) {
                ++next;
            } else if (o != SortOrder::Equal) {
                return;
            }
        }
        weight[sorted[i]] = next;
    }
    // Only letters may share a weight, and only with their other case: anything else means
    // the system's order is not the simple one this class assumes.
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        if (weight[sorted[i]] != weight[sorted[i - 1]]) continue;
        const wchar_t a = sorted[i - 1] | 0x20;
        const wchar_t b = sorted[i] | 0x20;
        if (a != b || a < L'a' || a > L'z') return;
    }
    // Pairs of letters must compare letter by letter: "xy" before "x" followed by the last
    // letter, for every y before that letter.
    wchar_t lastLetter = L'a';
    for (wchar_t x = L'a'; x <= L'z'; ++x) {
        if (weight[x] > weight[lastLetter]) lastLetter = x;
    }
    for (wchar_t x = L'a'; x <= L'z'; ++x) {
        for (wchar_t y = L'a'; y <= L'z'; ++y) {
            if (weight[y] == weight[lastLetter]) continue;
            const wchar_t pair[] = {x, y};
            const wchar_t last[] = {x, lastLetter};
            if (textOrder(std::wstring_view(pair, 2), std::wstring_view(last, 2)) !=
                SortOrder::Before)
                return;
        }
    }
    m_weight = weight;
}

bool AsciiCollation::SortKey(std::wstring_view text, std::string& key) const {
    key.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!Covers(text[i])) return false;
        key[i] = static_cast<char>(m_weight[text[i]]);
    }
    return true;
}

std::optional<SortOrder> AsciiCollation::Compare(std::wstring_view text,
                                                 std::wstring_view element) const {
    // Only texts covered to their ends are answered here: a later character without a weight
    // could still change the system's answer (an ignored hyphen does not, a diacritic level
    // could), even after the texts have differed.
    const auto coveredFrom = [this](std::wstring_view part, std::size_t start) {
        for (std::size_t k = start; k < part.size(); ++k) {
            if (!Covers(part[k])) return false;
        }
        return true;
    };
    const std::size_t common = std::min(text.size(), element.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t a = text[i];
        const wchar_t b = element[i];
        if (!Covers(a) || !Covers(b)) return std::nullopt;
        if (m_weight[a] != m_weight[b]) {
            if (!coveredFrom(text, i + 1) || !coveredFrom(element, i + 1)) return std::nullopt;
            return m_weight[a] < m_weight[b] ? SortOrder::Before : SortOrder::After;
        }
    }
    if (!coveredFrom(text, common) || !coveredFrom(element, common)) return std::nullopt;
    if (text.size() == element.size()) return SortOrder::Equal;
    return text.size() < element.size() ? SortOrder::Before : SortOrder::After;
}

}  // namespace tarvox
