// CCfgReader: new entries of existing sections, kept aside and placed among the lines in one
// pass when the lines or indexes are next needed.
//
// Placing an entry at once puts its line right after the section's header, which moves every
// later line and adds one to every stored index behind it: n new entries cost n times the
// file. Kept aside, they are placed together, with the result of placing them one by one:
// the newest entry first after the header, every name at its sorted position.
#include <tarvox/config.h>

#include "foundation/text_compare.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <string_view>

using NameLess = tarvox::SystemNameLess;

struct CCfgReader::PendingEntries {
    struct Section {
        std::vector<std::wstring> names;   // in the order they were added
        std::vector<std::wstring> values;  // alongside
        std::map<std::wstring, std::size_t, NameLess> byName;
    };
    // By sorted section position: sections are only added after the pending entries have
    // been placed, so positions stay valid while entries wait.
    std::map<std::size_t, Section> sections;
};

void CCfgReader::PendingEntriesDeleter::operator()(PendingEntries* pending) const {
    delete pending;
}

bool CCfgReader::FindPendingValue(std::size_t section, const wchar_t* name,
                                  std::wstring& value) const {
    if (!m_Pending || name == nullptr) return false;
    const auto found = m_Pending->sections.find(section);
    if (found == m_Pending->sections.end()) return false;
    const auto entry = found->second.byName.find(std::wstring_view(name));
    if (entry == found->second.byName.end()) return false;
    value = found->second.values[entry->second];
    return true;
}

void CCfgReader::AddPendingValue(std::size_t section, const wchar_t* name,
                                 const std::wstring& value) {
    if (!m_Pending) m_Pending.reset(new PendingEntries);
    PendingEntries::Section& pending = m_Pending->sections[section];
    const std::wstring_view key(name);
    const auto at = pending.byName.lower_bound(key);
    if (at != pending.byName.end() && !NameLess{}(key, at->first)) {
        pending.values[at->second] = value;
    } else {
        pending.byName.emplace_hint(at, std::wstring(key), pending.names.size());
        pending.names.emplace_back(key);
        pending.values.push_back(value);
    }
    m_HasChanged = 1;
}

void CCfgReader::PlacePendingEntries() {
    if (!m_Pending || m_Pending->sections.empty()) {
        m_Pending.reset();
        return;
    }
    const std::unique_ptr<PendingEntries, PendingEntriesDeleter> pending = std::move(m_Pending);

    // Where the new lines go: after each section's (first) header line.
    struct Insertion {
        long long header;
        PendingEntries::Section* entries;
        std::size_t section;
    };
    std::vector<Insertion> insertions;
    for (auto& [section, entries] : pending->sections) {
        insertions.push_back({m_KeySortedIndex[section], &entries, section});
    }
    std::sort(insertions.begin(), insertions.end(),
              [](const Insertion& a, const Insertion& b) { return a.header < b.header; });
    // shiftAfter[k]: lines inserted behind the first k + 1 headers.
    std::vector<long long> headers;
    std::vector<long long> shiftAfter;
    long long total = 0;
    for (const Insertion& insertion : insertions) {
        total += static_cast<long long>(insertion.entries->names.size());
        headers.push_back(insertion.header);
        shiftAfter.push_back(total);
    }
    const auto moved = [&](long long line) {
        const auto before = std::lower_bound(headers.begin(), headers.end(), line) - headers.begin();
        return before == 0 ? line : line + shiftAfter[static_cast<std::size_t>(before - 1)];
    };

    std::vector<std::wstring> data;
    data.reserve(m_Data.size() + static_cast<std::size_t>(total));
    std::size_t next = 0;
    for (std::size_t line = 0; line < m_Data.size(); ++line) {
        data.push_back(std::move(m_Data[line]));
        while (next < insertions.size() && insertions[next].header == static_cast<long long>(line)) {
            const PendingEntries::Section& entries = *insertions[next].entries;
            for (std::size_t k = entries.names.size(); k-- > 0;) {
                data.push_back(entries.names[k] + L"=" + entries.values[k]);
            }
            ++next;
        }
    }
    m_Data = std::move(data);

    for (long long& line : m_KeySortedIndex) line = moved(line);
    for (long long& line : m_KeyIndex) line = moved(line);
    for (std::size_t section = 0; section < m_KeyStrings.size(); ++section) {
        for (long long& line : SortedLines(section)) line = moved(line);
        for (long long& line : FileOrderLines(section)) line = moved(line);
    }

    for (const Insertion& insertion : insertions) {
        const std::size_t section = insertion.section;
        const auto& names = insertion.entries->names;
        const long long header = moved(insertion.header);
        const auto count = static_cast<long long>(names.size());
        // File order: the newest entry right after the header.
        IndexArray fileOrder;
        fileOrder.reserve(names.size() + FileOrderLines(section).size());
        for (long long k = 1; k <= count; ++k) fileOrder.push_back(header + k);
        fileOrder.insert(fileOrder.end(), FileOrderLines(section).begin(), FileOrderLines(section).end());
        FileOrderLines(section) = std::move(fileOrder);

        // Sorted order: the new names (none equal to an old one or to each other) merged in.
        std::vector<std::size_t> order(names.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return NameLess{}(names[a], names[b]); });
        NameArray& oldNames = SortedNames(section);
        IndexArray& oldLines = SortedLines(section);
        NameArray mergedNames;
        IndexArray mergedLines;
        mergedNames.reserve(oldNames.size() + names.size());
        mergedLines.reserve(oldNames.size() + names.size());
        std::size_t old = 0;
        for (const std::size_t k : order) {
            while (old < oldNames.size() && NameLess{}(oldNames[old], names[k])) {
                mergedNames.push_back(std::move(oldNames[old]));
                mergedLines.push_back(oldLines[old]);
                ++old;
            }
            mergedNames.push_back(names[k]);
            // The k-th entry added sits count - k lines below the header.
            mergedLines.push_back(header + count - static_cast<long long>(k));
        }
        for (; old < oldNames.size(); ++old) {
            mergedNames.push_back(std::move(oldNames[old]));
            mergedLines.push_back(oldLines[old]);
        }
        oldNames = std::move(mergedNames);
        oldLines = std::move(mergedLines);
    }
}
