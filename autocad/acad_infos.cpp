#include "autocad/acad_infos.h"

#include <tarvox/autocad.h>
#include <tarvox/config.h>
#include <tarvox/modules.h>
#include <tarvox/registry.h>

#include "autocad/current_acad.h"
#include "autocad/release_catalogue.h"
#include "autocad/release_rules.h"
#include "autocad/short_values.h"
#include "cuix/cuix_parts.h"
#include "foundation/folder_value.h"
#include "foundation/own_module.h"
#include "foundation/product_identity.h"
#include "foundation/registry_access.h"
#include "foundation/text_compare.h"
#include "paths/edition_names.h"
#include "paths/product_edition.h"
#include "foundation/boundary.h"

#include <windows.h>

#include <cwctype>

using tarvox::EqualsIgnoringAsciiCase;
using tarvox::StartsWithIgnoringAsciiCase;

namespace {

// Registry keys are read through the configuration store, always in the 64-bit view.
constexpr int kRegistry64 = tarvox::kCfgView64;
constexpr wchar_t kOwnKey[] = L"\\";
constexpr std::wstring_view kMachineRoot = L"HKEY_LOCAL_MACHINE\\";
constexpr std::wstring_view kUserRoot = L"HKEY_CURRENT_USER\\";
constexpr wchar_t kAutoCadKey[] = L"Software\\Autodesk\\AutoCAD\\";

std::wstring ValueOf(CCfgReader& reader, const wchar_t* section, const wchar_t* name) {
    std::wstring text;
    reader.GetValue(text, section, name, L"");
    return text;
}

// The section names of a registry configuration that name direct subkeys.
std::vector<std::wstring> SubkeySections(CCfgReader& reader) {
    std::vector<std::wstring> names;
    std::wstring name;
    for (long long i = 0; reader.GetSectionName(name, i) == 1; ++i) {
        if (!name.empty() && name.find(L'\\') == std::wstring::npos) names.push_back(name);
    }
    return names;
}

// The add-on's section of its configuration for the edition in use.
std::wstring AddOnSection() {
    int edition = 0;
    std::wstring productName;
    GetProductEdition(&edition, productName);
    return tarvox::WithEditionSuffix(tarvox::kAddOnSection.view(), edition);
}

}  // namespace

namespace tarvox::autocad {

std::wstring EnabledInSection() { return AddOnSection(); }

bool ParseEnabledInValue(std::wstring_view value, EnabledInEntry& entry) {
    entry = {};
    if (!value.empty() && value.front() == L'"') value.remove_prefix(1);
    if (!value.empty() && value.back() == L'"') value.remove_suffix(1);
    constexpr std::wstring_view kSeparator = L"\";\"";
    const std::size_t first = value.find(kSeparator);
    if (first == std::wstring_view::npos) return false;
    const std::size_t second = value.find(kSeparator, first + kSeparator.size());
    if (second == std::wstring_view::npos) return false;
    entry.productKeyName = value.substr(0, first);
    if (entry.productKeyName.empty()) return false;
    SplitProfileSpec(value.substr(first + kSeparator.size(), second - first - kSeparator.size()),
                     entry.profile, entry.createdFrom);
    entry.workspace = value.substr(second + kSeparator.size());
    return true;
}

void SplitProfileSpec(std::wstring_view spec, std::wstring& profile, std::wstring& createdFrom) {
    constexpr std::wstring_view kMarker = L"|CreatedFrom:";
    for (std::size_t bar = spec.find(L'|'); bar != std::wstring_view::npos;
         bar = spec.find(L'|', bar + 1)) {
        if (StartsWithIgnoringAsciiCase(spec.substr(bar), kMarker)) {
            profile = spec.substr(0, bar);
            createdFrom = spec.substr(bar + kMarker.size());
            return;
        }
    }
    profile = spec;
    createdFrom.clear();
}

std::wstring ProductShortNameOf(std::wstring_view acadLocation, std::wstring_view upiLocation) {
    if (upiLocation.size() <= acadLocation.size()) return L"ACAD";
    // The characters after the AutoCAD folder and its separator; the prefix is not compared.
    const std::wstring_view rest = upiLocation.substr(acadLocation.size() + 1);
    const std::size_t slash = rest.find(L'\\');
    if (slash == std::wstring_view::npos) return L"ACAD";
    std::wstring name(rest.substr(0, slash));
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
    return name;
}

}  // namespace tarvox::autocad

// --- run-time classes of the elements ----------------------------------------------------

TARVOX_IMPLEMENT_RUNTIME_CLASS(CAutoCADInfoBase, tarvox::CObject)

