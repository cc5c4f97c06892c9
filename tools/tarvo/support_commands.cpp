// tarvo support-path, tarvo find.
#include "tools/tarvo/commands.h"

#include <tarvox/acad_folders.h>

namespace tarvo {

void AddSupportCommands(CLI::App& app, Outcome& outcome) {
    static bool allProfiles = false;
    CLI::App* support =
        app.add_subcommand("support-path", "The support folders of the current AutoCAD profile");
    support->add_flag("--all", allProfiles, "Those of every profile of the current product");
    support->add_flag("--json", outcome.json, "Print JSON");
    support->callback([&outcome] {
        bool any = false;
        AddSupportPathSection(outcome.document, allProfiles, any);
        outcome.status = any ? kSuccess : kNotFound;
    });

    static std::vector<std::string> files;
    CLI::App* find = app.add_subcommand(
        "find", "Find files the way AutoCAD does: its folder, then the support path");
    find->add_option("FILE", files, "File names")->required();
    find->add_flag("--json", outcome.json, "Print JSON");
    find->callback([&outcome] {
        Section& section = outcome.document.Add("Files", "files");
        Table rows{"files", {"file", "path"}, {}, {}};
        bool all = true;
        for (const std::string& file : files) {
            std::wstring path;
            const bool found = AcadFindFile(Wide(file).c_str(), path) == 1;
            all = all && found;
            rows.rows.push_back({Value::Text(file), Value::Maybe(found ? Utf8(path) : "")});
        }
        section.tables.push_back(std::move(rows));
        outcome.status = all ? kSuccess : kNotFound;
    });
}

}  // namespace tarvo
