// tarvo doctor: why the add-on does not show up. A fixed list of checks, each problem reported
// as a finding with a stable identifier, a severity, what was found, where, and the next step.
// Every check asks the library's own readers, so that it sees what the products see.
#include "tools/tarvo/commands.h"

#include <tarvox/acad_folders.h>
#include <tarvox/autocad.h>
#include <tarvox/config.h>
#include <tarvox/folders.h>
#include <tarvox/modules.h>
#include <tarvox/registry.h>

#include "autocad/acad_infos.h"
#include "autocad/installed_products.h"
#include "autocad/product_keys.h"
#include "autocad/release_catalogue.h"
#include "config/cfg_file_io.h"
#include "config/folder_list.h"
#include "cuix/cuix_file.h"
#include "cuix/cuix_parts.h"
#include "text/utf8_decoder.h"
#include "foundation/own_module.h"
#include "foundation/product_identity.h"
#include "foundation/registry_access.h"
#include "foundation/text_compare.h"
#include "paths/edition_record.h"
#include "paths/edition_rules.h"
#include "variables/path_vars.h"
#include "paths/product_edition.h"
#include "paths/setup_information.h"

#include <windows.h>

#include <algorithm>

namespace tarvo {

namespace {

enum class Severity { Error, Warning, Note };

const char* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::Error: return "error";
        case Severity::Warning: return "warning";
        default: return "note";
    }
}

struct Finding {
    std::string id;
    Severity severity;
    std::string found;
    std::string where;
    std::string nextStep;
};

using Findings = std::vector<Finding>;

// The products the advice speaks of, spelled as the library spells them.
const std::string kAcadText = "AutoCAD " + std::to_string(tarvox::ProductYear);
const std::string kArdentText = Utf8(tarvox::kArdentName.view());
const std::string kArdentYearText = Utf8(tarvox::kArdentOfYear.view());
const std::string kVeskaYearText = Utf8(tarvox::kVeskaOfYear.view());
const std::string kArdentFolderVarText = Utf8(tarvox::kArdentFolderVar.view());
using tarvox::EqualsIgnoringCaseOrdinal;

void Add(Findings& findings, const char* id, Severity severity, std::string found,
         std::wstring_view where, std::string nextStep) {
    findings.push_back({id, severity, std::move(found), Utf8(where), std::move(nextStep)});
}

std::string Quoted(std::wstring_view text) { return "\"" + Utf8(text) + "\""; }

std::wstring LastComponent(std::wstring_view path) {
    const std::size_t slash = path.rfind(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

std::wstring WithBackslash(std::wstring path) {
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path;
}

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool KeyExists(HKEY root, const std::wstring& subKey) {
    const CRegKeyHolder key(root, subKey.c_str(), 0, 1);
    return key.Get() != nullptr;
}

// A folder takes new files when it is not marked read-only and a file can be created in it (the
// probe file is deleted when its handle closes).
bool FolderWritable(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return false;
    const std::wstring probe = WithBackslash(folder) + L"~tarvo-doctor-" +
                               std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const tarvox::FileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                              nullptr));
    return file.Valid();
}

// A file that cannot be opened for writing (nothing is written; the content stays as it is).
// A UTF-8 file whose bytes are not all well-formed loads with replacement characters in place
// of the bad bytes; the reader cannot tell, so the bytes are checked here.
bool HoldsIllFormedUtf8(CCfgReader& reader) {
    const TextFileType::Type type = reader.Get_m_FileType();
    if (type != TextFileType::Utf8 && type != TextFileType::Utf8NoBom) return false;
    std::string bytes;
    if (!tarvox::ReadFileBytes(reader.Get_m_File(), 0, bytes)) return false;
    std::string_view text(bytes);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::wstring decoded;
    return !tarvox::DecodeWellFormedUtf8(text, decoded);
}

