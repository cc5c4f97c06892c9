// tarvo profiles, enabled, cuix, set-acad: the AutoCAD products with their profiles and
// workspaces, the products the add-on is enabled in, what a CUIX package holds, and the switch
// of the current release.
#include "tools/tarvo/commands.h"

#include <tarvox/autocad.h>

#include "autocad/acad_infos.h"
#include "cuix/cuix_file.h"
#include "cuix/cuix_parts.h"

namespace tarvo {

namespace {

std::vector<std::string> Utf8Items(const std::vector<std::wstring>& items) {
    std::vector<std::string> out;
    for (const auto& item : items) out.push_back(Utf8(item));
    return out;
}

// The workspaces of a profile: names in text, the ones showing all product tabs marked; in
// JSON objects with the workspace name and whether it shows all product tabs (null: unknown).
Value Workspaces(const CWorkSpaces& workspaces) {
    Value value{"", Json::array()};
    for (const auto& workspace : workspaces) {
        value.text += (value.text.empty() ? "" : ", ") + Utf8(workspace.m_Name) +
                      (workspace.m_AddOnState == 1 ? " (all product tabs)" : "");
        value.json.push_back({{"workspace", Utf8(workspace.m_Name)},
                              {"all_product_tabs", Value::Tristate(workspace.m_AddOnState).json}});
    }
    return value;
}

// One table row per profile of every product.
Table ProfileRows(const CAutoCADInfos& infos, bool withMenu) {
    Table rows{"profiles",
               {"product_key_name", "profile", "created_from", "menu_file", "add_on", "workspaces"},
               {"product", "profile", "created_from", "menu_file", "add_on", "workspaces"},
               {}};
    if (!withMenu) {
        rows.columns = {"product_key_name", "profile", "created_from", "workspaces"};
        rows.labels = {"product", "profile", "created_from", "workspace"};
    }
    for (const auto& info : infos) {
        for (const auto& profile : info.m_Profiles) {
            std::vector<Value> row = {Value::Text(Utf8(info.m_ProductKeyName)),
                                      Value::Text(Utf8(profile.m_Name)),
                                      Value::Maybe(Utf8(profile.m_CreatedFrom))};
            if (withMenu) {
                row.push_back(Value::Maybe(Utf8(profile.m_MenuFile)));
                row.push_back(Value::Tristate(profile.m_AddOnState));
            }
            row.push_back(Workspaces(profile.m_WorkSpaces));
            rows.rows.push_back(std::move(row));
        }
    }
    return rows;
}

}  // namespace

Section& AddProfilesSection(Document& document, bool full, bool& any) {
    const tarvox::ComScope com = CommandCom();
    CAutoCADInfos infos;
    // With the add-on's workspace menu beside the program its own profile is shown; without it
    // the products are listed as they are.
    if (FillAcadInfos(infos, 1, full ? 0 : 1) != 1) FillAcadInfos(infos, 0, full ? 0 : 1);
    Section& section =
        document.Add(full ? "AutoCAD profiles (full)" : "AutoCAD profiles", "profiles");
    Table products{"products",
                   {"product_key_name", "short_name", "executable", "add_on"},
                   {"product", "short_name", "acad_exe", "add_on"},
                   {}};
    for (const auto& info : infos) {
        products.rows.push_back(
            {Value::Text(Utf8(info.m_ProductKeyName)), Value::Maybe(Utf8(info.m_ProductShortName)),
             Value::Maybe(Utf8(info.m_AcadExe)), Value::Tristate(info.m_AddOnState)});
    }
    section.tables.push_back(std::move(products));
    section.tables.push_back(ProfileRows(infos, true));
    any = !infos.IsEmpty();
    return section;
}

void AddProfileCommands(CLI::App& app, Outcome& outcome) {
    static bool full = false;
    CLI::App* profiles = app.add_subcommand(
        "profiles", "The products of the current release with their profiles and workspaces");
    profiles->add_flag("--full", full, "Open every profile's menu file (slow)");
    profiles->add_flag("--json", outcome.json, "Print JSON");
    profiles->callback([&outcome] {
        bool any = false;
        AddProfilesSection(outcome.document, full, any);
        outcome.status = any ? kSuccess : kNotFound;
    });

    CLI::App* enabled = app.add_subcommand(
        "enabled", "The products, profiles and workspaces the add-on is enabled in");
    enabled->add_flag("--json", outcome.json, "Print JSON");
    enabled->callback([&outcome] {
        CAutoCADInfos infos;
        const bool any = ListEnabledAcads(infos, nullptr) == 1;
        Section& section = outcome.document.Add("Enabled in", "enabled");
        section.tables.push_back(ProfileRows(infos, false));
        outcome.status = any ? kSuccess : kNotFound;
    });

    static std::string cuixFile;
    CLI::App* cuix = app.add_subcommand(
        "cuix", "The workspaces, partial menus and product tabs of a CUIX package");
    cuix->add_option("FILE", cuixFile, "The CUIX file")->required();
    cuix->add_flag("--json", outcome.json, "Print JSON");
    cuix->callback([&outcome] {
        const tarvox::ComScope com = CommandCom();
        const std::wstring path = Wide(cuixFile);
        _CReadOnlyCuixFile package(path.c_str());
        std::vector<std::wstring> workspaces;
        std::vector<std::wstring> menus;
        const bool read = tarvox::cuix::GetCuixWorkspaceNames(package, workspaces) == 1;
        const bool hasMenus = tarvox::cuix::GetCuixPartialMenuFiles(package, menus) == 1;
        Section& section = outcome.document.Add("CUIX package", "cuix");
        section.Add("file", Value::Text(cuixFile));
        section.Add("loads_product_menu",
                    Value::Tristate(tarvox::cuix::HasProductPartialMenu(path, &package)));
        section.Add("partial_menus", Value::List(Utf8Items(menus)));
        Table tabs{"workspaces", {"workspace", "product_tabs", "all_product_tabs"}, {}, {}};
        for (const auto& workspace : workspaces) {
            std::vector<std::wstring> tabIds;
            tarvox::cuix::GetWorkspaceProductTabIds(package, tabIds, workspace.c_str());
            tabs.rows.push_back(
                {Value::Text(Utf8(workspace)), Value::List(Utf8Items(tabIds)),
                 Value::Bool(tarvox::cuix::WorkspaceHasAllProductTabs(workspace, package) == 1)});
        }
        section.tables.push_back(std::move(tabs));
        outcome.status = read || hasMenus ? kSuccess : kNotFound;
    });

    static std::string release;
    CLI::App* setAcad = app.add_subcommand(
        "set-acad", "Make a release (such as R23.1) the user's current AutoCAD release");
    setAcad->add_option("RELEASE", release, "The release")->required();
    setAcad->add_flag("--json", outcome.json, "Print JSON");
    setAcad->callback([&outcome] {
        const int result = SetAcadVersion(Wide(release).c_str());
        bool found = false;
        Section& section = outcome.document.Add("Set AutoCAD release", "set_acad");
        section.Add("release", Value::Text(release));
        section.Add("succeeded", Value::Bool(result == 1));
        AddCurrentAcadSection(outcome.document, found);
        outcome.status = result == 1 ? kSuccess : kNotFound;
    });
}

}  // namespace tarvo