TARVOX_IMPLEMENT_RUNTIME_CLASS(CWorkSpace, CAutoCADInfoBase)

TARVOX_IMPLEMENT_RUNTIME_CLASS(CAutoCADProfile, CAutoCADInfoBase)

TARVOX_IMPLEMENT_RUNTIME_CLASS(CAutoCADInfo, CAutoCADInfoBase)

// --- workspaces --------------------------------------------------------------------------

CWorkSpaces::CWorkSpaces(const wchar_t* cuixPath) { FillWorkSpaces(*this, cuixPath); }

int FillWorkSpaces(CWorkSpaces& workspaces, _CCuixFile& cuix) {
    workspaces.RemoveAll();
    std::vector<std::wstring> names;
    tarvox::cuix::GetCuixWorkspaceNames(cuix, names);
    for (const std::wstring& name : names) {
        const std::size_t index = workspaces.Add(CWorkSpace(name.c_str()));
        workspaces[index].m_AddOnState = tarvox::cuix::WorkspaceHasAllProductTabs(name, cuix);
    }
    return workspaces.IsEmpty() ? 0 : 1;
}

int FillWorkSpaces(CWorkSpaces& workspaces, const wchar_t* cuixPath) {
    workspaces.RemoveAll();
    if (cuixPath == nullptr || *cuixPath == L'\0' || PathExists(cuixPath) != 1) return 0;
    std::vector<std::wstring> names;
    tarvox::cuix::GetCuixWorkspaceNames(cuixPath, names);
    for (const std::wstring& name : names) workspaces.Add(CWorkSpace(name.c_str()));
    return 1;
}

// --- profiles ----------------------------------------------------------------------------

void CAutoCADProfile::LoadAcadProfile(const wchar_t* profileKeyPath, int quick) {
    m_AddOnState = -1;
    if (profileKeyPath == nullptr || *profileKeyPath == L'\0') return;
    const std::wstring name = tarvox::autocad::LastKeyComponent(profileKeyPath);
    if (name.empty()) return;

    CCfgReader profile(profileKeyPath, kRegistry64);
    std::wstring menu = ValueOf(profile, L"General Configuration", L"MenuFile");
    if (menu.empty()) return;
    menu += L".cuix";
    std::wstring withVars;
    CCfgReader::GetPathWithoutVars(withVars, m_MenuFile, menu.c_str(), 1);
    if (m_MenuFile.empty()) m_MenuFile = menu;
    profile.GetNumberValue(m_IsPureAcadProfile, L"General Configuration", L"IsPureAcadProfile", 1,
                           0);

    if (quick) {
        m_Name = name;
        return;
    }
    _CReadOnlyCuixFile cuix(m_MenuFile.c_str());
    // A profile whose customization file shows no workspace is not usable.
    if (FillWorkSpaces(m_WorkSpaces, cuix) == 1) m_Name = name;
    m_AddOnState = tarvox::cuix::HasProductPartialMenu(m_MenuFile, &cuix);
}

// --- products ----------------------------------------------------------------------------

void CAutoCADInfo::LoadAcadInfo(const wchar_t* registryPath, int quick) {
    std::wstring_view path = registryPath ? registryPath : L"";
    std::wstring userPath;
    if (StartsWithIgnoringAsciiCase(path, kMachineRoot)) {
        userPath = std::wstring(kUserRoot) + std::wstring(path.substr(kMachineRoot.size()));
    } else if (StartsWithIgnoringAsciiCase(path, kUserRoot)) {
        userPath = path;
    } else {
        userPath = std::wstring(kUserRoot) + std::wstring(path);
    }
    m_ProductKeyName = tarvox::autocad::LastKeyComponent(userPath);

    {
        const std::wstring profilesPath = userPath + L"\\Profiles";
        CCfgReader profiles(profilesPath.c_str(), kRegistry64);
        for (const std::wstring& name : SubkeySections(profiles)) {
            CAutoCADProfile profile((profilesPath + L"\\" + name).c_str(), quick);
            if (!profile.m_Name.empty()) m_Profiles.Add(profile);
        }
    }

    m_ProductKey = userPath.substr(kUserRoot.size());
    CCfgReader machine((std::wstring(kMachineRoot) + m_ProductKey).c_str(), kRegistry64);
    std::wstring acadLocation(
        tarvox::WithoutTrailingBackslash(ValueOf(machine, kOwnKey, L"AcadLocation")));
    int isFolder = 0;
    const std::wstring exe = acadLocation + L"\\Acad.exe";
    if (!acadLocation.empty() && PathExists(acadLocation.c_str(), &isFolder) == 1 &&
        isFolder == 1 && PathExists(exe.c_str()) == 1) {
        m_AcadExe = exe;
    } else {
        m_AcadExe.clear();
        acadLocation.clear();
    }
    m_Name = ValueOf(machine, kOwnKey, L"ProductName");
    m_ProductShortName = tarvox::autocad::ProductShortNameOf(
        acadLocation, ValueOf(machine, kOwnKey, L"UPILocation"));

    // The add-on is present when it is registered for loading in this product.
    std::wstring application;
    MapEditionName(tarvox::kArdentOfYear.c_str(), application);
    CCfgReader loader(
        (std::wstring(kMachineRoot) + m_ProductKey + L"\\Applications\\" + application).c_str(),
        kRegistry64);
    m_AddOnState = ValueOf(loader, kOwnKey, L"Loader").empty() ? 0 : 1;
}