bool FileReadOnly(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return true;
    const tarvox::FileHandle file(CreateFileW(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file.Valid() && GetLastError() == ERROR_ACCESS_DENIED;
}

// The variables of a text that the table does not hold, found the way the expansion walks the
// text: from one percent sign to the next, then on after the second one.
std::vector<std::wstring> UnknownVariables(const std::wstring& text,
                                           const tarvox::PathVarTable& table) {
    std::vector<std::wstring> unknown;
    std::size_t start = text.find(L'%');
    while (start != std::wstring::npos) {
        const std::size_t end = text.find(L'%', start + 1);
        if (end == std::wstring::npos) break;
        const std::wstring token = text.substr(start, end - start + 1);
        long long index = 0;
        if (FindSortedString(token.c_str(), table.names, index) != 1) unknown.push_back(token);
        start = text.find(L'%', end + 1);
    }
    return unknown;
}

std::string Joined(const std::vector<std::wstring>& items) {
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : ", ") + Utf8(item);
    return out;
}

void CheckVariables(Findings& findings, const std::wstring& value,
                    const tarvox::PathVarTable& table, const std::wstring& where,
                    const std::string& expandedTo) {
    const std::vector<std::wstring> unknown = UnknownVariables(value, table);
    if (unknown.empty()) return;
    Add(findings, "paths.unknown-variable", Severity::Error,
        Quoted(value) + " uses " + Joined(unknown) +
            ", which the path-variable table does not hold; the library deletes it without a word" +
            (expandedTo.empty() ? "" : " and hands out " + expandedTo) + ".",
        where,
        "Correct the variable's name ('tarvo vars' lists the variables the library knows) or write "
        "the folder itself.");
}

// ---- AutoCAD ----------------------------------------------------------------------------

constexpr wchar_t kUserAutodesk[] = L"HKEY_CURRENT_USER\\Software\\Autodesk";

// Returns true when a product of the add-on's release is there to check the add-on in.
bool CheckAutoCad(Findings& findings) {
    std::vector<std::wstring> names, keys, locations;
    long long current = -1;
    tarvox::autocad::ListInstalledAcads(names, keys, locations, current);
    if (names.empty()) {
        Add(findings, "acad.none-installed", Severity::Error,
            "No AutoCAD product that the add-on can use is installed.",
            L"HKEY_LOCAL_MACHINE\\Software\\Autodesk\\AutoCAD",
            "Install " + kAcadText +
                " or one of its verticals, start it once as this user, then run "
                "the add-on's setup again.");
        return false;
    }

    // The user's current product as AutoCAD records it: CurProd, then CurVer twice.
    const std::string startOnce =
        "Start " + kAcadText +
        " once as this user, or make its release current with 'tarvo set-acad "
        "R23.1'.";
    std::wstring family, release, product;
    GetRegValue(family, kUserAutodesk, L"CurProd", 0);
    const std::wstring familyKey = std::wstring(kUserAutodesk) + L"\\" + family;
    if (!family.empty()) GetRegValue(release, familyKey.c_str(), L"CurVer", 0);
    const std::wstring releaseKey = familyKey + L"\\" + release;
    if (!release.empty()) GetRegValue(product, releaseKey.c_str(), L"CurVer", 0);
    if (family.empty() || release.empty() || product.empty()) {
        const std::wstring where = family.empty()    ? std::wstring(kUserAutodesk) + L", CurProd"
                                   : release.empty() ? familyKey + L", CurVer"
                                                     : releaseKey + L", CurVer";
        Add(findings, "acad.no-current-product", Severity::Error,
            "AutoCAD has not recorded a current product for this user, so the products cannot tell "
            "which AutoCAD to start.",
            where, startOnce);
        return true;
    }
    const std::wstring productKey =
        L"Software\\Autodesk\\" + family + L"\\" + release + L"\\" + product;
    if (!KeyExists(HKEY_LOCAL_MACHINE, productKey)) {
        Add(findings, "acad.current-not-installed", Severity::Error,
            "The user's current AutoCAD product " + Quoted(product) + " of release " +
                Quoted(release) + " is not installed (it was removed after it was last started).",
            releaseKey + L", CurVer", startOnce);
        return true;
    }
    const int year = tarvox::autocad::GetAcadUpiRelease(productKey.c_str());
    if (year > tarvox::autocad::ProductYear) {
        std::wstring name;
        GetRegValue(name, (L"HKEY_LOCAL_MACHINE\\" + productKey).c_str(), L"ProductName", 0);
        Add(findings, "acad.current-release-too-new", Severity::Error,
            "The user last started " + Quoted(name.empty() ? product : name) + " of " +
                std::to_string(year) + ", newer than the add-on's year " +
                std::to_string(tarvox::autocad::ProductYear) +
                ": the library ignores that release, so the add-on does not load there.",
            L"HKEY_LOCAL_MACHINE\\" + productKey + L", UPIRELEASE",
            "Start " + kAcadText + " instead, or install " + kArdentText + " of the year " +
                std::to_string(year) + ".");
    }
    std::wstring executable;
    GetAcadExe(executable);
    const std::size_t slash = executable.rfind(L'\\');
    const std::wstring folder =
        slash == std::wstring::npos ? std::wstring() : executable.substr(0, slash);
    if (executable.empty() || !FolderExists(folder)) {
        Add(findings, "acad.current-folder-missing", Severity::Error,
            "The folder of the user's current AutoCAD" +
                (folder.empty() ? std::string() : " " + Quoted(folder)) + " does not exist.",
            executable.empty() ? L"HKEY_LOCAL_MACHINE\\" + productKey + L", Location" : folder,
            "Repair or reinstall that AutoCAD product.");
    } else if (PathExists(executable.c_str()) != 1) {
        Add(findings, "acad.current-exe-missing", Severity::Error,
            "The program of the user's current AutoCAD " + Quoted(executable) + " does not exist.",
            executable, "Repair or reinstall that AutoCAD product.");
    }

    std::wstring libraryKey;
    GetAcadKey(libraryKey);
    if (libraryKey.empty()) {
        Add(findings, "acad.no-product-for-year", Severity::Error,
            "No installed AutoCAD product belongs to release " +
                Utf8(tarvox::autocad::CurrentAcadRelease()) + " (AutoCAD " +
                std::to_string(tarvox::autocad::ProductYear) +
                "), the release the add-on works with.",
            L"HKEY_LOCAL_MACHINE\\Software\\Autodesk\\AutoCAD\\" +
                tarvox::autocad::CurrentAcadRelease(),
            "Install " + kAcadText + " or one of its verticals.");
        return false;
    }
    return true;
}

// ---- Enablement and menus ---------------------------------------------------------------

constexpr const wchar_t* kArdentKey = tarvox::kArdentMachinePath.c_str();

struct NamedEntry {
    std::wstring name;
    tarvox::autocad::EnabledInEntry entry;
};

// The "EnableIn_" entries with their value names, for telling the engineer which one to mend.
std::vector<NamedEntry> EnabledInEntries(const std::wstring& section) {
    CCfgReader config(kArdentKey, tarvox::kCfgView64);
    std::vector<std::wstring> names, values;
    config.GetSectionEntries(names, values, section.c_str(), 0, 0);
    std::vector<NamedEntry> entries;
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
        NamedEntry named{names[i], {}};
        if (tarvox::autocad::ParseEnabledInValue(values[i], named.entry))
            entries.push_back(std::move(named));
    }
    return entries;
}

