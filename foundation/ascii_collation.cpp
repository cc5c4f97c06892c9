#include "foundation/ascii_collation.h"

#include <algorithm>
#include <vector>

namespace tarvox {

AsciiCollation::AsciiCollation(CharOrder order) {
    m_weight.fill(kNoWeight);
    std::vector<wchar_t> chars;
    for (wchar_t c = 0x20; c < 0x7F; ++c) {
        if (c != L'-' && c != L'\'') chars.push_back(c);
    }
    // Insertion sort with the system's order: a failed or inconsistent comparison leaves the
    // table empty, and every comparison then goes to the system.
    std::vector<wchar_t> sorted;
    for (const wchar_t c : chars) {
        auto at = sorted.begin();
        while (at != sorted.end()) {
            const SortOrder o = order(c, *at);
            if (o == SortOrder::Failed) return;
            if (o == SortOrder::Before) break;
            ++at;
        }
        sorted.insert(at, c);
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
    const std::size_t common = std::min(text.size(), element.size());
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t a = text[i];
        const wchar_t b = element[i];
        if (!Covers(a) || !Covers(b)) return std::nullopt;
        if (m_weight[a] != m_weight[b]) {
            // The texts differ here, but a later character without a weight could still
            // change the system's answer (an ignored hyphen does not, a diacritic level could):
            // only texts covered to their ends are answered here.
            for (std::size_t k = i + 1; k < text.size(); ++k) {
                if (!Covers(text[k])) return std::nullopt;
            }
            for (std::size_t k = i + 1; k < element.size(); ++k) {
                if (!Covers(element[k])) return std::nullopt;
            }
            return m_weight[a] < m_weight[b] ? SortOrder::Before : SortOrder::After;
        }
    }
    for (std::size_t k = common; k < text.size(); ++k) {
        if (!Covers(text[k])) return std::nullopt;
    }
    for (std::size_t k = common; k < element.size(); ++k) {
        if (!Covers(element[k])) return std::nullopt;
    }
    if (text.size() == element.size()) return SortOrder::Equal;
    return text.size() < element.size() ? SortOrder::Before : SortOrder::After;
}

}  // namespace tarvox
