#include "variables/full_path_vars.h"

#include <tarvox/acad_folders.h>
#include <tarvox/folders.h>
#include <tarvox/modules.h>
#include <tarvox/registry.h>

#include "autocad/release_folders.h"
#include "foundation/folder_value.h"
#include "foundation/own_module.h"
#include "foundation/product_identity.h"
#include "foundation/registry_walk.h"
#include "foundation/text_compare.h"
#include "paths/edition_names.h"
#include "paths/full_expansion.h"

#include <windows.h>

#include <array>
#include <cwchar>
#include <optional>

namespace tarvox {

namespace {

constexpr std::size_t kMaxRows = 1024;
constexpr const wchar_t* kMainProductKey = kArdentKey.c_str();

std::wstring WithoutTrailingBackslash(std::wstring_view text) {
    return std::wstring(tarvox::WithoutTrailingBackslash(text));
}

// A string value under HKEY_LOCAL_MACHINE, one trailing backslash removed; none when missing or
// longer than a folder buffer.
std::optional<std::wstring> ReadMachineValue(const wchar_t* key, const wchar_t* name) {
    CRegKeyHolder holder(HKEY_LOCAL_MACHINE, key, 0, 0);
    std::wstring value;
    if (holder.Get() == nullptr || !ReadShortValue(value, holder, name)) return std::nullopt;
    return WithoutTrailingBackslash(value);
}

// The same, with "" for a missing value.
std::wstring MachineValue(const wchar_t* key, const wchar_t* name) {
    return ReadMachineValue(key, name).value_or(std::wstring());
}

bool FileExists(const std::wstring& path) { return PathExists(path.c_str()) == 1; }

std::wstring Joined(std::wstring folder, const wchar_t* name) {
    AppendBackslash(folder);
    return folder + name;
}

struct MarkerRule {
    std::vector<const wchar_t*> present;
    std::vector<const wchar_t*> absent;
};

bool MatchesMarkers(const std::wstring& folder, const MarkerRule& rule) {
    if (folder.empty()) return false;
    for (const wchar_t* file : rule.present) {
        if (!FileExists(Joined(folder, file))) return false;
    }
    for (const wchar_t* file : rule.absent) {
        if (FileExists(Joined(folder, file))) return false;
    }
    return true;
}

class Rows {
public:
    Rows(std::vector<std::wstring>& names, std::vector<std::wstring>& values)
        : m_names(names), m_values(values) {
        m_names.clear();
        m_values.clear();
    }
    void Add(std::wstring name, std::wstring value) {
        if (m_names.size() >= kMaxRows) return;
        m_names.push_back(std::move(name));
        m_values.push_back(std::move(value));
    }
    void Add(const wchar_t* name, const wchar_t* buffer) {
        Add(std::wstring(name), std::wstring(buffer));
    }
    std::size_t Count() const { return m_names.size(); }

private:
    std::vector<std::wstring>& m_names;
    std::vector<std::wstring>& m_values;
};

std::wstring Year(const wchar_t* prefix, int year, const wchar_t* suffix = L"%") {
    return std::wstring(prefix) + std::to_wstring(year) + suffix;
}

void AddLegacyRows(Rows& rows) {
    rows.Add(L"%ORVBAU%",
             MachineValue(L"SOFTWARE\\Orvan AG\\Orvan Bau 2000\\1.0\\InstallDir", L"InstallDir"));
    std::wstring viz = MachineValue(L"SOFTWARE\\Autodesk\\3D Studio VIZ\\3.0\\Help", L"3dsviz.chm");
    if (const std::size_t slash = viz.rfind(L'\\'); slash != std::wstring::npos) viz.resize(slash);
    rows.Add(L"%VIZ%", viz);

    const std::wstring zenit =
        MachineValue(L"SOFTWARE\\Orvan AG\\Orvan Zenit 2004\\1.0\\InstallDir", L"InstallDir");
    const std::vector<const wchar_t*> runtimes = {L"Runtimeac.txt", L"Runtimelt.txt",
                                                  L"Runtimeac2002.txt", L"Runtimelt2002.txt"};
    const auto with = [](std::vector<const wchar_t*> list,
                         std::initializer_list<const wchar_t*> more) {
        list.insert(list.end(), more);
        return list;
    };
    const struct {
        const wchar_t* name;
        MarkerRule rule;
    } legacy[] = {
        {L"%ORVBAU_LT%",
         {{L"TarvoARXapi.dll"},
          with(runtimes, {L"TarvoArdentLoad.arx", L"Ver2002LT.txt", L"Ver2002AC.txt", L"Adtkit.txt",
                          L"TarvoKanal.dll"})}},
        {L"%ORVBAU_LTi%",
         {{L"TarvoARXapi.dll", L"TarvoKanal.dll"},
          with(runtimes,
               {L"TarvoArdentLoad.arx", L"Ver2002LT.txt", L"Ver2002AC.txt", L"Adtkit.txt"})}},
        {L"%ORVBAU_LT2002%",
         {{L"TarvoARXapi.dll", L"Ver2002LT.txt"},
          with(runtimes, {L"TarvoArdentLoad.arx", L"Adtkit.txt"})}},
        {L"%ORVBAU_AC%",
         {{L"TarvoArdentLoad.arx"},
          with(runtimes,
               {L"TarvoARXapi.dll", L"Ver2002LT.txt", L"Ver2002AC.txt", L"TarvoKanal.dll"})}},
        {L"%ORVBAU_ACi%",
         {{L"TarvoArdentLoad.arx", L"TarvoKanal.dll"},
          with(runtimes, {L"TarvoARXapi.dll", L"Ver2002LT.txt", L"Ver2002AC.txt"})}},
        {L"%ORVBAU_AC2002%",
         {{L"TarvoArdentLoad.arx", L"Ver2002AC.txt"}, with(runtimes, {L"TarvoARXapi.dll"})}},
    };
    for (const auto& row : legacy)
        rows.Add(row.name, MatchesMarkers(zenit, row.rule) ? zenit : L"");

    wchar_t buffer[kFolderChars];
    rows.Add(L"%ORVBAU_2004_CONFIG%", GetLocalConfigDir(buffer));
}

void AddProductYearRows(Rows& rows) {
    wchar_t buffer[kFolderChars];
    for (int year = 2004; year <= 2011; ++year)
        rows.Add(Year(L"%TarvoArdent_", year), GetCentralAppDir(buffer, year));
    rows.Add(L"%TarvoArdent_2013%", GetCentralAppDir(buffer, 2013));

    rows.Add(L"%TarvoVeska_2013_U%", GetLocalRAppDir(buffer, 2013));
    rows.Add(L"%TarvoVeska_2013%", GetCentralRAppDir(buffer, 2013));
    rows.Add(L"%TarvoArdent_2013_U%", GetLocalAppDir(buffer, 2013));
    std::array<wchar_t, kFolderChars> lt{}, ac{}, adt{}, ltRoaming{}, acRoaming{}, adtRoaming{};
    GetAcadDirs(2013, lt.data(), ac.data(), adt.data(), nullptr, nullptr);
    GetAcadRoamableDirs(2013, ltRoaming.data(), acRoaming.data(), adtRoaming.data(), nullptr,
                        nullptr);
    rows.Add(L"%LT2013%", lt.data());
    rows.Add(L"%LT2013_U%", ltRoaming.data());
    rows.Add(L"%AC2013%", ac.data());
    rows.Add(L"%AC2013_U%", acRoaming.data());
    rows.Add(L"%ADT2013%", adt.data());
    rows.Add(L"%ADT2013_U%", adtRoaming.data());

    // The year 2016 belongs to the older product line's names.
    const auto ardent = [](int year, const wchar_t* suffix) {
        return year == 2016 ? std::wstring(L"%ORVZENIT_2016") + suffix
                            : Year(L"%TarvoArdent_", year, suffix);
    };
    const auto veska = [](int year, const wchar_t* suffix) {
        return year == 2016 ? std::wstring(L"%ORVZENITR_2016") + suffix
                            : Year(L"%TarvoVeska_", year, suffix);
    };
    for (int year = 2012; year <= 2024; ++year)
        rows.Add(ardent(year, L"%"), GetCentralAppDir(buffer, year));
    for (int year = 2008; year <= 2024; ++year)
        rows.Add(veska(year, L"_U%"), GetLocalRAppDir(buffer, year));
    for (int year = 2008; year <= 2024; ++year)
        rows.Add(veska(year, L"%"), GetCentralRAppDir(buffer, year));

    std::wstring desktop;
    GetShortRegValue(desktop, (std::wstring(L"HKEY_CURRENT_USER\\") + kShellFoldersKey).c_str(),
                     L"Desktop", 0);
    rows.Add(L"%Desktop%", WithoutTrailingBackslash(desktop));

    const std::wstring central = GetCentralAppDir(buffer);
    wchar_t isOem[32] = L"";
    const std::wstring oemFile = Joined(central, L"OEM.txt");
    GetPrivateProfileStringW(L"OEM", L"IsOem", L"False", isOem, 32, oemFile.c_str());
    rows.Add(L"%PA%", !central.empty() && EqualsIgnoringAsciiCase(isOem, L"True") ? central : L"");

    for (int year = 2004; year <= 2024; ++year)
        rows.Add(ardent(year, L"_U%"), GetLocalAppDir(buffer, year));

    const std::vector<const wchar_t*> exclusive = {L"TarvoARXapi.dll", L"Runtimeac.txt",
                                                   L"Runtimelt.txt"};
    for (int year : {2004, 2005, 2006}) {
        const std::wstring marker = L"Ver" + std::to_wstring(year) + L"AC.txt";
        const MarkerRule rule{{L"TarvoArdentLoad.arx", marker.c_str()}, exclusive};
        rows.Add(Year(L"%ORVBAU_AC", year), MatchesMarkers(central, rule) ? central : L"");
    }
}

std::optional<std::wstring> MainProductValue(const wchar_t* neutralName) {
    std::wstring name;
    MapEditionName(neutralName, name);
    return ReadMachineValue(kMainProductKey, name.c_str());
}

// The fallbacks of the movies and menu folders stand in only for a missing value; a value that
// is there but empty stays empty.
void AddMainProductRows(Rows& rows) {
    const std::optional<std::wstring> movies = ReadMachineValue(kMainProductKey, L"MoviesDir");
    rows.Add(L"%MOVIES%",
             movies ? *movies : MainProductValue(L"InstallDir").value_or(L"") + L"\\Movies");
    const std::wstring users = MainProductValue(L"Anwender").value_or(L"");
    rows.Add(L"%ANWENDER%", users);
    const std::optional<std::wstring> menus = MainProductValue(L"AnwenderMenue");
    rows.Add(L"%ANWENDERMNU%", menus ? *menus : users + L"\\mnu");
    rows.Add(L"%SYMBOLE%", MainProductValue(L"Symbole").value_or(L""));
}

// A product of an early release, told by its ProductName: equal to one of up to two names, or
// starting with one of them (case ignored in ASCII).
struct EarlyRow {
    enum Match { Equals, StartsWith };
    const wchar_t* name;
    const wchar_t* productsKey;
    const wchar_t* folderValue;
    const wchar_t* program;
    Match match;
    const wchar_t* productName;
    const wchar_t* otherProductName = nullptr;

