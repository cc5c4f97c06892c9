// The section index of a configuration reader, kept in the reader's own arrays.
//
// For each section, at its sorted position, the reader keeps its name, its header line and
// three arrays: the entry lines in the order of the entry names, the entry lines in file
// order, and the sorted entry names. The reader's accessors hand the three arrays out as
// 64-bit entries that own them; SectionTable is the only code that makes, reads and deletes
// them, and the one place that moves stored line indexes when lines go into the text.
#pragma once

#include "foundation/text_compare.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace tarvox {

// Lines put into a configuration's text in batches, each right after a given line, and where
// that puts every line that was there before.
class LineInsertions {
public:
    // count lines go in directly after the line at after. Batches come in line order.
    void Add(long long after, long long count);
    // Where the line that was at line is once every batch is in.
    long long Moved(long long line) const {
        // One batch (a single new entry) is the common case: a comparison, no search.
        if (m_After.size() == 1) return line > m_After.front() ? line + m_Behind.front() : line;
        return MovedBehindBatches(line);
    }
    long long Total() const { return m_Behind.empty() ? 0 : m_Behind.back(); }

private:
    long long MovedBehindBatches(long long line) const;

    std::vector<long long> m_After;
    std::vector<long long> m_Behind;  // lines inserted after the first k + 1 batches' lines
};

class SectionTable {
public:
    using IndexArray = std::vector<long long>;
    using NameArray = std::vector<std::wstring>;

    // The reader's arrays: section names (sorted), header lines (same order), header lines in
    // file order, and the three arrays of 64-bit entries that own each section's arrays.
    SectionTable(NameArray& names, IndexArray& headers, IndexArray& headersInFileOrder,
                 IndexArray& sortedLineArrays, IndexArray& fileOrderLineArrays,
                 IndexArray& sortedNameArrays);

    std::size_t Count() const { return m_Names.size(); }
    // True when the section is there; position is its sorted position, or where it would go.
    bool Find(const wchar_t* name, std::size_t& position) const;
    long long Header(std::size_t section) const { return m_Headers[section]; }
    IndexArray& SortedLines(std::size_t section);
    IndexArray& FileOrderLines(std::size_t section);
    NameArray& SortedNames(std::size_t section);
    const IndexArray& SortedLines(std::size_t section) const;
    const IndexArray& FileOrderLines(std::size_t section) const;
    const NameArray& SortedNames(std::size_t section) const;

    // A new section without entries at its sorted position; its header is the last one in
    // file order.
    void Insert(std::size_t position, const std::wstring& name, long long headerLine);
    // A new entry that comes first in its section's file order, its name at sortedAt. It
    // changes the section whole or not at all; with room for one more entry in the section
    // (a new section has it) it cannot fail.
    void AddFirstEntry(std::size_t section, std::size_t sortedAt, std::wstring name,
                       long long line);
    // Room for one more entry in each of the section's arrays.
    void ReserveEntry(std::size_t section);

    // New entries of one section made ready: everything that can fail is done, the table is
    // not changed yet.
    struct PreparedEntries {
        std::size_t section = 0;
        IndexArray fileOrderLines;
        IndexArray sortedLines;
        NameArray newNames;
        NameArray sortedNames;          // room only, filled by Commit
        std::vector<long long> source;  // per sorted place: an old index, or -1 - new index
    };
    // New entries, none equal to an old one or to another, placed on the lines from
    // firstLine on with the newest first (names are in the order they were added); each
    // name goes to its sorted position. The section's stored lines are taken as moved by
    // insertions, when given: the table's own lines are moved by ShiftLineIndexes before the
    // entries are committed.
    PreparedEntries PrepareFirstEntries(std::size_t section, const NameArray& names,
                                        long long firstLine,
                                        const LineInsertions* insertions) const;
    // Puts prepared entries in; cannot fail.
    void Commit(PreparedEntries& prepared) noexcept;
    // Deletes every section's arrays and empties the table.
    void Clear();

    // Calls visit with a reference to every stored line index: the headers in both orders
    // and every section's entry lines in both orders.
    template <class Visit>
    void VisitLineIndexes(Visit visit) {
        for (long long& line : m_Headers) visit(line);
        for (long long& line : m_HeadersInFileOrder) visit(line);
        for (std::size_t section = 0; section < Count(); ++section) {
            for (long long& line : SortedLines(section)) visit(line);
            for (long long& line : FileOrderLines(section)) visit(line);
        }
    }
    // Moves every stored line index to where the inserted lines put it.
    void ShiftLineIndexes(const LineInsertions& insertions);

private:
    friend class SectionLoader;

    NameArray& m_Names;
    IndexArray& m_Headers;
    IndexArray& m_HeadersInFileOrder;
    IndexArray& m_SortedLineArrays;
    IndexArray& m_FileOrderLineArrays;
    IndexArray& m_SortedNameArrays;
};

// Fills a table while the lines are read in file order. Sections are found through a map and
// entries are collected in file order; the sorted arrays are written once, at the end, with
// each section's entries sorted in one go. That keeps a load at n log n. Sections the table
// holds already stay and are found too.
class SectionLoader {
public:
    explicit SectionLoader(SectionTable table);
    // Deletes the arrays of sections opened but not written into the table.
    ~SectionLoader();
    SectionLoader(const SectionLoader&) = delete;
    SectionLoader& operator=(const SectionLoader&) = delete;

    // The section of a header line. A new name opens a section, which becomes the current
    // one, and gives true; a name the table knows already changes nothing.
    bool Open(const std::wstring& name, long long headerLine);
    // The current section's name; null before the first new section.
    const std::wstring* CurrentName() const;
    // An entry of the current section (there must be one).
    void Add(std::wstring name, long long line);
    // Writes the sections into the table in sorted order, each one's entries sorted by name.
    void Finish();

private:
    struct Section {
        std::wstring name;
        long long header;
        SectionTable::IndexArray* sortedLines;
        SectionTable::IndexArray* fileOrderLines;
        SectionTable::NameArray* sortedNames;
    };
    SectionTable m_Table;
    std::vector<Section> m_Sections;
    std::map<std::wstring, std::size_t, SystemNameLess> m_ByName;
    std::size_t m_FirstNew = 0;  // sections from here on have arrays the table does not own
    std::size_t m_Current = 0;   // 0 before the first new section, else its place + 1
    bool m_Finished = false;
};

}  // namespace tarvox
