#include "config/section_table.h"

#include <tarvox/registry.h>

#include "config/entry_order.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>

namespace tarvox {
namespace {

template <class T>
T* AsPointer(long long entry) {
    return reinterpret_cast<T*>(static_cast<std::intptr_t>(entry));
}

template <class T>
long long AsEntry(T* pointer) {
    return static_cast<long long>(reinterpret_cast<std::intptr_t>(pointer));
}

// A new section's three arrays, owned here until the table holds them.
struct NewArrays {
    std::unique_ptr<SectionTable::IndexArray> sortedLines =
        std::make_unique<SectionTable::IndexArray>();
    std::unique_ptr<SectionTable::IndexArray> fileOrderLines =
        std::make_unique<SectionTable::IndexArray>();
    std::unique_ptr<SectionTable::NameArray> sortedNames =
        std::make_unique<SectionTable::NameArray>();

    // With room for a first entry, so that adding it cannot fail.
    void ReserveEntry() {
        sortedLines->reserve(1);
        fileOrderLines->reserve(1);
        sortedNames->reserve(1);
    }
};

template <class T>
void InsertAt(std::vector<T>& array, std::size_t position, T value) {
    array.insert(array.begin() + static_cast<std::ptrdiff_t>(position), std::move(value));
}

}  // namespace

void LineInsertions::Add(long long after, long long count) {
    const long long total = Total() + count;
    m_After.push_back(after);
    m_Behind.push_back(total);
}

long long LineInsertions::MovedBehindBatches(long long line) const {
    const auto before = std::lower_bound(m_After.begin(), m_After.end(), line) - m_After.begin();
    return before == 0 ? line : line + m_Behind[static_cast<std::size_t>(before - 1)];
}

SectionTable::SectionTable(NameArray& names, IndexArray& headers, IndexArray& headersInFileOrder,
                           IndexArray& sortedLineArrays, IndexArray& fileOrderLineArrays,
                           IndexArray& sortedNameArrays)
    : m_Names(names),
      m_Headers(headers),
      m_HeadersInFileOrder(headersInFileOrder),
      m_SortedLineArrays(sortedLineArrays),
      m_FileOrderLineArrays(fileOrderLineArrays),
      m_SortedNameArrays(sortedNameArrays) {}

bool SectionTable::Find(const wchar_t* name, std::size_t& position) const {
    long long index = 0;
    const int found = FindSortedString(name, m_Names, index);
    position = static_cast<std::size_t>(index);
    return found == 1;
}

SectionTable::IndexArray& SectionTable::SortedLines(std::size_t section) {
    return *AsPointer<IndexArray>(m_SortedLineArrays[section]);
}

SectionTable::IndexArray& SectionTable::FileOrderLines(std::size_t section) {
    return *AsPointer<IndexArray>(m_FileOrderLineArrays[section]);
}

SectionTable::NameArray& SectionTable::SortedNames(std::size_t section) {
    return *AsPointer<NameArray>(m_SortedNameArrays[section]);
}

const SectionTable::IndexArray& SectionTable::SortedLines(std::size_t section) const {
    return *AsPointer<IndexArray>(m_SortedLineArrays[section]);
}

const SectionTable::IndexArray& SectionTable::FileOrderLines(std::size_t section) const {
    return *AsPointer<IndexArray>(m_FileOrderLineArrays[section]);
}

const SectionTable::NameArray& SectionTable::SortedNames(std::size_t section) const {
    return *AsPointer<NameArray>(m_SortedNameArrays[section]);
}

void SectionTable::Insert(std::size_t position, const std::wstring& name, long long headerLine) {
    // Everything that can fail comes before the first change, so that a failed allocation
    // leaves the table whole.
    std::wstring copy = name;
    NewArrays arrays;
    arrays.ReserveEntry();
    m_Names.reserve(m_Names.size() + 1);
    m_Headers.reserve(m_Headers.size() + 1);
    m_HeadersInFileOrder.reserve(m_HeadersInFileOrder.size() + 1);
    m_SortedLineArrays.reserve(m_SortedLineArrays.size() + 1);
    m_FileOrderLineArrays.reserve(m_FileOrderLineArrays.size() + 1);
    m_SortedNameArrays.reserve(m_SortedNameArrays.size() + 1);
    InsertAt(m_Names, position, std::move(copy));
    InsertAt(m_Headers, position, headerLine);
    m_HeadersInFileOrder.push_back(headerLine);
    InsertAt(m_SortedLineArrays, position, AsEntry(arrays.sortedLines.release()));
    InsertAt(m_FileOrderLineArrays, position, AsEntry(arrays.fileOrderLines.release()));
    InsertAt(m_SortedNameArrays, position, AsEntry(arrays.sortedNames.release()));
}

void SectionTable::ReserveEntry(std::size_t section) {
    SortedNames(section).reserve(SortedNames(section).size() + 1);
    SortedLines(section).reserve(SortedLines(section).size() + 1);
    FileOrderLines(section).reserve(FileOrderLines(section).size() + 1);
}

void SectionTable::AddFirstEntry(std::size_t section, std::size_t sortedAt, std::wstring name,
                                 long long line) {
    // Room first: the three arrays stay in step whatever fails.
    ReserveEntry(section);
    InsertAt(SortedNames(section), sortedAt, std::move(name));
    InsertAt(SortedLines(section), sortedAt, line);
    InsertAt(FileOrderLines(section), 0, line);
}

SectionTable::PreparedEntries SectionTable::PrepareFirstEntries(
    std::size_t section, const NameArray& names, long long firstLine,
    const LineInsertions* insertions) const {
    const auto moved = [insertions](long long line) {
        return insertions ? insertions->Moved(line) : line;
    };
    const auto count = static_cast<long long>(names.size());
    PreparedEntries prepared;
    prepared.section = section;
    // File order: the new lines in front.
    const IndexArray& oldFileOrder = FileOrderLines(section);
    prepared.fileOrderLines.reserve(names.size() + oldFileOrder.size());
    for (long long k = 0; k < count; ++k) prepared.fileOrderLines.push_back(firstLine + k);
    for (const long long line : oldFileOrder) prepared.fileOrderLines.push_back(moved(line));

    // Sorted order: the new names merged in. The old names are moved over by Commit.
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return SystemNameLess{}(names[a], names[b]); });
    const NameArray& oldNames = SortedNames(section);
    const IndexArray& oldLines = SortedLines(section);
    const std::size_t merged = oldNames.size() + names.size();
    prepared.newNames = names;
    prepared.sortedNames.reserve(merged);
    prepared.sortedLines.reserve(merged);
    prepared.source.reserve(merged);
    std::size_t old = 0;
    for (const std::size_t k : order) {
        while (old < oldNames.size() && SystemNameLess{}(oldNames[old], names[k])) {
            prepared.sortedLines.push_back(moved(oldLines[old]));
            prepared.source.push_back(static_cast<long long>(old));
            ++old;
        }
        // The newest entry is on the first line, the first one added on the last.
        prepared.sortedLines.push_back(firstLine + count - 1 - static_cast<long long>(k));
        prepared.source.push_back(-1 - static_cast<long long>(k));
    }
    for (; old < oldNames.size(); ++old) {
        prepared.sortedLines.push_back(moved(oldLines[old]));
        prepared.source.push_back(static_cast<long long>(old));
    }
    return prepared;
}

