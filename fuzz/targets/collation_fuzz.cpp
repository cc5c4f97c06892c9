// The ASCII collation table and the one-pass sort of a section's entries. The character order
// comes from the input (a weight per character, equal weights allowed), so the table is tried
// with orders the real system never has; the sort is checked against inserting one by one.
// Learning a table asks the order about every character and pair of letters, far more work
// than using it: the tables learnt are kept by their weights, so that the many inputs that
// differ only in their names use the table learnt for the first of them.
#include "config/entry_order.h"
#include "foundation/ascii_collation.h"
#include "fuzz/targets/fuzz_input.h"

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace {

using Weights = std::array<unsigned char, 128>;
Weights g_weights;

// The input's weights for ASCII, code units above them, compared letter by letter.
tarvox::SortOrder InputOrder(std::wstring_view a, std::wstring_view b) {
    const auto weight = [](wchar_t ch) {
        return ch < 128 ? static_cast<unsigned>(g_weights[ch]) : 256u + static_cast<unsigned>(ch);
    };
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        if (weight(a[i]) != weight(b[i]))
            return weight(a[i]) < weight(b[i]) ? tarvox::SortOrder::Before
                                               : tarvox::SortOrder::After;
    }
    if (a.size() == b.size()) return tarvox::SortOrder::Equal;
    return a.size() < b.size() ? tarvox::SortOrder::Before : tarvox::SortOrder::After;
}

// The table of the current weights: learnt once, kept by its weights (the store is emptied when
// it grows large).
const tarvox::AsciiCollation& LearntCollation() {
    static std::map<Weights, tarvox::AsciiCollation> learnt;
    if (const auto found = learnt.find(g_weights); found != learnt.end()) return found->second;
    if (learnt.size() >= 4096) learnt.clear();
    return learnt.emplace(g_weights, tarvox::AsciiCollation(InputOrder)).first->second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 128) return 0;
    // Letters of both cases weigh the same, as in a case-ignoring order; the rest is free.
    for (int c = 0; c < 128; ++c) g_weights[c] = data[c];
    for (int c = 'A'; c <= 'Z'; ++c) g_weights[c] = g_weights[c + 32];
    const tarvox::AsciiCollation& collation = LearntCollation();
    // The stand-in for the system; the table must agree with it wherever it answers, as it
    // agrees with the real system.
    const auto system = InputOrder;
    const auto order = [&](std::wstring_view a, std::wstring_view b) {
        if (const auto answer = collation.Compare(a, b)) {
            if (*answer != system(a, b)) fuzz::Fail("table disagrees with the order it learnt");
            return *answer;
        }
        return system(a, b);
    };

    // The rest: names separated by newlines, at most kMaxNames of them. The sort and the model
    // are checked as well on a few dozen names as on thousands, and the model's one-by-one
    // insertion would otherwise spend most of the run on long inputs.
    constexpr std::size_t kMaxNames = 64;
    std::vector<std::wstring> names;
    std::wstring current;
    for (std::size_t i = 128; i < size; ++i) {
        if (data[i] == '\n') {
            if (names.size() + 1 == kMaxNames) break;
            names.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<wchar_t>(data[i]));
        }
    }
    names.push_back(current);

    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        const auto ab = collation.Compare(names[i], names[i + 1]);
        const auto ba = collation.Compare(names[i + 1], names[i]);
        if (ab.has_value() != ba.has_value()) fuzz::Fail("answered one way only");
        if (ab && ((*ab == tarvox::SortOrder::Before) != (*ba == tarvox::SortOrder::After)))
            fuzz::Fail("not antisymmetric");
        std::string keyA;
        std::string keyB;
        if (ab && collation.SortKey(names[i], keyA) && collation.SortKey(names[i + 1], keyB)) {
            const int c = keyA.compare(keyB);
            const auto byKey = c < 0   ? tarvox::SortOrder::Before
                               : c > 0 ? tarvox::SortOrder::After
                                       : tarvox::SortOrder::Equal;
            if (byKey != *ab) fuzz::Fail("sort keys disagree with the comparison");
        }
    }

    // The model: each name inserted behind the first of the names equal to it.
    std::vector<std::wstring> modelNames;
    std::vector<long long> modelLines;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::size_t index = 0;
        const bool found = tarvox::SearchSorted(
            modelNames.size(), [&](std::size_t k) { return order(names[i], modelNames[k]); },
            index);
        if (found) ++index;
        modelNames.insert(modelNames.begin() + static_cast<std::ptrdiff_t>(index), names[i]);
        modelLines.insert(modelLines.begin() + static_cast<std::ptrdiff_t>(index),
                          static_cast<long long>(i));
    }
    std::vector<std::wstring> sortedNames = names;
    std::vector<long long> sortedLines;
    for (std::size_t i = 0; i < names.size(); ++i) sortedLines.push_back(static_cast<long long>(i));
    tarvox::SortEntriesByName(
        sortedNames, sortedLines, order,
        [&](const std::wstring& name, std::string& key) { return collation.SortKey(name, key); });
    if (sortedLines != modelLines) fuzz::Fail("one-pass sort differs from inserting one by one");
    return 0;
}