int CAutoCADInfo::AddAcadProfileWorkspace(const wchar_t* productKeyName, const wchar_t* profileSpec,
                                          const wchar_t* workspace) {
    if (productKeyName == nullptr || *productKeyName == L'\0') return 0;
    m_ProductKeyName = productKeyName;
    m_ProductKey = kAutoCadKey + tarvox::autocad::CurrentAcadRelease() + L"\\" + m_ProductKeyName;
    {
        CCfgReader machine((std::wstring(kMachineRoot) + m_ProductKey).c_str(), kRegistry64);
        const std::wstring acadLocation(
            tarvox::WithoutTrailingBackslash(ValueOf(machine, kOwnKey, L"AcadLocation")));
        m_AcadExe = acadLocation + L"\\Acad.exe";
        m_Name = ValueOf(machine, kOwnKey, L"ProductName");
        m_ProductShortName = tarvox::autocad::ProductShortNameOf(
            acadLocation, ValueOf(machine, kOwnKey, L"UPILocation"));
    }
    if (profileSpec == nullptr || *profileSpec == L'\0') return 1;

    std::wstring profileName;
    std::wstring createdFrom;
    tarvox::autocad::SplitProfileSpec(profileSpec, profileName, createdFrom);
    CAutoCADProfile* profile = m_Profiles.FindByName(profileName);
    if (profile == nullptr) {
        const std::wstring path =
            profileName.find(L'\\') != std::wstring::npos
                ? profileName
                : std::wstring(kUserRoot) + m_ProductKey + L"\\Profiles\\" + profileName;
        CAutoCADProfile loaded(path.c_str(), 1);
        loaded.m_Name = profileName;
        profile = &m_Profiles[m_Profiles.Add(loaded)];
    }
    if (!createdFrom.empty()) profile->m_CreatedFrom = createdFrom;
    if (workspace != nullptr && *workspace != L'\0' &&
        profile->m_WorkSpaces.FindByName(workspace) == nullptr) {
        profile->m_WorkSpaces.Add(CWorkSpace(workspace));
    }
    return 1;
}

CAutoCADInfos::CAutoCADInfos(int fill) {
    if (fill == 1) FillAcadInfos(*this, 0, 0);
}

int FillAcadInfos(CAutoCADInfos& infos, int withAddOnWorkspaces, int quick) {
    const std::wstring release = tarvox::autocad::CurrentAcadRelease();
    const std::wstring releasePath = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\" + release;
    CCfgReader releaseKey(releasePath.c_str(), kRegistry64);

    std::vector<std::wstring> addOnWorkspaces;
    if (withAddOnWorkspaces == 1) {
        const std::wstring addOnCuix =
            tarvox::OwnModuleFolder() + tarvox::cuix::kProductWorkspaceCuix;
        if (PathExists(addOnCuix.c_str()) != 1) return 0;
        tarvox::cuix::GetCuixWorkspaceNames(addOnCuix.c_str(), addOnWorkspaces);
    }
    std::wstring addOnProfile;
    MapEditionName(tarvox::kArdentName.c_str(), addOnProfile);

    int result = 0;
    for (const std::wstring& keyName : SubkeySections(releaseKey)) {
        const std::wstring name = ValueOf(releaseKey, keyName.c_str(), L"ProductName");
        if (name.empty() || tarvox::autocad::ContainsIgnoringAsciiCase(name, L"AutoCAD LT"))
            continue;
        const std::size_t index =
            infos.Add(CAutoCADInfo((releasePath + L"\\" + keyName).c_str(), quick));
        CAutoCADInfo& info = infos[index];
        if (info.m_AcadExe.empty()) {
            infos.RemoveAt(index);
            continue;
        }
        result = 1;
        if (withAddOnWorkspaces != 1) continue;
        // The add-on's own profiles give way to one profile with the add-on's workspaces.
        for (std::size_t p = info.m_Profiles.GetSize(); p-- > 0;) {
            if (StartsWithIgnoringAsciiCase(info.m_Profiles[p].m_Name,
                                            tarvox::cuix::kProductWorkspacePrefix)) {
                info.m_Profiles.RemoveAt(p);
            }
        }
        for (const std::wstring& workspace : addOnWorkspaces) {
            info.AddAcadProfileWorkspace(info.m_ProductKeyName.c_str(), addOnProfile.c_str(),
                                         workspace.c_str());
        }
    }
    return result;
}

