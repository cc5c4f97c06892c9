// The result table: one row per measurement, with the peer it is set against.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct Row {
    std::string group;  // "Load", "Lookup", ...
    std::string what;   // the input or operation
    std::string unit;   // "ms", "ns/call", "MB"
    double ours = 0;    // Tarvox
    std::string peer;   // the competitor, empty when the row has none
    double theirs = 0;
    std::string goal;  // the goal this row checks, with its verdict filled in by Check
};

class Report {
public:
    void Add(Row row) { m_rows.push_back(std::move(row)); }
    // A row that compares the library with a peer and a required speed-up (peer / ours);
    // label describes the goal ("at least 1.5x faster").
    void AddRatioGoal(Row row, double required, const std::string& label);
    // A row of two sizes of the library against each other: larger / smaller at most limit.
    void AddGrowthGoal(const std::string& group, const std::string& what, double smaller,
                       double larger, double limit);
    // Markdown table on stdout; the number of goals missed.
    int Print() const;

private:
    std::vector<Row> m_rows;
    int m_missed = 0;
};

}  // namespace bench
