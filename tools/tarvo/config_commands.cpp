// tarvo config SOURCE [--central SOURCE] sections|list|get|set|dump
#include "tools/tarvo/commands.h"

#include <tarvox/config.h>
#include <tarvox/modules.h>
#include <tarvox/registry.h>

#include <memory>

namespace tarvo {

namespace {

struct ConfigArguments {
    std::string source;
    std::string central;
    std::string section;
    std::string name;
    std::string value;
};

// Opens the source (a file or a registry path) with its central reader; null when it cannot be
// read, with the reason on standard error.
std::unique_ptr<CCfgReader> OpenSource(const ConfigArguments& arguments, bool mustExist = true) {
    // A reader of a missing file is an empty configuration, ready to be written: reading
    // commands report the file as not found instead.
    const std::wstring source = Wide(arguments.source);
    HKEY root = nullptr;
    std::wstring subKey;
    if (mustExist && !ParseRegPath(source.c_str(), root, subKey) &&
        PathExists(source.c_str()) != 1) {
        std::fprintf(stderr, "tarvo: no configuration file %s\n", arguments.source.c_str());
        return nullptr;
    }
    auto reader = std::make_unique<CCfgReader>(Wide(arguments.source).c_str());
    if (!reader->IsInit()) {
        std::fprintf(stderr, "tarvo: cannot read the configuration %s\n", arguments.source.c_str());
        return nullptr;
    }
    if (!arguments.central.empty()) {
        auto* central = new CCfgReader(Wide(arguments.central).c_str());
        if (!central->IsInit()) {
            std::fprintf(stderr, "tarvo: cannot read the central configuration %s\n",
                         arguments.central.c_str());
            delete central;
            return nullptr;
        }
        reader->SetCentral(central);  // the reader owns its central reader
    }
    return reader;
}

std::vector<std::string> SectionNames(CCfgReader& reader) {
    std::vector<std::string> names;
    std::wstring name;
    for (long long index = 0; reader.GetSectionName(name, index); ++index)
        names.push_back(Utf8(name));
    return names;
}

void AddEntries(CCfgReader& reader, Section& section, const std::wstring& name) {
    std::vector<std::wstring> names, values;
    reader.GetSectionEntries(names, values, name.c_str(), 1, 0);
    Table rows{"entries", {"name", "value"}, {}, {}};
    // A central entry that the configuration itself overrides is listed once, with its own value.
    std::vector<std::wstring> listed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        long long position = 0;
        if (FindSortedString(names[i].c_str(), listed, position)) continue;
        listed.insert(listed.begin() + position, names[i]);
        std::wstring value;
        reader.GetValue(value, name.c_str(), names[i].c_str(), nullptr);
        rows.rows.push_back({Value::Text(Utf8(names[i])), Value::Text(Utf8(value))});
    }
    section.tables.push_back(std::move(rows));
}

}  // namespace

void AddConfigCommands(CLI::App& app, Outcome& outcome) {
    static ConfigArguments arguments;
    CLI::App* config = app.add_subcommand(
        "config", "Read or change a configuration file or registry configuration");
    config
        ->add_option(
            "SOURCE", arguments.source,
            "Configuration file, or registry path such as HKEY_CURRENT_USER\\Software\\Tarvox\\...")
        ->required();
    config->add_option("--central", arguments.central, "Central configuration behind SOURCE");
    config->add_flag("--json", outcome.json, "Print JSON");
    config->require_subcommand(1);
    // Options of "config" (--json, --central) may also follow the nested command.
    const auto nested = [config](const char* name, const char* description) {
        CLI::App* command = config->add_subcommand(name, description);
        command->fallthrough();
        return command;
    };

    nested("sections", "The section names")->callback([&outcome] {
        auto reader = OpenSource(arguments);
        if (!reader) return void(outcome.status = kNotFound);
        Section& section = outcome.document.Add("Sections of " + arguments.source, "sections");
        Table rows{"sections", {"section"}, {}, {}};
        for (const std::string& name : SectionNames(*reader))
            rows.rows.push_back({Value::Text(name)});
        section.tables.push_back(std::move(rows));
    });

    CLI::App* list = nested("list", "The entries of one section, central ones included");
    list->add_option("SECTION", arguments.section, "Section name")->required();
    list->callback([&outcome] {
        auto reader = OpenSource(arguments);
        if (!reader) return void(outcome.status = kNotFound);
        Section& section = outcome.document.Add("[" + arguments.section + "]", "entries");
        AddEntries(*reader, section, Wide(arguments.section));
        if (section.tables.back().rows.empty()) outcome.status = kNotFound;
    });

    CLI::App* get = nested("get", "One value");
    get->add_option("SECTION", arguments.section)->required();
    get->add_option("NAME", arguments.name)->required();
    get->callback([&outcome] {
        auto reader = OpenSource(arguments);
        if (!reader) return void(outcome.status = kNotFound);
        std::wstring value;
        const int found = reader->GetValue(value, Wide(arguments.section).c_str(),
                                           Wide(arguments.name).c_str(), nullptr);
        Section& section = outcome.document.Add("", "value");
        section.Add("section", Value::Text(arguments.section));
        section.Add("name", Value::Text(arguments.name));
        section.Add("value", found == 1 ? Value::Text(Utf8(value)) : Value::Maybe(""));
        if (found != 1) outcome.status = kNotFound;
    });

    CLI::App* set = nested("set", "Change or add one value and save");
    set->add_option("SECTION", arguments.section)->required();
    set->add_option("NAME", arguments.name)->required();
    set->add_option("VALUE", arguments.value)->required();
    set->callback([&outcome] {
        auto reader = OpenSource(arguments, false);
        if (!reader) return void(outcome.status = kNotFound);
        const bool saved =
            reader->SetValue(Wide(arguments.section).c_str(), Wide(arguments.name).c_str(),
                             Wide(arguments.value).c_str()) == 1 &&
            reader->Save() == 1;
        Section& section = outcome.document.Add("", "set");
        section.Add("section", Value::Text(arguments.section));
        section.Add("name", Value::Text(arguments.name));
        section.Add("value", Value::Text(arguments.value));
        section.Add("saved", Value::Bool(saved));
        if (!saved) outcome.status = kNotFound;
    });

    nested("dump", "Every section with its entries")->callback([&outcome] {
        auto reader = OpenSource(arguments);
        if (!reader) return void(outcome.status = kNotFound);
        // One row per entry; a section without entries has one row without name and value.
        Section& dump = outcome.document.Add("Configuration " + arguments.source, "configuration");
        Table rows{"entries", {"section", "name", "value"}, {}, {}};
        for (const std::string& name : SectionNames(*reader)) {
            Section entries;
            AddEntries(*reader, entries, Wide(name));
            if (entries.tables.front().rows.empty())
                rows.rows.push_back({Value::Text(name), Value::Maybe(""), Value::Maybe("")});
            for (auto& row : entries.tables.front().rows) {
                row.insert(row.begin(), Value::Text(name));
                rows.rows.push_back(std::move(row));
            }
        }
        dump.tables.push_back(std::move(rows));
    });
}

}  // namespace tarvo