std::wstring EntryWhere(const std::wstring& sectionKey, const std::vector<NamedEntry>& entries,
                        const std::wstring& product, const std::wstring& profile,
                        const std::wstring& workspace) {
    std::wstring names;
    for (const NamedEntry& named : entries) {
        if (EqualsIgnoringCaseOrdinal(named.entry.productKeyName, product) &&
            (profile.empty() || EqualsIgnoringCaseOrdinal(named.entry.profile, profile)) &&
            (workspace.empty() || EqualsIgnoringCaseOrdinal(named.entry.workspace, workspace))) {
            names += (names.empty() ? L"" : L", ") + named.name;
        }
    }
    return sectionKey + (names.empty() ? L"" : L", " + names);
}

// The product's ribbon tabs that a workspace of a menu does not show.
std::vector<std::wstring> MissingTabs(const std::wstring& menuFile, const std::wstring& workspace) {
    std::vector<std::wstring> productTabs, shown, missing;
    tarvox::cuix::GetProductCuixTabIds(productTabs);
    _CReadOnlyCuixFile package(menuFile.c_str());
    tarvox::cuix::GetWorkspaceProductTabIds(package, shown, workspace.c_str());
    for (const std::wstring& tab : productTabs) {
        if (std::none_of(shown.begin(), shown.end(), [&](const std::wstring& s) {
                return EqualsIgnoringCaseOrdinal(s, tab);
            })) {
            missing.push_back(tab);
        }
    }
    return missing;
}

