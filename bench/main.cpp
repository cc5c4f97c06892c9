// The benchmark program: every case on the same generated inputs, one table on stdout.
//   tarvox_bench.exe [--quick]
// The exit code is the number of goals missed.
#include "cases.h"
#include "report.h"
#include "work_folder.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    bench::Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) options.quick = true;
    }
    bench::Report report;
    {
        const bench::WorkFolder folder;
        std::fprintf(stderr, "configuration load...\n");
        bench::RunConfigLoad(report, folder, options);
        std::fprintf(stderr, "lookups...\n");
        bench::RunLookups(report, folder, options);
        std::fprintf(stderr, "edits...\n");
        bench::RunEdits(report, folder, options);
    }
    std::fprintf(stderr, "path variables...\n");
    bench::RunPathExpansion(report, options);
    std::fprintf(stderr, "registry tree...\n");
    bench::RunRegistryTree(report, options);
    return report.Print();
}