void SectionTable::Commit(PreparedEntries& prepared) noexcept {
    NameArray& oldNames = SortedNames(prepared.section);
    for (const long long from : prepared.source) {
        prepared.sortedNames.push_back(
            from >= 0 ? std::move(oldNames[static_cast<std::size_t>(from)])
                      : std::move(prepared.newNames[static_cast<std::size_t>(-1 - from)]));
    }
    oldNames = std::move(prepared.sortedNames);
    SortedLines(prepared.section) = std::move(prepared.sortedLines);
    FileOrderLines(prepared.section) = std::move(prepared.fileOrderLines);
}

void SectionTable::Clear() {
    for (const long long entry : m_SortedLineArrays) delete AsPointer<IndexArray>(entry);
    for (const long long entry : m_FileOrderLineArrays) delete AsPointer<IndexArray>(entry);
    for (const long long entry : m_SortedNameArrays) delete AsPointer<NameArray>(entry);
    m_SortedLineArrays.clear();
    m_FileOrderLineArrays.clear();
    m_SortedNameArrays.clear();
    m_Names.clear();
    m_Headers.clear();
    m_HeadersInFileOrder.clear();
}

void SectionTable::ShiftLineIndexes(const LineInsertions& insertions) {
    VisitLineIndexes([&insertions](long long& line) { line = insertions.Moved(line); });
}

