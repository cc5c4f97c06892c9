// The compact path-variable table: sources, filter, cache, and expansion.
#include "variables/path_vars.h"

#include <tarvox/autocad.h>
#include <tarvox/config.h>
#include <tarvox/registry.h>

#include "autocad/release_catalogue.h"
#include "foundation/folder_value.h"
#include "foundation/product_identity.h"
#include "foundation/registry_walk.h"
#include "foundation/text_compare.h"
#include "foundation/unique_handle.h"
#include "paths/product_folders.h"

#include <windows.h>

#include <cwchar>
#include <memory>

namespace {

using tarvox::PathVarTable;
using tarvox::WithoutTrailingBackslash;

constexpr tarvox::NameOrder kOrder = tarvox::CompareSystemIgnoringCase;

std::wstring_view TrimBlanks(std::wstring_view text) {
    constexpr std::wstring_view kBlanks = L" \t\n";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::wstring Percented(std::wstring_view name) {
    std::wstring result;
    result.reserve(name.size() + 2);
    result += L'%';
    result += name;
    result += L'%';
    return result;
}

bool Lookup(const PathVarTable& table, std::wstring_view name, std::wstring& value) {
    std::size_t index = 0;
    if (!tarvox::FindPathVar(table, name, kOrder, index)) return false;
    value = table.values[index];
    return true;
}

void AddEnvironment(PathVarTable& table) {
    const tarvox::EnvironmentBlock block(GetEnvironmentStringsW());
    if (!block.Valid()) return;
    for (const wchar_t* entry = block.Get(); *entry != L'\0'; entry += std::wcslen(entry) + 1) {
        const std::wstring_view line(entry);
        const auto equals = line.find(L'=');
        if (equals == std::wstring_view::npos) continue;
        // Entries such as "=C:=C:\" start with the equals sign: their name is empty.
        const std::wstring_view name = TrimBlanks(line.substr(0, equals));
        const std::wstring_view value = TrimBlanks(line.substr(equals + 1));
        if (name.empty() || value.empty()) continue;
        tarvox::AddPathVar(table, Percented(name), WithoutTrailingBackslash(value), kOrder);
    }
}

void AddCommonFilesX86(PathVarTable& table) {
    std::wstring value;
    if (Lookup(table, L"%CommonProgramFiles(x86)%", value) ||
        Lookup(table, L"%CommonProgramFiles%", value)) {
        tarvox::AddPathVar(table, L"%CommonFilesDirX86%", value, kOrder);
    }
}

void AddShellFolders(PathVarTable& table, HKEY root) {
    using tarvox::WalkStep;
    tarvox::WalkShellFolders(
        root, tarvox::OnUnreadable::End, [&](const tarvox::RegValueItem& item) {
            // Names and data of up to 260 characters: a longer value counts as missing.
            constexpr std::size_t kRoom = tarvox::kFolderChars;
            if (item.name.size() > kRoom || item.bytes > kRoom * sizeof(wchar_t))
                return WalkStep::Next;
            if (item.type != REG_SZ) return WalkStep::Next;
            const std::wstring data = tarvox::StringData(item);
            std::wstring_view value(data);
            while (!value.empty() && value.back() == L' ') value.remove_suffix(1);
            if (!value.empty()) tarvox::AddPathVar(table, Percented(item.name), value, kOrder);
            return WalkStep::Next;
        });
}

// A value of a product's key read through the registry form of its configuration.
std::wstring ProductKeyValue(const wchar_t* keyPath, const wchar_t* name) {
    CCfgReader reader(keyPath);
    std::wstring value;
    if (!reader.IsInit() || !reader.GetValue(value, L"\\", name, L"")) return {};
    return value;
}

void AddMainProductFolders(PathVarTable& table) {
    const wchar_t* const key = tarvox::kArdentMachinePath.c_str();
    std::wstring folder = ProductKeyValue(key, L"InstallDir");
    if (folder.empty()) folder = ProductKeyValue(key, L"InstallDir_AR");
    if (folder.empty()) return;
    const std::wstring_view trimmed = WithoutTrailingBackslash(folder);
    tarvox::AddPathVar(table, tarvox::kArdentFolderVar.view(), trimmed, kOrder);
    tarvox::AddPathVar(table, tarvox::kArdentHelpVar.view(), std::wstring(trimmed) + L"\\Help",
                       kOrder);
}

void AddSecondProductFolder(PathVarTable& table) {
    const std::wstring folder = ProductKeyValue(tarvox::kVeskaMachinePath.c_str(), L"InstallDir");
    const std::wstring_view variable = tarvox::kVeskaUserFolderVar.view();
    if (!folder.empty())
        tarvox::AddPathVar(table, variable, WithoutTrailingBackslash(folder), kOrder);
    // The default below the user's application data, when the installation said nothing.
    std::wstring appData;
    if (Lookup(table, L"%APPDATA%", appData)) {
        tarvox::AddPathVar(
            table, variable,
            appData + L"\\" + tarvox::kFamilyFolder.c_str() + L"\\" + tarvox::kVeskaOfYear.c_str(),
            kOrder);
    }
}

void AddProductUserFolder(PathVarTable& table) {
    std::wstring existing;
    if (Lookup(table, tarvox::kArdentUserFolderVar.view(), existing)) return;
    wchar_t folder[tarvox::kFolderBufferChars];
    GetProductUserDir(folder, tarvox::ProductYear);
    if (folder[0] != L'\0')
        tarvox::AddPathVar(table, tarvox::kArdentUserFolderVar.view(), folder, kOrder);
}

// AutoCAD's own folder values of the product year's release (R23.1, AutoCAD 2020).
void AddProductYearAcadFolders(PathVarTable& table) {
    const std::wstring release = tarvox::autocad::AcadReleaseKeyForYear(tarvox::ProductYear);
    std::wstring releaseKey = L"Software\\Autodesk\\AutoCAD\\" + release;
    std::wstring curVer;
    switch (tarvox::ReadReleaseCurVer(release, 0, curVer)) {
        case tarvox::CurVerRead::NoReleaseKey: break;  // the release key itself
        case tarvox::CurVerRead::Missing: return;
        case tarvox::CurVerRead::Found: releaseKey += L"\\" + curVer; break;
    }
    struct Source {
        HKEY root;
        const wchar_t* valueName;
    };
    const Source sources[] = {
        {HKEY_CURRENT_USER, L"LocalRootFolder"}, {HKEY_CURRENT_USER, L"RoamableRootFolder"},
        {HKEY_CURRENT_USER, L"AllUsersFolder"},  {HKEY_CURRENT_USER, L"PublicFolder"},
        {HKEY_LOCAL_MACHINE, L"Location"},       {HKEY_LOCAL_MACHINE, L"AllUsersRootFolder"},
    };
    for (const Source& source : sources) {
        CRegKeyHolder key(source.root, releaseKey.c_str(), 0, 0);
        std::wstring value;
        if (key.Get() == nullptr || !tarvox::ReadShortValue(value, key, source.valueName)) continue;
        const std::wstring_view folder = WithoutTrailingBackslash(value);
        if (folder.empty()) continue;
        tarvox::AddPathVar(table, L"%AutoCAD_" + std::wstring(source.valueName) + L"%", folder,
                           kOrder);
    }
}

// The current AutoCAD product of the selected release: its installation folder and the
// per-user folders AutoCAD records under its key.
void AddCurrentAcadFolders(PathVarTable& table) {
    std::wstring productKey;
    if (*GetAcadKey(productKey) == L'\0') return;
    std::wstring executable;
    GetAcadExe(executable, productKey.c_str());
    if (const std::size_t slash = executable.rfind(L'\\'); slash != std::wstring::npos) {
        tarvox::AddPathVar(table, L"%ACINSTALLFOLDER%", executable.substr(0, slash), kOrder);
    }
    struct Source {
        const wchar_t* valueName;
        const wchar_t* variable;
    };
    const Source sources[] = {
        {L"AllUsersFolder", L"%ACALLUSERSFOLDER%"},
        {L"AutodeskSharedFolder", L"%ACAUTODESKSHAREDFOLDER%"},
        {L"LocalRootFolder", L"%ACLOCALROOTFOLDER%"},
        {L"RoamableRootFolder", L"%ACROAMINGROOTFOLDER%"},
    };
    CRegKeyHolder userProduct(HKEY_CURRENT_USER, productKey.c_str(), 0, 0);
    if (userProduct.Get() == nullptr) return;
    for (const Source& source : sources) {
        std::wstring value;
        if (!tarvox::ReadShortValue(value, userProduct, source.valueName)) continue;
        const std::wstring_view folder = WithoutTrailingBackslash(value);
        if (!folder.empty()) tarvox::AddPathVar(table, source.variable, folder, kOrder);
    }
}

bool IsFilteredOut(const std::wstring& name, const std::wstring& value) {
    if (name.size() <= 3 || value.size() < 4) return true;
    if (name.find_first_of(L"{}") != std::wstring::npos) return true;
    if (value.find(L'\\') == std::wstring::npos) return true;
    for (const wchar_t* dropped :
         {L"%LOGONSERVER%", L"%HOMEDRIVE%", L"%HOMEPATH%", L"%SYSTEMDRIVE%"}) {
        if (tarvox::EqualsIgnoringAsciiCase(name, dropped)) return true;
    }
    return false;
}

void ApplyFilter(PathVarTable& table) {
    for (std::size_t i = table.names.size(); i-- > 0;) {
        if (IsFilteredOut(table.names[i], table.values[i])) {
            table.names.erase(table.names.begin() + static_cast<std::ptrdiff_t>(i));
            table.values.erase(table.values.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

}  // namespace

int BuildPathVarTable(std::vector<std::wstring>& names, std::vector<std::wstring>& values,
                      int aliases) {
    PathVarTable table;
    AddEnvironment(table);
    AddCommonFilesX86(table);
    AddShellFolders(table, HKEY_LOCAL_MACHINE);
    AddShellFolders(table, HKEY_CURRENT_USER);
    AddMainProductFolders(table);
    AddProductUserFolder(table);
    AddProductYearAcadFolders(table);
    AddSecondProductFolder(table);
    ApplyFilter(table);
    AddCurrentAcadFolders(table);
    if (aliases == 1) {
        std::wstring location;
        if (Lookup(table, L"%AutoCAD_Location%", location)) {
            // AutoCAD's variables of the product year: %AC2020%, %ACA2020%, %ADT2020%.
            for (const wchar_t* family : {L"%AC", L"%ACA", L"%ADT"}) {
                tarvox::AddPathVar(table, family + std::to_wstring(tarvox::ProductYear) + L"%",
                                   location, kOrder);
            }
        }
        std::wstring programFiles;
        if (Lookup(table, L"%ProgramFiles%", programFiles)) {
            tarvox::AddPathVar(table, L"%PROG%", programFiles, kOrder);
        }
    }
    names = std::move(table.names);
    values = std::move(table.values);
    return 1;
}

namespace tarvox {

const PathVarTable& ExpansionPathVarTable() {
    // Built once and kept: the table is consulted for every REG_EXPAND_SZ value read.
    static const PathVarTable table = [] {
        PathVarTable built;
        BuildPathVarTable(built.names, built.values, 0);
        return built;
    }();
    return table;
}

namespace {

struct AbbreviationTable {
    PathVarTable table;
    std::vector<std::size_t> lengthIndex;
};

const AbbreviationTable& AbbreviationTableFor(int aliases) {
    // One table with the alias variables and one without, each with its length index.
    static std::unique_ptr<AbbreviationTable> tables[2];
    std::unique_ptr<AbbreviationTable>& slot = tables[aliases == 1 ? 1 : 0];
    if (!slot) {
        // Built whole before it is kept: a build that fails keeps nothing.
        auto built = std::make_unique<AbbreviationTable>();
        BuildPathVarTable(built->table.names, built->table.values, aliases == 1 ? 1 : 0);
        built->lengthIndex = BuildLengthIndex(built->table);
        slot = std::move(built);
    }
    return *slot;
}

}  // namespace

std::wstring AbbreviatePath(const std::wstring& expanded, int aliases) {
    const AbbreviationTable& cached = AbbreviationTableFor(aliases);
    return AbbreviateWithTable(expanded, cached.table, cached.lengthIndex, kOrder);
}

const PathVarTable& CompactPathVarTable(int aliases) { return AbbreviationTableFor(aliases).table; }

int ExpandAndAbbreviate(std::wstring& withVars, std::wstring& withoutVars, const wchar_t* path,
                        int aliases) {
    if (path == nullptr || *path == L'\0') {
        withoutVars.clear();
        return 0;
    }
    if (std::wcschr(path, L'%') == nullptr) {
        if (path != withoutVars.c_str()) withoutVars = path;
        return 1;
    }
    const std::wstring input(path);  // path may be one of the outputs' buffers
    withVars.clear();
    withoutVars.clear();
    const AbbreviationTable& cached = AbbreviationTableFor(aliases);
    withoutVars = ExpandWithTable(input, cached.table, kOrder);
    withVars = AbbreviateWithTable(withoutVars, cached.table, cached.lengthIndex, kOrder);
    return 1;
}

}  // namespace tarvox

int ExpandPathVars(const wchar_t* text, std::wstring& out) {
    if (text == nullptr || *text == L'\0') return 0;
    // Copy first: text may be out's own buffer.
    const std::wstring input(text);
    out = tarvox::ExpandWithTable(input, tarvox::ExpansionPathVarTable(), kOrder);
    return 1;
}
