#include "autocad/release_folders.h"

#include <tarvox/acad_folders.h>
#include <tarvox/autocad.h>
#include <tarvox/config.h>
#include <tarvox/modules.h>
#include <tarvox/registry.h>

#include "autocad/acad_infos.h"
#include "autocad/folder_expansion.h"
#include "autocad/product_names.h"
#include "autocad/release_catalogue.h"
#include "autocad/release_flags.h"
#include "autocad/short_values.h"
#include "foundation/folder_value.h"
#include "foundation/boundary.h"
#include "foundation/text_compare.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <optional>

namespace tarvox::autocad {

namespace {

constexpr wchar_t kNonPureOption[] = L"NonPureAcads=FALSE";

FullExpansion g_fullExpansion = nullptr;

void DropTrailingBackslash(wchar_t* buffer) {
    const std::size_t length = std::wcslen(buffer);
    if (length > 0 && buffer[length - 1] == L'\\') buffer[length - 1] = L'\0';
}

// Cuts a path at its last backslash; false when it has none.
bool CutAtLastBackslash(wchar_t* buffer) {
    wchar_t* last = std::wcsrchr(buffer, L'\\');
    if (last == nullptr) return false;
    *last = L'\0';
    return true;
}

// Reads the "RoamableRootFolder" of a product key of the user into the buffer (a trailing
// backslash dropped); the buffer is unchanged when it can't be read.
bool ReadRoamableRootFolder(const wchar_t* productKey, wchar_t* buffer) {
    CRegKeyHolder key(HKEY_CURRENT_USER, productKey, 0, 0);
    if (key.Get() == nullptr) return false;
    std::wstring value;
    if (!ReadShortValue(value, key, L"RoamableRootFolder")) return false;
    tarvox::CopyToFolderBuffer(buffer, value);
    DropTrailingBackslash(buffer);
    return true;
}

// The 72 release variables, each holding the year of its release (2000i as 2001), shared by
// the three lookups of one call.
struct YearVariables {
    std::array<long long, kReleaseVariables> values{};
    AcadReleaseSlots slots{};
    YearVariables() {
        for (int group = 0; group < 3; ++group) {
            for (int index = 1; index <= kReleasesPerGroup; ++index) {
                const int year = index == kRelease2000i  ? 2001
                                 : index <= kRelease2002 ? 1999 + index
                                                         : 2000 + index;
                const int slot = ReleaseVariableSlot(static_cast<AcadReleaseGroup>(group), index);
                values[slot] = year;
                slots[slot] = &values[slot];
            }
        }
    }
    long long& Of(AcadReleaseGroup group, int year) {
        return values[ReleaseVariableSlot(group, ReleaseIndexOfYear(year))];
    }
};

// One lookup: the folder of the product that sets the selector's variable. keyBuf receives the
// product key.
bool LookUpFolder(YearVariables& variables, long long& selector, wchar_t* buffer, wchar_t* keyBuf) {
    wchar_t profileKey[kFolderChars] = L"";
    long long* selected = nullptr;
    buffer[0] = L'\0';
    keyBuf[0] = L'\0';
    if (FillAcadReleases(variables.slots, selected, keyBuf, profileKey, buffer, &selector) != 1)
        return false;
    return CutAtLastBackslash(buffer);
}

enum class FolderKind { Installation, Roaming };

int DirsOfYear(int year, wchar_t* lt, wchar_t* acad, wchar_t* arch, FolderKind kind) {
    YearVariables variables;
    bool found = false;
    struct Lookup {
        wchar_t* buffer;
        AcadReleaseGroup group;
    };
    for (const Lookup& lookup :
         {Lookup{lt, AcadReleaseGroup::Lt}, Lookup{acad, AcadReleaseGroup::AutoCad},
          Lookup{arch, AcadReleaseGroup::Architecture}}) {
        if (lookup.buffer == nullptr) continue;
        long long& variable = variables.Of(lookup.group, year);
        if (lookup.group == AcadReleaseGroup::AutoCad) {
            const bool nonPureOption = EqualsIgnoringAsciiCase(lookup.buffer, kNonPureOption);
            if (kind == FolderKind::Installation) {
                // Turns the non-pure filter on where the variables allow it (the 2020 member).
                if (nonPureOption) variable = -variable;
            } else {
                variable = nonPureOption ? 2 : 0;
            }
        }
        wchar_t key[kFolderChars] = L"";
        if (!LookUpFolder(variables, variable, lookup.buffer, key)) continue;
        if (kind == FolderKind::Installation) {
            found = true;
        } else if (ReadRoamableRootFolder(key, lookup.buffer)) {
            found = true;
        }
    }
    return found ? 1 : 0;
}

// The general forms: products of the year's release by product type.
int DirsOfProducts(long long year, wchar_t* const (&buffers)[5], FolderKind kind) {
    const std::wstring saved = CurrentAcadRelease();
    SelectAcadReleaseByYear(static_cast<int>(year));
    bool found = false;
    {
        CAutoCADInfos infos;
        FillAcadInfos(infos, 0, 1);
        for (const CAutoCADInfo& info : infos) {
            const int type = GetAcadProductType(info.m_Name.c_str());
            if (type < 0 || type >= 5 || buffers[type] == nullptr) continue;  // 99: no name
            wchar_t* buffer = buffers[type];
            if (kind == FolderKind::Installation) {
                tarvox::CopyToFolderBuffer(buffer, info.m_AcadExe);
                if (CutAtLastBackslash(buffer)) found = true;
            } else if (ReadRoamableRootFolder(info.m_ProductKey.c_str(), buffer)) {
                found = true;
            }
        }
    }
    CurrentAcadRelease() = saved;
    return found ? 1 : 0;
}

}  // namespace

int AcadDirsOfYear(int year, wchar_t* lt, wchar_t* acad, wchar_t* arch) {
    return DirsOfYear(year, lt, acad, arch, FolderKind::Installation);
}

int AcadRoamableDirsOfYear(int year, wchar_t* lt, wchar_t* acad, wchar_t* arch) {
    return DirsOfYear(year, lt, acad, arch, FolderKind::Roaming);
}

void SetFullExpansion(FullExpansion expansion) { g_fullExpansion = expansion; }

}  // namespace tarvox::autocad