void CheckEnablement(Findings& findings) {
    const tarvox::ComScope com = CommandCom();
    std::wstring productKey, profileKey;
    GetAcadKey(productKey);
    GetAcadProfileKey(profileKey);
    const std::wstring currentProduct = LastComponent(productKey);
    const std::wstring currentProfile =
        profileKey.empty() ? std::wstring() : LastComponent(profileKey);
    const std::wstring section = tarvox::autocad::EnabledInSection();
    const std::wstring sectionKey = std::wstring(kArdentKey) + L"\\" + section;
    const std::vector<NamedEntry> entries = EnabledInEntries(section);
    const std::string setupStep =
        "Run " + kArdentText +
        "'s setup and enable the add-on in this product's profile and workspace.";

    CAutoCADInfos enabled, installed;
    ListEnabledAcads(enabled, nullptr);
    FillAcadInfos(installed, 0, 1);
    bool currentProductEnabled = false;
    bool currentProfileEnabled = false;
    for (CAutoCADInfo& info : enabled) {
        const bool isCurrentProduct =
            EqualsIgnoringCaseOrdinal(info.m_ProductKeyName, currentProduct);
        currentProductEnabled = currentProductEnabled || isCurrentProduct;
        const CAutoCADInfo* product = installed.FindByName(info.m_ProductKeyName);
        if (product == nullptr) {
            Add(findings, "enable.product-missing", Severity::Error,
                "The add-on is enabled in the AutoCAD product " + Quoted(info.m_ProductKeyName) +
                    ", which is not installed in release " +
                    Utf8(tarvox::autocad::CurrentAcadRelease()) + ".",
                EntryWhere(sectionKey, entries, info.m_ProductKeyName, L"", L""),
                "Remove the entry, or run " + kArdentText +
                    "'s setup again to enable the add-on in an "
                    "installed product.");
            continue;
        }
        for (const CAutoCADProfile& profile : info.m_Profiles) {
            const bool isCurrentProfile =
                isCurrentProduct && EqualsIgnoringCaseOrdinal(profile.m_Name, currentProfile);
            const std::wstring profileSubKey =
                product->m_ProductKey + L"\\Profiles\\" + profile.m_Name;
            const std::wstring profilePath = L"HKEY_CURRENT_USER\\" + profileSubKey;
            if (!KeyExists(HKEY_CURRENT_USER, profileSubKey)) {
                Add(findings, "enable.profile-missing", Severity::Error,
                    "The add-on is enabled in the profile " + Quoted(profile.m_Name) + " of " +
                        Quoted(info.m_ProductKeyName) +
                        ", which does not exist (it was deleted or renamed in AutoCAD).",
                    EntryWhere(sectionKey, entries, info.m_ProductKeyName, profile.m_Name, L""),
                    "Remove the entry, or run " + kArdentText +
                        "'s setup again to enable the add-on in "
                        "an existing profile.");
                continue;
            }
            // The profile as the products read it, with its menu's workspaces.
            CAutoCADProfile loaded(profilePath.c_str(), 0);
            const std::wstring menuWhere = profilePath + L"\\General Configuration, MenuFile";
            if (loaded.m_MenuFile.empty() || PathExists(loaded.m_MenuFile.c_str()) != 1) {
                Add(findings, "cuix.menu-missing", Severity::Error,
                    "The main menu file of the profile " + Quoted(profile.m_Name) +
                        (loaded.m_MenuFile.empty()
                             ? std::string(" is not set.")
                             : " " + Quoted(loaded.m_MenuFile) + " does not exist."),
                    loaded.m_MenuFile.empty() ? menuWhere : loaded.m_MenuFile,
                    "Start AutoCAD with this profile once (it writes a new menu file), or restore "
                    "the file from a backup.");
                currentProfileEnabled = currentProfileEnabled || isCurrentProfile;
                continue;
            }
            if (loaded.m_Name.empty()) {
                Add(findings, "cuix.menu-unreadable", Severity::Error,
                    "The main menu file " + Quoted(loaded.m_MenuFile) + " of the profile " +
                        Quoted(profile.m_Name) + " cannot be read: no workspace found in it.",
                    loaded.m_MenuFile,
                    "Restore the menu file from a backup, or reset the profile's customization in "
                    "AutoCAD.");
                currentProfileEnabled = currentProfileEnabled || isCurrentProfile;
                continue;
            }
            if (loaded.m_AddOnState == 0) {
                Add(findings, "cuix.partial-menu-not-loaded", Severity::Error,
                    "The main menu of the profile " + Quoted(profile.m_Name) +
                        " does not load the product's partial menu " +
                        Quoted(tarvox::cuix::kProductPartialCuix) +
                        ", so its ribbon tabs and commands are missing.",
                    loaded.m_MenuFile,
                    "In AutoCAD, load the partial menu with CUILOAD (the file lies in " +
                        kArdentText +
                        "'s installation folder), "
                        "or run " +
                        kArdentText + "'s setup again.");
            }
            for (const CWorkSpace& workspace : profile.m_WorkSpaces) {
                const CWorkSpace* shown = loaded.m_WorkSpaces.FindByName(workspace.m_Name);
                if (shown == nullptr) {
                    Add(findings, "enable.workspace-missing", Severity::Error,
                        "The add-on is enabled in the workspace " + Quoted(workspace.m_Name) +
                            " of the profile " + Quoted(profile.m_Name) +
                            ", which its menu does not hold.",
                        EntryWhere(sectionKey, entries, info.m_ProductKeyName, profile.m_Name,
                                   workspace.m_Name),
                        "Remove the entry, or run " + kArdentText +
                            "'s setup again to enable the add-on "
                            "in an existing workspace.");
                    continue;
                }
                currentProfileEnabled = currentProfileEnabled || isCurrentProfile;
                if (shown->m_AddOnState == 0) {
                    Add(findings, "cuix.workspace-missing-tabs", Severity::Warning,
                        "The workspace " + Quoted(workspace.m_Name) + " of the profile " +
                            Quoted(profile.m_Name) +
                            " does not show all of the product's ribbon tabs (missing: " +
                            Joined(MissingTabs(loaded.m_MenuFile, workspace.m_Name)) + ").",
                        loaded.m_MenuFile,
                        "In AutoCAD's CUI editor, add the missing Tarvo tabs to the workspace's "
                        "ribbon, or run " +
                            kArdentText + "'s setup again.");
                }
            }
        }
    }
    if (!currentProductEnabled) {
        Add(findings, "enable.not-enabled-for-current", Severity::Error,
            "The add-on is not enabled in the current AutoCAD product " + Quoted(currentProduct) +
                ".",
            sectionKey, setupStep);
    } else if (!currentProfileEnabled) {
        Add(findings, "enable.current-profile-not-enabled", Severity::Error,
            "The current profile " + Quoted(currentProfile) +
                " has no workspace the add-on is enabled in.",
            L"HKEY_CURRENT_USER\\" + profileKey,
            setupStep + std::string(" Or switch AutoCAD to a profile the add-on is enabled in."));
    }
}