SectionLoader::SectionLoader(SectionTable table) : m_Table(table) {
    m_Sections.reserve(m_Table.Count());
    for (std::size_t s = 0; s < m_Table.Count(); ++s) {
        m_Sections.push_back({m_Table.m_Names[s], m_Table.m_Headers[s], &m_Table.SortedLines(s),
                              &m_Table.FileOrderLines(s), &m_Table.SortedNames(s)});
        m_ByName.emplace(m_Table.m_Names[s], s);
    }
    m_FirstNew = m_Sections.size();
}

SectionLoader::~SectionLoader() {
    if (m_Finished) return;
    for (std::size_t s = m_FirstNew; s < m_Sections.size(); ++s) {
        delete m_Sections[s].sortedLines;
        delete m_Sections[s].fileOrderLines;
        delete m_Sections[s].sortedNames;
    }
}

bool SectionLoader::Open(const std::wstring& name, long long headerLine) {
    const auto at = m_ByName.lower_bound(name);
    if (at != m_ByName.end() && !SystemNameLess{}(name, at->first)) return false;
    NewArrays arrays;
    m_Sections.push_back({name, headerLine, arrays.sortedLines.get(), arrays.fileOrderLines.get(),
                          arrays.sortedNames.get()});
    arrays.sortedLines.release();
    arrays.fileOrderLines.release();
    arrays.sortedNames.release();
    m_ByName.emplace_hint(at, name, m_Sections.size() - 1);
    m_Table.m_HeadersInFileOrder.push_back(headerLine);
    m_Current = m_Sections.size();
    return true;
}

const std::wstring* SectionLoader::CurrentName() const {
    return m_Current == 0 ? nullptr : &m_Sections[m_Current - 1].name;
}

void SectionLoader::Add(std::wstring name, long long line) {
    const Section& section = m_Sections[m_Current - 1];
    section.sortedNames->push_back(std::move(name));
    section.sortedLines->push_back(line);
    section.fileOrderLines->push_back(line);
}

void SectionLoader::Finish() {
    const std::size_t count = m_Sections.size();
    SectionTable::NameArray names;
    SectionTable::IndexArray headers;
    SectionTable::IndexArray sortedLineArrays;
    SectionTable::IndexArray fileOrderLineArrays;
    SectionTable::IndexArray sortedNameArrays;
    names.reserve(count);
    headers.reserve(count);
    sortedLineArrays.reserve(count);
    fileOrderLineArrays.reserve(count);
    sortedNameArrays.reserve(count);
    for (auto& [name, index] : m_ByName) {
        Section& section = m_Sections[index];
        SortEntriesByName(*section.sortedNames, *section.sortedLines, CompareSystemIgnoringCase,
                          SystemSortKey);
        names.push_back(std::move(section.name));
        headers.push_back(section.header);
        sortedLineArrays.push_back(AsEntry(section.sortedLines));
        fileOrderLineArrays.push_back(AsEntry(section.fileOrderLines));
        sortedNameArrays.push_back(AsEntry(section.sortedNames));
    }
    m_Table.m_Names = std::move(names);
    m_Table.m_Headers = std::move(headers);
    m_Table.m_SortedLineArrays = std::move(sortedLineArrays);
    m_Table.m_FileOrderLineArrays = std::move(fileOrderLineArrays);
    m_Table.m_SortedNameArrays = std::move(sortedNameArrays);
    m_Finished = true;
}

}  // namespace tarvox