    bool Names(std::wstring_view text) const {
        for (const wchar_t* candidate : {productName, otherProductName}) {
            if (candidate == nullptr) continue;
            if (match == Equals ? EqualsIgnoringAsciiCase(text, candidate)
                                : StartsWithIgnoringAsciiCase(text, candidate))
                return true;
        }
        return false;
    }
};

// The folder of the first of the release's products (at most 1000 are looked at) whose name
// the row names and whose folder holds the row's program.
std::wstring EarlyReleaseFolder(const EarlyRow& row) {
    CRegKeyHolder products(HKEY_LOCAL_MACHINE, row.productsKey, 0, 0);
    std::wstring found;
    int listed = 0;
    WalkRegSubKeys(products, [&](std::wstring_view subkey) {
        if (listed++ == 1000) return WalkStep::Stop;  // at most 1000 products
        CRegKeyHolder product(products, std::wstring(subkey).c_str(), 0, 0);
        std::wstring name;
        if (product.Get() == nullptr || !ReadShortValue(name, product, L"ProductName") ||
            !row.Names(name))
            return WalkStep::Next;
        std::wstring folder;
        if (!ReadShortValue(folder, product, row.folderValue) ||
            !FileExists(Joined(folder, row.program)))
            return WalkStep::Next;
        found = folder;
        return WalkStep::Stop;
    });
    return found;
}

void AddEarlyReleaseRows(Rows& rows) {
    constexpr wchar_t kR15[] = L"SOFTWARE\\Autodesk\\AutoCAD\\R15.0";
    constexpr wchar_t kLt2000[] = L"SOFTWARE\\Autodesk\\AutoCAD LT\\R2000";
    constexpr wchar_t kLt2000i[] = L"SOFTWARE\\Autodesk\\AutoCAD LT\\R7";
    constexpr wchar_t kLt2002[] = L"SOFTWARE\\Autodesk\\AutoCAD LT\\R8";
    constexpr wchar_t kAcadFolder[] = L"AcadLocation";
    constexpr wchar_t kAcad[] = L"aCaD.eXe";
    constexpr wchar_t kLtFolder[] = L"Location";
    constexpr wchar_t kLt[] = L"ACLT.EXE";
    using enum EarlyRow::Match;
    const EarlyRow early[] = {
        {L"%ADT%", kR15, kAcadFolder, kAcad, StartsWith, L"AutoCAD Architectural Desktop"},
        {L"%ADT20%", kR15, kAcadFolder, kAcad, Equals, L"AutoCAD Architectural Desktop 2"},
        {L"%AC%", kR15, kAcadFolder, kAcad, StartsWith, L"AutoCAD 2000"},
        {L"%ADTi%", kR15, kAcadFolder, kAcad, Equals, L"AutoCAD Architectural Desktop 3",
         L"Autodesk Architectural Desktop 3"},
        {L"%ACi%", kR15, kAcadFolder, kAcad, Equals, L"AutoCAD 2000i"},
        {L"%ADT33%", kR15, kAcadFolder, kAcad, StartsWith, L"AutoCAD Architectural Desktop 3.3",
         L"AutoDesk Architectural Desktop 3.3"},
        {L"%AC2002%", kR15, kAcadFolder, kAcad, StartsWith, L"AutoCAD 2004"},
        {L"%LT%", kLt2000, kLtFolder, kLt, StartsWith, L"AutoCAD LT 2000"},
        {L"%LTi%", kLt2000i, kLtFolder, kLt, StartsWith, L"AutoCAD LT 2000i"},
        {L"%LT2002%", kLt2002, kLtFolder, kLt, StartsWith, L"AutoCAD LT 2004"},
    };
    for (const EarlyRow& row : early) rows.Add(row.name, EarlyReleaseFolder(row));
}

// The per-year folders of AutoCAD LT, AutoCAD and Architecture, as the lookups write them.
void AddReleaseRows(Rows& rows) {
    constexpr int kFirst = 2004, kFirstRoaming = 2007, kLast = 2024;
    using Folder = std::array<wchar_t, kFolderChars>;
    std::array<std::array<Folder, 3>, kLast + 1 - kFirst> installed{};
    std::array<std::array<Folder, 3>, kLast + 1 - kFirst> roaming{};
    for (int year = kFirst; year <= kLast; ++year) {
        auto& folders = installed[year - kFirst];
        autocad::AcadDirsOfYear(year, folders[0].data(), folders[1].data(), folders[2].data());
        if (year >= kFirstRoaming) {
            auto& user = roaming[year - kFirst];
            autocad::AcadRoamableDirsOfYear(year, user[0].data(), user[1].data(), user[2].data());
        }
    }
    const wchar_t* prefixes[3] = {L"%LT", L"%AC", L"%ADT"};
    for (int group = 0; group < 3; ++group) {
        for (int year = kFirst; year <= kLast; ++year)
            rows.Add(Year(prefixes[group], year), installed[year - kFirst][group].data());
        for (int year = kFirstRoaming; year <= kLast; ++year) {
            rows.Add(Year(prefixes[group], year, L"_U%"), roaming[year - kFirst][group].data());
        }
    }
}

void AddSystemRows(Rows& rows, const std::wstring& legacyBau) {
    wchar_t buffer[kFolderChars];
    const std::wstring central = GetCentralAppDir(buffer);
    static constexpr auto kTallixKey = kFamilyKey + L"\\Tarvo Tallix 2000\\1.0\\InstallDir";
    const std::wstring tallixKey = MachineValue(kTallixKey.c_str(), L"InstallDir");
    rows.Add(L"%TarvoTLX%",
             !central.empty() && FileExists(Joined(central, L"Tarvo Tallix\\ORVTLX.dll"))
                 ? central
                 : tallixKey);
    const std::wstring tallixUser = GetDirValue(L"Tallix", buffer);
    rows.Add(L"%ORVTLX_U%", !tallixUser.empty() && FileExists(Joined(tallixUser, L"ORVTLX.mde"))
                                ? tallixUser
                                : tallixKey);
    rows.Add(L"%HELP%", legacyBau + L"\\Help");
    rows.Add(L"%PLUS%", legacyBau + L"\\Tarvo Zenit +");

    // A system folder call gives the length written, 0 on failure, or more when it does not fit.
    const auto systemFolder = [&buffer](UINT length) {
        return length > 0 && length < kFolderChars ? WithoutTrailingBackslash(buffer)
                                                   : std::wstring();
    };
    rows.Add(L"%SYSTEM%", systemFolder(GetSystemDirectoryW(buffer, kFolderChars)));
    rows.Add(L"%WINDIR%", systemFolder(GetWindowsDirectoryW(buffer, kFolderChars)));
    rows.Add(L"%TEMP%", systemFolder(GetTempPathW(kFolderChars, buffer)));
    const std::wstring programs =
        MachineValue(L"Software\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir");
    rows.Add(L"%PROG%", programs);
    rows.Add(L"%DIDAKT%", programs + L"\\Tarvo Didakt");
}

// Every "Shell Folders" value of a hive, the default value included, in enumeration order,
// without a type test and without a duplicate check. The first value that does not fit a folder
// buffer (name or data) ends the hive's rows.
void AddShellFolderRows(Rows& rows, HKEY hive) {
    WalkShellFolders(hive, OnUnreadable::End, [&](const RegValueItem& item) {
        constexpr std::size_t kRoom = kFolderChars;
        if (item.name.size() >= kRoom || item.bytes > kRoom * sizeof(wchar_t))
            return WalkStep::Stop;
        rows.Add(L"%" + std::wstring(item.name) + L"%", WithoutTrailingBackslash(StringData(item)));
        return WalkStep::Next;
    });
}

// The variables an installed Revit extension contributes.
void AddRevitRows(Rows& rows) {
    void* const* installer = GetRevitInstaller();
    if (installer == nullptr || installer[kRevitVariablesEntry] == nullptr) return;
    const auto list = reinterpret_cast<RevitVariablesFunction>(installer[kRevitVariablesEntry]);
    long long length = 0;
    const wchar_t* values = nullptr;
    list(nullptr, &values, &length);
    if (length <= 0 || length > (1 << 20)) return;
    std::vector<wchar_t> names(static_cast<std::size_t>(length) + 2, L'\0');
    values = nullptr;
    list(names.data(), &values, &length);
    if (values == nullptr) return;
    // Both lists end with an empty string; the names buffer is bounded by its length.
    const wchar_t* name = names.data();
    const wchar_t* const namesEnd = names.data() + names.size();
    while (name < namesEnd && *name != L'\0' && *values != L'\0') {
        const std::wstring rowName(name);
        const std::wstring rowValue(values);
        rows.Add(rowName, rowValue);
        name += rowName.size() + 1;
        values += rowValue.size() + 1;
    }
}

}  // namespace

long long BuildFullPathVarTable(std::vector<std::wstring>& names,
                                std::vector<std::wstring>& values) {
    Rows rows(names, values);
    AddLegacyRows(rows);
    AddProductYearRows(rows);
    AddMainProductRows(rows);
    AddEarlyReleaseRows(rows);
    AddReleaseRows(rows);
    AddSystemRows(rows, values.empty() ? std::wstring() : values.front());
    AddShellFolderRows(rows, HKEY_LOCAL_MACHINE);
    AddShellFolderRows(rows, HKEY_CURRENT_USER);
    AddRevitRows(rows);
    return static_cast<long long>(rows.Count());
}

std::wstring ExpandAllPathVars(const wchar_t* text) {
    if (text == nullptr || *text == L'\0') return {};
    std::vector<std::wstring> names;
    std::vector<std::wstring> values;
    if (BuildFullPathVarTable(names, values) == 0) return {};
    std::wstring program = ProgramPath();
    program.resize(program.rfind(L'\\') == std::wstring::npos ? 0 : program.rfind(L'\\'));
    return ExpandWithRows(text, names, values, program);
}

}  // namespace tarvox

wchar_t* ExpandAllPathVars(const wchar_t* text, wchar_t* out) {
    if (out == nullptr) return nullptr;
    const std::wstring expanded = tarvox::ExpandAllPathVars(text);
    expanded.copy(out, expanded.size());
    out[expanded.size()] = L'\0';
    return out;
}