// ---- Support path -----------------------------------------------------------------------

// The support path value as it is stored, variables included.
std::wstring RawRegistryText(HKEY root, const std::wstring& subKey, const wchar_t* valueName) {
    const CRegKeyHolder key(root, subKey.c_str(), 0, 0);
    DWORD type = 0, size = 0;
    if (key.Get() == nullptr ||
        RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS)
        return {};
    text.resize(std::min(text.size(), size / sizeof(wchar_t)));
    if (const std::size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
    return text;
}

// The items of a stored support path, each expanded: the library lists a folder only once
// however often the value names it, so duplicates show only here.
std::vector<std::wstring> StoredSupportItems(const std::wstring& raw) {
    std::vector<std::wstring> items;
    std::size_t start = 0;
    while (start < raw.size()) {
        std::size_t end = raw.find(L';', start);
        if (end == std::wstring::npos) end = raw.size();
        std::wstring item = raw.substr(start, end - start);
        item.erase(0, item.find_first_not_of(L" \t"));
        item.erase(item.find_last_not_of(L" \t\\") + 1);
        if (!item.empty()) {
            std::wstring withVars, expanded;
            item += L'\\';
            if (CCfgReader::GetPathWithoutVars(withVars, expanded, item.c_str(), 0) == 1)
                item = expanded;
            items.push_back(item);
        }
        start = end + 1;
    }
    return items;
}

void CheckSupportPath(Findings& findings) {
    std::wstring profileKey;
    GetAcadProfileKey(profileKey);
    if (profileKey.empty()) return;
    const wchar_t* valueName = IsAutoCADLT() == 1 ? L"Support" : L"ACAD";
    const std::wstring where = L"HKEY_CURRENT_USER\\" + profileKey + L"\\General, " + valueName;
    std::vector<std::wstring> folders;
    GetAcadSupportPath(folders, 0);
    const std::wstring raw =
        RawRegistryText(HKEY_CURRENT_USER, profileKey + L"\\General", valueName);
    const std::vector<std::wstring> items = StoredSupportItems(raw);
    for (const std::wstring& folder : folders) {
        if (!FolderExists(folder)) {
            Add(findings, "support.entry-missing", Severity::Warning,
                "The support path names the folder " + Quoted(folder) + ", which does not exist.",
                where,
                "Remove the entry in AutoCAD's Options (Files, Support File Search Path), or "
                "restore the folder.");
        }
        if (std::count_if(items.begin(), items.end(), [&](const std::wstring& s) {
                return EqualsIgnoringCaseOrdinal(s, folder);
            }) > 1) {
            Add(findings, "support.duplicate", Severity::Note,
                "The support path names the folder " + Quoted(folder) + " more than once.", where,
                "Remove the second entry in AutoCAD's Options (Files, Support File Search Path).");
        }
    }
    wchar_t buffer[MAX_PATH];
    const std::wstring central = GetCentralAppDir(buffer);
    if (!central.empty()) {
        const std::wstring own = WithBackslash(central) + L"Support\\";
        if (std::none_of(folders.begin(), folders.end(), [&](const std::wstring& s) {
                return EqualsIgnoringCaseOrdinal(s, own);
            })) {
            Add(findings, "support.product-folder-missing", Severity::Error,
                "The support path lacks the product's own support folder " + Quoted(own) +
                    ", so AutoCAD does not find the product's linetypes, hatches and menus.",
                where,
                "Add " + kArdentFolderVarText + "\\Support to the support path, or run " +
                    kArdentText +
                    "'s setup "
                    "again.");
        }
    }
    CheckVariables(findings, raw, tarvox::CompactPathVarTable(0), where, "");
}

// ---- Edition ----------------------------------------------------------------------------

void CheckEdition(Findings& findings) {
    int code = 0;
    std::wstring name;
    const std::wstring program = tarvox::OwnModuleFolder();
    if (GetProductEdition(&code, name) != 1) {
        Add(findings, "edition.unknown", Severity::Warning,
            "No edition of the main product could be settled; the library reads the "
            "edition-neutral value names.",
            program,
            "Reinstall " + kArdentText + ": its setup puts the marker file \"" + kArdentYearText +
                ".txt\" "
                "beside the program.");
        return;
    }
    // Which rule settled it: the shared record of a running product, else the rules run again
    // with a probe that remembers the last thing it found.
    std::wstring how;
    const tarvox::EditionRecord record;
    if (record.Code() >= 1) {
        how = std::wstring(L"the shared edition record ") + tarvox::kEditionRecordName +
              L" of a running product";
    } else {
        std::wstring last;
        tarvox::EditionProbe probe;
        probe.fileExists = [&last](const std::wstring& path) {
            const bool found = PathExists(path.c_str()) == 1;
            if (found) last = path;
            return found;
        };
        probe.entryExists = [&last](const std::wstring& path) {
            int isFolder = 0;
            const bool found = PathExists(path.c_str(), &isFolder) == 1;
            if (found) last = path;
            return found;
        };
        probe.setupSourcePath = [](const std::wstring& setupCfg) {
            return tarvox::ReadSetupValue(setupCfg, L"Settings", L"SourcePath");
        };
        tarvox::EditionFromProgramFolder(program, tarvox::OwnModulePath(), probe);
        how =
            last.empty() ? L"the program's name " + tarvox::OwnModulePath() : L"the marker " + last;
    }
    Add(findings, "edition.settled", Severity::Note,
        "The edition is " + Utf8(name) + " (code " + std::to_string(code) + "), settled by " +
            Utf8(how) + ".",
        program,
        "Nothing to do unless the edition is wrong: then check the marker files beside the "
        "program.");
}

// ---- Product folders, folder list and configuration files --------------------------------

struct ProductFolders {
    std::string name;    // "Tarvo Ardent 2020"
    const wchar_t* key;  // its installation key
    std::wstring installation, user, configuration;
};

void CheckConfigurationFiles(Findings& findings, const std::wstring& folder, bool mustBeWritable) {
    WIN32_FIND_DATAW data;
    for (const wchar_t* pattern : {L"*.cfg", L"*.ini"}) {
        const std::wstring search = WithBackslash(folder) + pattern;
        const tarvox::FindHandle found(FindFirstFileW(search.c_str(), &data));
        if (!found.Valid()) continue;
        std::vector<std::wstring> files;
        do {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                files.push_back(WithBackslash(folder) + data.cFileName);
        } while (FindNextFileW(found.Get(), &data));
        for (const std::wstring& file : files) {
            CCfgReader reader(file.c_str());
            if (reader.IsInit() != 1) {
                Add(findings, "config.undecodable", Severity::Error,
                    "The configuration file " + Quoted(file) +
                        " cannot be read or decoded, so its settings are ignored.",
                    file,
                    "Save the file again as UTF-8 or ANSI text, or restore it from a backup.");
                continue;
            }
            if (HoldsIllFormedUtf8(reader)) {
                Add(findings, "config.undecodable", Severity::Error,
                    "The configuration file " + Quoted(file) +
                        " is marked or detected as UTF-8 but holds bytes that are not valid UTF-8; "
                        "they are read as "
                        "replacement characters, and the next save writes those over the original "
                        "text for good.",
                    file,
                    "Save the file again as UTF-8 in an editor (check its special characters "
                    "first), or restore it from a backup.");
            }
            if (mustBeWritable && FileReadOnly(file)) {
                Add(findings, "config.read-only", Severity::Error,
                    "The configuration file " + Quoted(file) +
                        " is read-only, so changed settings are lost.",
                    file,
                    "Clear the file's read-only attribute, or give the user write access to it.");
            }
            // The folder list is checked entry by entry with its folders.
            if (tarvox::IsFolderListFile(file)) continue;
            const tarvox::PathVarTable& table = tarvox::CompactPathVarTable(1);
            std::wstring section;
            for (long long s = 0; reader.GetSectionName(section, s) == 1; ++s) {
                std::vector<std::wstring> names, values;
                reader.GetSectionEntries(names, values, section.c_str(), 0, 0);
                for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
                    CheckVariables(findings, values[i], table,
                                   file + L", [" + section + L"] " + names[i], "");
                }
            }
        }
    }
}

