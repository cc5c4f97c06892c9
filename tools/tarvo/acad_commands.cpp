// tarvo acad list, acad current, acad releases.
#include "tools/tarvo/commands.h"

#include <tarvox/acad_folders.h>
#include <tarvox/autocad.h>

#include "autocad/installed_products.h"
#include "autocad/release_catalogue.h"
#include "autocad/release_flags.h"

#include <array>

#include <windows.h>

namespace tarvo {

namespace {

using namespace tarvox::autocad;

// The component of a product key before its last one: the release key ("R23.1").
std::wstring ReleaseOfKey(const std::wstring& productKey) {
    const std::size_t last = productKey.rfind(L'\\');
    if (last == std::wstring::npos || last == 0) return {};
    const std::size_t before = productKey.rfind(L'\\', last - 1);
    return productKey.substr(before == std::wstring::npos ? 0 : before + 1,
                             last - (before == std::wstring::npos ? 0 : before + 1));
}

bool IsLtKey(const std::wstring& productKey) {
    return productKey.find(L"\\AutoCAD LT\\") != std::wstring::npos;
}

// The label of a release index of a group: "2000", "2000i", "2002", "2004" ... "2024".
std::string ReleaseLabel(int releaseIndex) {
    switch (releaseIndex) {
        case kRelease2000: return "2000";
        case kRelease2000i: return "2000i";
        case kRelease2002: return "2002";
        default: return std::to_string(2000 + releaseIndex);
    }
}

constexpr const char* kGroupNames[] = {"AutoCAD LT", "AutoCAD", "Architecture"};

// The release indexes in the order of the table: 2000, 2000i, 2002, 2004 ... 2024.
std::vector<int> ReleaseIndexes() {
    std::vector<int> indexes = {kRelease2000, kRelease2000i, kRelease2002};
    for (int year = 2004; year <= 2000 + kReleasesPerGroup; ++year) {
        indexes.push_back(ReleaseIndexOfYear(year));
    }
    return indexes;
}

}  // namespace

Section& AddAcadProductsSection(Document& document, bool& any) {
    Section& section = document.Add("Installed AutoCAD products", "autocad_products");
    std::vector<std::wstring> names, keys, locations;
    long long current = -1;
    any = ListInstalledAcads(names, keys, locations, current) == 1 && !names.empty();
    Table rows{"products",
               {"current", "name", "release", "lt", "product_key", "folder"},
               {"current", "name", "release", "LT", "product key", "folder"},
               {}};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool isCurrent = static_cast<long long>(i) == current;
        rows.rows.push_back({Value::Mark(isCurrent, "*"), Value::Text(Utf8(names[i])),
                             Value::Maybe(Utf8(ReleaseOfKey(keys[i]))),
                             Value::Bool(IsLtKey(keys[i])), Value::Text(Utf8(keys[i])),
                             Value::Maybe(Utf8(locations[i]))});
    }
    section.tables.push_back(std::move(rows));
    return section;
}

Section& AddCurrentAcadSection(Document& document, bool& found) {
    Section& section = document.Add("Current AutoCAD", "current_autocad");
    section.Add("selected_release", Value::Text(Utf8(CurrentAcadRelease())));
    std::wstring key, profile, executable, usersExecutable;
    GetAcadKey(key);
    GetAcadProfileKey(profile);
    if (!key.empty()) GetAcadExe(executable, key.c_str());
    GetAcadExe(usersExecutable);
    found = !key.empty();
    section.Add("product_key", Value::Maybe(Utf8(key)));
    section.Add("profile_key", Value::Maybe(Utf8(profile)));
    section.Add("executable", Value::Maybe(Utf8(executable)));
    section.Add("lt", Value::Bool(IsAutoCADLT() == 1), "AutoCAD LT");
    // What AutoCAD itself starts next for this user (its CurProd / CurVer chain).
    section.Add("user_executable", Value::Maybe(Utf8(usersExecutable)), "user's last AutoCAD");
    return section;
}

