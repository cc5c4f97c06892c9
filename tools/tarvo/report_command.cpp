// tarvo report: everything the library sees on this machine, on one page.
#include "tools/tarvo/commands.h"

namespace tarvo {

void AddReportCommand(CLI::App& app, Outcome& outcome) {
    CLI::App* report =
        app.add_subcommand("report", "Everything the library sees on this machine, on one page");
    report->add_flag("--json", outcome.json, "Print JSON");
    report->callback([&outcome] {
        Document& document = outcome.document;
        bool any = false;
        AddAcadProductsSection(document, any);
        bool found = false;
        AddCurrentAcadSection(document, found);
        AddReleaseFlagsSection(document, any);
        AddSupportPathSection(document, false, any);
        AddProfilesSection(document, false, any);
        bool known = false;
        AddEditionSection(document, known);
        AddFoldersSection(document);
        AddVariablesSection(document, false);
        // A machine without products is still a valid report.
        outcome.status = kSuccess;
    });
}

}  // namespace tarvo