void CheckFolderList(Findings& findings, const std::wstring& configuration) {
    const std::wstring file = WithBackslash(configuration) + L"Ordner.ini";
    if (PathExists(file.c_str()) != 1) return;
    CCfgReader expanded(file.c_str());
    CCfgReader stored(file.c_str());
    stored.Get_m_HasVarPath() = 0;  // the values as written, variables included
    std::vector<std::wstring> names, folders, rawNames, rawValues;
    expanded.GetSectionEntries(names, folders, L"Ordner", 0, 0);
    stored.GetSectionEntries(rawNames, rawValues, L"Ordner", 0, 0);
    const tarvox::PathVarTable& table = tarvox::CompactPathVarTable(0);
    for (std::size_t i = 0; i < names.size() && i < folders.size() && i < rawValues.size(); ++i) {
        const std::wstring where = file + L", [Ordner] " + names[i];
        const std::size_t before = findings.size();
        CheckVariables(findings, rawValues[i], table, where, Quoted(folders[i]));
        if (findings.size() != before) continue;
        if (!FolderExists(folders[i])) {
            Add(findings, "folders.list-entry-missing", Severity::Warning,
                "The named folder " + Quoted(names[i]) + " of the folder list is " +
                    Quoted(folders[i]) + ", which does not exist.",
                where, "Create the folder, or correct the entry in the folder list.");
        }
    }
}