Section& AddReleaseFlagsSection(Document& document, bool& any) {
    Section& section = document.Add("Installed releases", "releases");
    std::array<long long, kReleaseVariables> flags{};
    AcadReleaseSlots slots{};
    for (int i = 0; i < kReleaseVariables; ++i) slots[i] = &flags[i];
    long long* selected = nullptr;
    wchar_t key[260] = L"", profile[260] = L"", executable[260] = L"";
    any = FillAcadReleases(slots, selected, key, profile, executable, nullptr) == 1;

    std::array<long long, kRasterReleases> raster{};
    RasterReleaseSlots rasterSlots{};
    for (int i = 0; i < kRasterReleases; ++i) rasterSlots[i] = &raster[i];
    long long* rasterSelected = nullptr;
    FillRasterReleases(rasterSlots, rasterSelected, nullptr, nullptr, nullptr, nullptr);

    std::string selectedRelease;
    if (selected != nullptr) {
        const int slot = static_cast<int>(selected - flags.data());
        selectedRelease = std::string(kGroupNames[slot / kReleasesPerGroup]) + " " +
                          ReleaseLabel(slot % kReleasesPerGroup + 1);
    }
    section.Add("current_release", Value::Maybe(selectedRelease), "current product's release");
    section.Add("product_key", Value::Maybe(Utf8(key)));
    section.Add("profile_key", Value::Maybe(Utf8(profile)));
    section.Add("executable", Value::Maybe(Utf8(executable)));

    Table rows{"releases",
               {"release", "autocad_lt", "autocad", "architecture", "raster_design"},
               {"release", "AutoCAD LT", "AutoCAD", "Architecture", "Raster Design"},
               {}};
    for (int index : ReleaseIndexes()) {
        std::vector<Value> row = {Value::Text(ReleaseLabel(index))};
        for (int group = 0; group < 3; ++group) {
            row.push_back(Value::Bool(
                flags[ReleaseVariableSlot(static_cast<AcadReleaseGroup>(group), index)] == 1));
        }
        // Raster Design was made for AutoCAD 2006 to 2012 only: null for the other years.
        const int rasterIndex = index - ReleaseIndexOfYear(2006);
        row.push_back(index >= ReleaseIndexOfYear(2006) && rasterIndex < kRasterReleases
                          ? Value::Bool(raster[rasterIndex] == 1)
                          : Value::Maybe(""));
        rows.rows.push_back(std::move(row));
    }
    section.tables.push_back(std::move(rows));
    return section;
}

Section& AddAcadFoldersSection(Document& document, int year, bool& any) {
    Section& section =
        document.Add("AutoCAD folders of " + std::to_string(year), "autocad_folders");
    Table rows{"products", {"product", "installation", "roaming"}, {}, {}};
    any = false;
    const auto add = [&](const char* product, const wchar_t* installed, const wchar_t* roaming) {
        rows.rows.push_back(
            {Value::Text(product), Value::Maybe(Utf8(installed)), Value::Maybe(Utf8(roaming))});
        any = any || *installed != L'\0';
    };
    if (year >= 2004 && year <= 2024) {
        // The per-year lookups, as products of the family call them.
        wchar_t lt[260] = L"", acad[260] = L"", arch[260] = L"";
        wchar_t ltRoaming[260] = L"", acadRoaming[260] = L"", archRoaming[260] = L"";
        using Member = int (*)(wchar_t*, wchar_t*, wchar_t*);
        static const Member dirs[] = {
            GetAcadDirs2004, GetAcadDirs2005, GetAcadDirs2006, GetAcadDirs2007, GetAcadDirs2008,
            GetAcadDirs2009, GetAcadDirs2010, GetAcadDirs2011, GetAcadDirs2012, GetAcadDirs2013,
            GetAcadDirs2014, GetAcadDirs2015, GetAcadDirs2016, GetAcadDirs2017, GetAcadDirs2018,
            GetAcadDirs2019, GetAcadDirs2020, GetAcadDirs2021, GetAcadDirs2022, GetAcadDirs2023,
            GetAcadDirs2024};
        static const Member roamable[] = {
            GetAcadRoamableDirs2007, GetAcadRoamableDirs2008, GetAcadRoamableDirs2009,
            GetAcadRoamableDirs2010, GetAcadRoamableDirs2011, GetAcadRoamableDirs2012,
            GetAcadRoamableDirs2013, GetAcadRoamableDirs2014, GetAcadRoamableDirs2015,
            GetAcadRoamableDirs2016, GetAcadRoamableDirs2017, GetAcadRoamableDirs2018,
            GetAcadRoamableDirs2019, GetAcadRoamableDirs2020, GetAcadRoamableDirs2021,
            GetAcadRoamableDirs2022, GetAcadRoamableDirs2023, GetAcadRoamableDirs2024};
        dirs[year - 2004](lt, acad, arch);
        if (year >= 2007) {
            roamable[year - 2007](ltRoaming, acadRoaming, archRoaming);
            // A product without a roaming folder leaves its installation folder: show none then.
            if (std::wstring(ltRoaming) == lt) ltRoaming[0] = L'\0';
            if (std::wstring(acadRoaming) == acad) acadRoaming[0] = L'\0';
            if (std::wstring(archRoaming) == arch) archRoaming[0] = L'\0';
        }
        add("AutoCAD LT", lt, ltRoaming);
        add("AutoCAD", acad, acadRoaming);
        add("Architecture", arch, archRoaming);
    }
    section.tables.push_back(std::move(rows));
    std::wstring appData, allUsers;
    GetAutoCADAppDataDir(appData, 0);
    GetAutoCADAppDataDir(allUsers, 1);
    section.Add("application_data", Value::Maybe(Utf8(appData)),
                "current product's application data");
    section.Add("all_users_application_data", Value::Maybe(Utf8(allUsers)), "for all users");
    return section;
}

