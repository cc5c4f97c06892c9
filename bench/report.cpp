#include "report.h"

#include <cstdio>

namespace bench {
namespace {

std::string Number(double value) {
    char text[64];
    if (value >= 100) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else if (value >= 10) {
        std::snprintf(text, sizeof text, "%.1f", value);
    } else {
        std::snprintf(text, sizeof text, "%.2f", value);
    }
    return text;
}

}  // namespace

void Report::AddRatioGoal(Row row, double required, const std::string& label) {
    const double ratio = row.ours > 0 ? row.theirs / row.ours : 0;
    const bool met = ratio >= required;
    if (!met) ++m_missed;
    row.goal = label + ": " + (met ? "met" : "MISSED");
    m_rows.push_back(std::move(row));
}

void Report::AddGrowthGoal(const std::string& group, const std::string& what, double smaller,
                           double larger, double limit) {
    const double growth = smaller > 0 ? larger / smaller : 0;
    const bool met = growth <= limit;
    if (!met) ++m_missed;
    Row row;
    row.group = group;
    row.what = what;
    row.unit = "× (growth)";
    row.ours = growth;
    row.goal = "≤ " + Number(limit) + "×: " + (met ? "met" : "MISSED");
    m_rows.push_back(std::move(row));
}

int Report::Print() const {
    std::printf("| Case | Input | Unit | Tarvox | Peer | Peer's figure | Peer / Tarvox | Goal |\n");
    std::printf("| --- | --- | --- | ---: | --- | ---: | ---: | --- |\n");
    for (const Row& row : m_rows) {
        const bool hasPeer = !row.peer.empty();
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s |\n", row.group.c_str(),
                    row.what.c_str(), row.unit.c_str(), Number(row.ours).c_str(), row.peer.c_str(),
                    hasPeer ? Number(row.theirs).c_str() : "",
                    hasPeer && row.ours > 0 ? (Number(row.theirs / row.ours) + "×").c_str() : "",
                    row.goal.c_str());
    }
    std::printf("\nGoals missed: %d\n", m_missed);
    return m_missed;
}

}  // namespace bench