void CheckProduct(Findings& findings, const ProductFolders& product, bool asked) {
    if (product.installation.empty()) {
        Add(findings, "folders.not-installed", asked ? Severity::Error : Severity::Note,
            std::string(product.name) +
                " is not installed: its installation folder is not registered.",
            std::wstring(product.key) + L", InstallDir",
            std::string("Install ") + product.name + " if it is needed here.");
        return;
    }
    const std::string reinstall = std::string("Repair or reinstall ") + product.name + ".";
    if (!FolderExists(product.installation)) {
        Add(findings, "folders.installation-missing", Severity::Error,
            std::string("The installation folder of ") + product.name + " " +
                Quoted(product.installation) + " does not exist.",
            product.installation, reinstall);
    }
    if (!FolderExists(product.user)) {
        Add(findings, "folders.user-missing", Severity::Warning,
            std::string("The per-user folder of ") + product.name + " " + Quoted(product.user) +
                " does not exist.",
            product.user,
            "Start " + std::string(product.name) + " once as this user, or create the folder.");
    } else if (!FolderWritable(product.user)) {
        Add(findings, "folders.user-not-writable", Severity::Error,
            std::string("The per-user folder of ") + product.name + " " + Quoted(product.user) +
                " is not writable.",
            product.user,
            "Clear the folder's read-only attribute, or give the user write access to it.");
    }
    if (!FolderExists(product.configuration)) {
        Add(findings, "folders.config-missing", Severity::Warning,
            std::string("The configuration folder of ") + product.name + " " +
                Quoted(product.configuration) + " does not exist.",
            product.configuration,
            "Start " + std::string(product.name) + " once as this user, or create the folder.");
        return;
    }
    if (!FolderWritable(product.configuration)) {
        Add(findings, "folders.config-not-writable", Severity::Error,
            std::string("The configuration folder of ") + product.name + " " +
                Quoted(product.configuration) +
                " is not writable, so settings changed in the product are lost.",
            product.configuration,
            "Clear the folder's read-only attribute, or give the user write access to it.");
    }
    CheckFolderList(findings, product.configuration);
    CheckConfigurationFiles(findings, product.configuration, true);
    CheckConfigurationFiles(findings, WithBackslash(product.installation) + L"Config", false);
}

