// CCfgReader: new entries of existing sections, kept aside and placed among the lines in one
// pass when the lines or indexes are next needed.
//
// Placing an entry at once puts its line right after the section's header, which moves every
// later line and adds one to every stored index behind it: n new entries cost n times the
// file. Kept aside, they are placed together, with the result of placing them one by one:
// the newest entry first after the header, every name at its sorted position.
#include <tarvox/config.h>

#include "config/section_table.h"
#include "foundation/text_compare.h"

#include <algorithm>
#include <map>
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
    // Everything that can fail (every allocation) is done first, while the reader stays as it
    // is; the reader then takes the new lines and indexes over by moves that cannot fail. A
    // failure thus leaves the lines and indexes whole and the entries still waiting.
    tarvox::SectionTable sections = Sections();

    // Where the new lines go: after each section's (first) header line, in line order.
    struct Insertion {
        long long header;
        const PendingEntries::Section* entries;
        std::size_t section;
        std::vector<std::wstring> lines;  // newest first
    };
    std::vector<Insertion> insertions;
    insertions.reserve(m_Pending->sections.size());
    for (const auto& [section, entries] : m_Pending->sections) {
        insertions.push_back({sections.Header(section), &entries, section, {}});
    }
    std::sort(insertions.begin(), insertions.end(),
              [](const Insertion& a, const Insertion& b) { return a.header < b.header; });
    tarvox::LineInsertions inserted;
    for (const Insertion& insertion : insertions) {
        inserted.Add(insertion.header, static_cast<long long>(insertion.entries->names.size()));
    }
    std::vector<tarvox::SectionTable::PreparedEntries> prepared;
    prepared.reserve(insertions.size());
    for (Insertion& insertion : insertions) {
        // The newest entry of a section goes first after its header.
        const PendingEntries::Section& entries = *insertion.entries;
        insertion.lines.reserve(entries.names.size());
        for (std::size_t k = entries.names.size(); k-- > 0;) {
            insertion.lines.push_back(entries.names[k] + L"=" + entries.values[k]);
        }
        prepared.push_back(sections.PrepareFirstEntries(
            insertion.section, entries.names, inserted.Moved(insertion.header) + 1, &inserted));
    }
    std::vector<std::wstring> data;
    data.reserve(m_Data.size() + static_cast<std::size_t>(inserted.Total()));

    // From here on nothing allocates.
    std::size_t next = 0;
    for (std::size_t line = 0; line < m_Data.size(); ++line) {
        data.push_back(std::move(m_Data[line]));
        while (next < insertions.size() &&
               insertions[next].header == static_cast<long long>(line)) {
            for (std::wstring& added : insertions[next].lines) data.push_back(std::move(added));
            ++next;
        }
    }
    m_Data = std::move(data);
    sections.ShiftLineIndexes(inserted);
    for (tarvox::SectionTable::PreparedEntries& entries : prepared) sections.Commit(entries);
    m_Pending.reset();
}