int ListEnabledAcads(CAutoCADInfos& infos, const wchar_t* configPath) {
    const std::wstring path = configPath != nullptr && *configPath != L'\0'
                                  ? std::wstring(configPath)
                                  : std::wstring(tarvox::kArdentMachinePath.view());
    CCfgReader config(path.c_str(), StartsWithIgnoringAsciiCase(path, L"HKEY_") ? kRegistry64 : 0);
    std::vector<std::wstring> names;
    std::vector<std::wstring> values;
    const std::wstring section = AddOnSection();
    config.GetSectionEntries(names, values, section.c_str(), 0, 0);

    int result = 0;
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
        if (!StartsWithIgnoringAsciiCase(names[i], L"EnableIn_")) continue;
        tarvox::autocad::EnabledInEntry entry;
        if (!tarvox::autocad::ParseEnabledInValue(values[i], entry)) continue;
        CAutoCADInfo* info = infos.FindByName(entry.productKeyName);
        if (info == nullptr) {
            info = &infos[infos.Add(CAutoCADInfo(entry.productKeyName.c_str(), nullptr, nullptr))];
        }
        CAutoCADProfile* profile = info->m_Profiles.FindByName(entry.profile);
        if (profile == nullptr) {
            const std::wstring profilePath =
                std::wstring(kUserRoot) + info->m_ProductKey + L"\\Profiles\\" + entry.profile;
            CAutoCADProfile loaded(profilePath.c_str(), 1);
            loaded.m_Name = entry.profile;
            loaded.m_CreatedFrom = entry.createdFrom;
            profile = &info->m_Profiles[info->m_Profiles.Add(loaded)];
        }
        if (profile->m_WorkSpaces.FindByName(entry.workspace) == nullptr) {
            profile->m_WorkSpaces.Add(CWorkSpace(entry.workspace.c_str()));
        }
        result = 1;
    }
    return result;
}

int FindCurrentAcadInfo(CAutoCADInfos& infos, long long& index) {
    index = -1;
    std::wstring curVer;
    if (tarvox::ReadReleaseCurVer(tarvox::autocad::CurrentAcadRelease(), 1, curVer) !=
        tarvox::CurVerRead::Found) {
        return 0;
    }
    for (std::size_t i = infos.GetSize(); i-- > 0;) {
        if (EqualsIgnoringAsciiCase(infos[i].m_ProductKeyName, curVer)) {
            index = static_cast<long long>(i);
            return 1;
        }
    }
    return 0;
}

int SetAcadVersion(const wchar_t* release) {
    return tarvox::Guard(0, [&]() -> int {
        int result = 0;
        HKEY autocad = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Autodesk\\AutoCAD", 0,
                          KEY_SET_VALUE | KEY_WOW64_64KEY, &autocad) == ERROR_SUCCESS) {
            CRegKeyHolder holder;
            holder.Attach(autocad);
            const std::wstring text = release ? release : L"";
            result = SetRegValue(
                         holder, L"CurVer", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS
                         ? 1
                         : 0;
        }

        CAutoCADInfos enabled;
        if (ListEnabledAcads(enabled, nullptr) != 1 || enabled.IsEmpty()) return result;
        CAutoCADInfos installed;
        FillAcadInfos(installed, tarvox::cuix::UsePartialMenu() == 1 ? 0 : 1, 1);
        long long current = -1;
        if (FindCurrentAcadInfo(installed, current) == 1) {
            const std::wstring& currentKey =
                installed[static_cast<std::size_t>(current)].m_ProductKey;
            for (const CAutoCADInfo& info : enabled) {
                if (EqualsIgnoringAsciiCase(info.m_ProductKey, currentKey)) {
                    tarvox::autocad::MakeAcadProductCurrent(info.m_ProductKeyName.c_str());
                    return 1;
                }
            }
        }
        return tarvox::autocad::MakeAcadProductCurrent(enabled[0].m_ProductKeyName.c_str());
    });
}
