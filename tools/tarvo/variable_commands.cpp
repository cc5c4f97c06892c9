// tarvo vars, tarvo expand.
#include "tools/tarvo/commands.h"

#include "variables/full_path_vars.h"
#include "variables/path_vars.h"

namespace tarvo {

Section& AddVariablesSection(Document& document, bool aliases) {
    Section& section =
        document.Add(aliases ? "Path variables (with aliases)" : "Path variables", "variables");
    const tarvox::PathVarTable& table = tarvox::CompactPathVarTable(aliases ? 1 : 0);
    Table rows{"variables", {"name", "value"}, {}, {}};
    for (std::size_t i = 0; i < table.names.size(); ++i) {
        rows.rows.push_back(
            {Value::Text(Utf8(table.names[i])), Value::Text(Utf8(table.values[i]))});
    }
    section.tables.push_back(std::move(rows));
    return section;
}

Section& AddFullVariablesSection(Document& document) {
    Section& section = document.Add("Full path-variable table", "full_variables");
    std::vector<std::wstring> names, values;
    tarvox::BuildFullPathVarTable(names, values);
    // Rows keep their order: the first row of a name is the one that counts.
    Table rows{"variables", {"name", "value"}, {}, {}};
    for (std::size_t i = 0; i < names.size(); ++i)
        rows.rows.push_back({Value::Text(Utf8(names[i])), Value::Text(Utf8(values[i]))});
    section.tables.push_back(std::move(rows));
    return section;
}

void AddVariableCommands(CLI::App& app, Outcome& outcome) {
    static bool aliases = false;
    static bool full = false;
    CLI::App* vars = app.add_subcommand("vars", "The compact path-variable table");
    vars->add_flag("--aliases", aliases, "Include the alias variables (%AC2020%, %PROG%, ...)");
    vars->add_flag("--full", full,
                   "The full table instead (every product year and AutoCAD release)");
    vars->add_flag("--json", outcome.json, "Print JSON");
    vars->callback([&outcome] {
        if (full) {
            AddFullVariablesSection(outcome.document);
        } else {
            AddVariablesSection(outcome.document, aliases);
        }
    });

    static std::vector<std::string> texts;
    CLI::App* expand =
        app.add_subcommand("expand", "Expand path variables and put them back (both forms)");
    expand->add_flag("--aliases", aliases, "Use the table with the alias variables");
    expand->add_flag("--full", full, "Expand with the full table (unknown variables stay)");
    expand->add_flag("--json", outcome.json, "Print JSON");
    expand->add_option("TEXT", texts, "Texts with path variables")->required();
    expand->callback([&outcome] {
        Section& section = outcome.document.Add("Expansion", "expansion");
        Table rows{"expansion", {"text", "expanded", "with_variables"}, {}, {}};
        if (full) {
            Table expanded{"expansion", {"text", "expanded"}, {}, {}};
            for (const std::string& text : texts) {
                expanded.rows.push_back(
                    {Value::Text(text),
                     Value::Text(Utf8(tarvox::ExpandAllPathVars(Wide(text).c_str())))});
            }
            section.tables.push_back(std::move(expanded));
            return;
        }
        for (const std::string& text : texts) {
            const std::wstring input = Wide(text);
            std::wstring withVars, withoutVars;
            tarvox::ExpandAndAbbreviate(withVars, withoutVars, input.c_str(), aliases ? 1 : 0);
            // A text without variables is its own abbreviated form.
            if (input.find(L'%') == std::wstring::npos) withVars = withoutVars;
            rows.rows.push_back(
                {Value::Text(text), Value::Text(Utf8(withoutVars)), Value::Text(Utf8(withVars))});
        }
        section.tables.push_back(std::move(rows));
    });
}

}  // namespace tarvo