using namespace tarvox::autocad;
using tarvox::StartsWithIgnoringAsciiCase;

int GetAcadDirs(long long year, wchar_t* lt, wchar_t* acad, wchar_t* arch, wchar_t* electrical,
                wchar_t* civil) {
    return tarvox::Guard(0, [&]() -> int {
        wchar_t* const buffers[5] = {lt, acad, arch, electrical, civil};
        return DirsOfProducts(year, buffers, FolderKind::Installation);
    });
}

int GetAcadRoamableDirs(long long year, wchar_t* lt, wchar_t* acad, wchar_t* arch,
                        wchar_t* electrical, wchar_t* civil) {
    return tarvox::Guard(0, [&]() -> int {
        wchar_t* const buffers[5] = {lt, acad, arch, electrical, civil};
        return DirsOfProducts(year, buffers, FolderKind::Roaming);
    });
}

const wchar_t* GetAutoCADAppDataDir(std::wstring& out, int allUsers) {
    return tarvox::GuardText(out, [&]() -> const wchar_t* {
        out.clear();
        if (allUsers != 1) {
            std::wstring key;
            GetAcadKey(key);
            wchar_t folder[260] = L"";
            if (!key.empty() && ReadRoamableRootFolder(key.c_str(), folder)) out = folder;
            return out.c_str();
        }
        const tarvox::autocad::FullExpansion expand = tarvox::autocad::g_fullExpansion;
        if (expand == nullptr) return out.c_str();
        const std::wstring commonAppData = expand(L"%Common AppData%");
        const std::wstring appData = expand(L"%AppData%");
        GetAutoCADAppDataDir(out, 0);
        // The same folder below the all-users application data; the prefix itself is not
        // compared.
        if (out.size() > appData.size()) out = commonAppData + out.substr(appData.size());
        return out.c_str();
    });
}