Section& AddSupportPathSection(Document& document, bool allProfiles, bool& any) {
    Section& section =
        document.Add(allProfiles ? "Support path (all profiles)" : "Support path", "support_path");
    std::vector<std::wstring> folders;
    any = GetAcadSupportPath(folders, allProfiles ? 1 : 0) == 1;
    Table rows{"folders", {"folder", "exists"}, {}, {}};
    for (const std::wstring& folder : folders) {
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        const bool exists =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        rows.rows.push_back({Value::Text(Utf8(folder)), Value::Bool(exists)});
    }
    section.tables.push_back(std::move(rows));
    return section;
}

void AddAcadCommands(CLI::App& app, Outcome& outcome) {
    static int year = 0;
    CLI::App* acad =
        app.add_subcommand("acad", "The installed AutoCAD products as the library sees them");
    acad->add_option("--year", year,
                     "Select the AutoCAD release of this year first (default: 2020)")
        ->check(CLI::Range(1990, 2100));
    acad->add_flag("--json", outcome.json, "Print JSON");
    acad->require_subcommand(1);
    acad->fallthrough();
    // Options are all parsed before any callback runs, so each command selects the year first.
    const auto selectYear = [] {
        if (year != 0) SelectAcadReleaseByYear(year);
    };

    acad->add_subcommand("list",
                         "Installed products in the library's order, the current one marked")
        ->callback([&outcome, selectYear] {
            selectYear();
            bool any = false;
            AddAcadProductsSection(outcome.document, any);
            outcome.status = any ? kSuccess : kNotFound;
        });
    acad->add_subcommand("current",
                         "The current product of the selected release: key, profile, executable")
        ->callback([&outcome, selectYear] {
            selectYear();
            bool found = false;
            AddCurrentAcadSection(outcome.document, found);
            outcome.status = found ? kSuccess : kNotFound;
        });
    static int dirsYear = 2020;
    CLI::App* dirs = acad->add_subcommand(
        "dirs", "Installation and roaming folders of LT, AutoCAD and Architecture of a year");
    dirs->add_option("YEAR", dirsYear, "The year (2004 to 2024; default 2020)")
        ->check(CLI::Range(2004, 2024));
    dirs->callback([&outcome, selectYear] {
        selectYear();
        bool any = false;
        AddAcadFoldersSection(outcome.document, dirsYear, any);
        outcome.status = any ? kSuccess : kNotFound;
    });
    acad->add_subcommand(
            "releases",
            "Which releases of AutoCAD, LT, Architecture and Raster Design are installed")
        ->callback([&outcome, selectYear] {
            selectYear();
            bool any = false;
            AddReleaseFlagsSection(outcome.document, any);
            outcome.status = any ? kSuccess : kNotFound;
        });
}

}  // namespace tarvo