// ---- Output -----------------------------------------------------------------------------

std::string Summary(const Findings& findings) {
    int counts[3] = {0, 0, 0};
    for (const Finding& finding : findings) ++counts[static_cast<int>(finding.severity)];
    const auto count = [](int n, const char* word) {
        return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
    };
    return count(counts[0], "error") + ", " + count(counts[1], "warning") + ", " +
           count(counts[2], "note");
}

std::string RenderFindings(const Findings& findings, bool json) {
    if (json) {
        Json array = Json::array();
        for (const Finding& finding : findings) {
            array.push_back({{"id", finding.id},
                             {"severity", SeverityName(finding.severity)},
                             {"found", finding.found},
                             {"where", finding.where},
                             {"next_step", finding.nextStep}});
        }
        return DumpJson(array);
    }
    std::string out;
    for (const Finding& finding : findings) {
        out += std::string(SeverityName(finding.severity)) + ": " + finding.id + "\n";
        out += "  found  " + finding.found + "\n";
        out += "  where  " + finding.where + "\n";
        out += "  next   " + finding.nextStep + "\n\n";
    }
    return out + "doctor: " + Summary(findings) + "\n";
}

}  // namespace

void AddDoctorCommand(CLI::App& app, Outcome& outcome) {
    static std::string product;
    CLI::App* doctor = app.add_subcommand(
        "doctor", "Why the add-on does not show up: findings with their next step");
    doctor
        ->add_option("--product", product, "Check only this product (ardent: with AutoCAD; veska)")
        ->check(CLI::IsMember({"ardent", "veska"}));
    doctor->add_flag("--json", outcome.json, "Print the findings as a JSON array");
    doctor->callback([&outcome] {
        Findings findings;
        const bool ardent = product != "veska";
        const bool veska = product != "ardent";
        wchar_t buffer[MAX_PATH];
        if (ardent) {
            if (CheckAutoCad(findings)) {
                CheckEnablement(findings);
                CheckSupportPath(findings);
            }
            CheckEdition(findings);
            ProductFolders folders{
                kArdentYearText, kArdentKey, std::wstring(GetCentralAppDir(buffer)),
                std::wstring(GetLocalAppDir(buffer)), std::wstring(GetLocalConfigDir(buffer))};
            CheckProduct(findings, folders, true);
        }
        if (veska) {
            ProductFolders folders{kVeskaYearText, tarvox::kVeskaMachinePath.c_str(),
                                   std::wstring(GetCentralRAppDir(buffer, tarvox::ProductYear)),
                                   std::wstring(GetLocalRAppDir(buffer)),
                                   std::wstring(GetLocalRConfigDir(buffer))};
            CheckProduct(findings, folders, !ardent);
        }
        std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
            return a.severity < b.severity;
        });
        const bool error = std::any_of(findings.begin(), findings.end(), [](const Finding& f) {
            return f.severity == Severity::Error;
        });
        outcome.status = error ? kNotFound : kSuccess;
        outcome.render = [findings](bool json) { return RenderFindings(findings, json); };
    });
}

}  // namespace tarvo