int GetAcadSupportPath(std::vector<std::wstring>& folders) {
    return GetAcadSupportPath(folders, 0);
}

int GetAcadSupportPath(std::vector<std::wstring>& folders, int allProfiles) {
    return tarvox::GuardOr(tarvox::TrimOnFailure(0, folders), [&]() -> int {
        std::wstring profileKey;
        GetAcadProfileKey(profileKey);
        if (profileKey.empty()) return 0;
        // The profiles are kept sorted and read in that order; the current one takes its place
        // among the others.
        std::vector<std::wstring> profiles{profileKey};
        if (allProfiles == 1) {
            const std::wstring parent = profileKey.substr(0, profileKey.rfind(L'\\'));
            std::vector<std::wstring> names;
            GetRegSubKeys((L"HKEY_CURRENT_USER\\" + parent).c_str(), names, 0, 0);
            for (const std::wstring& name : names) {
                const std::wstring key = parent + L"\\" + name;
                long long index = 0;
                if (FindSortedString(key.c_str(), profiles, index) == 1) continue;
                profiles.insert(profiles.begin() + index, key);
            }
        }

        std::vector<std::wstring> added;  // sorted, for the duplicate test
        const wchar_t* valueName = L"ACAD";
        std::vector<wchar_t> buffer(65536);
        for (const std::wstring& profile : profiles) {
            const std::optional<std::wstring_view> family = AfterSecondBackslash(profile);
            if (!family) return 0;
            if (StartsWithIgnoringAsciiCase(*family, L"AutoCAD LT")) valueName = L"Support";

            CRegKeyHolder general(HKEY_CURRENT_USER, (profile + L"\\General").c_str(), 0, 0);
            DWORD type = 0;
            DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            if (general.Get() == nullptr ||
                QueryRegValue(general, valueName, nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
                // What was found so far stays in the array, as read.
                return 0;
            }
            const std::wstring_view text(buffer.data());
            std::size_t at = 0;
            while (at < text.size()) {
                while (at < text.size() &&
                       (text[at] == L';' || text[at] == L' ' || text[at] == L'\t'))
                    ++at;
                if (at >= text.size()) break;
                const std::size_t end = std::min(text.find(L';', at), text.size());
                std::wstring item(text.substr(at, end - at));
                while (!item.empty() &&
                       (item.back() == L' ' || item.back() == L'\t' || item.back() == L'\\')) {
                    item.pop_back();
                }
                item += L'\\';
                long long index = 0;
                if (FindSortedString(item.c_str(), added, index) != 1) {
                    added.insert(added.begin() + index, item);
                    folders.push_back(item);
                }
                at = end;
            }
        }
        // Every entry is expanded, those the caller passed in as well.
        for (std::size_t i = 0; i < folders.size(); ++i) {
            std::wstring withVars, expanded;
            if (CCfgReader::GetPathWithoutVars(withVars, expanded, folders[i].c_str(), 0) == 1)
                folders[i] = expanded;
        }
        return folders.empty() ? 0 : 1;
    });
}

int AcadFindFile(const wchar_t* name) {
    return tarvox::Guard(0, [&]() -> int {
        std::wstring scratch;
        return AcadFindFile(name, scratch);
    });
}

int AcadFindFile(const wchar_t* name, std::wstring& path) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, path), [&]() -> int {
        path.clear();
        if (name == nullptr || *name == L'\0') return 0;
        std::vector<std::wstring> folders;
        std::wstring acadFolder;
        GetAcadDir(acadFolder);
        folders.push_back(acadFolder);
        GetAcadSupportPath(folders, 0);
        for (std::wstring folder : folders) {
            if (folder.empty()) continue;
            if (folder.back() != L'\\') folder += L'\\';
            const std::wstring candidate = folder + name;
            if (PathExists(candidate.c_str()) == 1) {
                path = candidate;
                return 1;
            }
        }
        return 0;
    });
}
