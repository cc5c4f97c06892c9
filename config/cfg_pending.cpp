// CCfgReader: new entries of existing sections, kept aside and placed among the lines in one
// pass when the lines or indexes are next needed.
//
// Placing an entry at once puts its line right after the section's header, which moves every
// later line and adds one to every stored index behind it: n new entries cost n times the
// file. Kept aside, they are placed together, with the result of placing them one by one:
// the newest entry first after the header, every name at its sorted position.
#include <tarvox/config.h>

#include "foundation/system_compare.h"

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
        // Made and given room first: the three stay in step whatever fails.
        std::wstring newName(key);
        std::wstring newValue(value);
        pending.names.reserve(pending.names.size() + 1);
        pending.values.reserve(pending.values.size() + 1);
        pending.byName.emplace_hint(at, std::wstring(key), pending.names.size());
        pending.names.push_back(std::move(newName));
        pending.values.push_back(std::move(newValue));
    }
    m_HasChanged = 1;
}

void CCfgReader::PlacePendingEntries() {
    if (!m_Pending || m_Pending->sections.empty()) {
        m_Pending.reset();
        return;
    }
    // Everything that can fail (every allocation) is done first, into new arrays, while the
    // reader is left as it is; the reader then takes them over by moves that cannot fail. A
    // failure thus leaves the lines and indexes whole and the entries still waiting.

    // Where the new lines go: after each section's (first) header line.
    struct Insertion {
        long long header;
        const PendingEntries::Section* entries;
        std::size_t section;
        std::vector<std::wstring> lines;  // the new lines, newest first
        IndexArray fileOrder;
        NameArray newNames;               // the new names, to be moved into sortedNames
        NameArray sortedNames;            // room only, filled when the reader takes over
        IndexArray sortedLines;
        std::vector<long long> source;    // per sorted position: old index, or -1 - new index
    };
    std::vector<Insertion> insertions;
    insertions.reserve(m_Pending->sections.size());
    for (const auto& [section, entries] : m_Pending->sections) {
        insertions.push_back({m_KeySortedIndex[section], &entries, section, {}, {}, {}, {}, {}, {}});
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

    for (Insertion& insertion : insertions) {
        const std::size_t section = insertion.section;
        const auto& names = insertion.entries->names;
        const auto& values = insertion.entries->values;
        const long long header = moved(insertion.header);
        const auto count = static_cast<long long>(names.size());
        for (std::size_t k = names.size(); k-- > 0;) insertion.lines.push_back(names[k] + L"=" + values[k]);
        // File order: the newest entry right after the header.
        insertion.fileOrder.reserve(names.size() + FileOrderLines(section).size());
        for (long long k = 1; k <= count; ++k) insertion.fileOrder.push_back(header + k);
        for (const long long line : FileOrderLines(section)) insertion.fileOrder.push_back(moved(line));

        // Sorted order: the new names (none equal to an old one or to each other) merged in.
        std::vector<std::size_t> order(names.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return NameLess{}(names[a], names[b]); });
        insertion.newNames = names;
        const NameArray& oldNames = SortedNames(section);
        const IndexArray& oldLines = SortedLines(section);
        const std::size_t merged = oldNames.size() + names.size();
        insertion.sortedNames.reserve(merged);
        insertion.sortedLines.reserve(merged);
        insertion.source.reserve(merged);
        std::size_t old = 0;
        for (const std::size_t k : order) {
            while (old < oldNames.size() && NameLess{}(oldNames[old], names[k])) {
                insertion.sortedLines.push_back(moved(oldLines[old]));
                insertion.source.push_back(static_cast<long long>(old));
                ++old;
            }
            // The k-th entry added sits count - k lines below the header.
            insertion.sortedLines.push_back(header + count - static_cast<long long>(k));
            insertion.source.push_back(-1 - static_cast<long long>(k));
        }
        for (; old < oldNames.size(); ++old) {
            insertion.sortedLines.push_back(moved(oldLines[old]));
            insertion.source.push_back(static_cast<long long>(old));
        }
    }
    std::vector<std::wstring> data;
    data.reserve(m_Data.size() + static_cast<std::size_t>(total));

    // From here on nothing allocates: moves into room already made.
    std::size_t next = 0;
    for (std::size_t line = 0; line < m_Data.size(); ++line) {
        data.push_back(std::move(m_Data[line]));
        while (next < insertions.size() && insertions[next].header == static_cast<long long>(line)) {
            for (std::wstring& added : insertions[next].lines) data.push_back(std::move(added));
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
    for (Insertion& insertion : insertions) {
        NameArray& oldNames = SortedNames(insertion.section);
        for (const long long from : insertion.source) {
            insertion.sortedNames.push_back(from >= 0 ? std::move(oldNames[static_cast<std::size_t>(from)])
                                                      : std::move(insertion.newNames[static_cast<std::size_t>(-1 - from)]));
        }
        oldNames = std::move(insertion.sortedNames);
        SortedLines(insertion.section) = std::move(insertion.sortedLines);
        FileOrderLines(insertion.section) = std::move(insertion.fileOrder);
    }
    m_Pending.reset();
}
