// The measured cases; each adds its rows to the report.
#pragma once

#include "report.h"
#include "work_folder.h"

namespace bench {

struct Options {
    bool quick = false;  // fewer repetitions and the small sizes only (a smoke run)
};

void RunConfigLoad(Report& report, const WorkFolder& folder, const Options& options);
void RunLookups(Report& report, const WorkFolder& folder, const Options& options);
void RunEdits(Report& report, const WorkFolder& folder, const Options& options);
void RunPathExpansion(Report& report, const Options& options);
void RunRegistryTree(Report& report, const Options& options);

}  // namespace bench
