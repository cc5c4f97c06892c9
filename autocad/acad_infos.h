// The installed AutoCAD products of the selected release as objects: each product with its
// user profiles, each profile with its menu file and workspaces; the add-on's own list of the
// products, profiles and workspaces it is enabled in.
#pragma once

#include "autocad/sorted_array.h"

#include <tarvox/object.h>

#include <string>

class _CCuixFile;

class CAutoCADInfoBase : public tarvox::CObject {
public:
    TARVOX_DECLARE_RUNTIME_CLASS();  // "CAutoCADInfoBase"

    std::wstring m_Name;
    // -1 until set; 1 when the add-on is present, 0 when not (each element says what that is).
    int m_AddOnState = -1;
};

// A workspace of a profile's customization file; m_AddOnState tells whether it shows all of
// the product's ribbon tabs.
class CWorkSpace : public CAutoCADInfoBase {
public:
    TARVOX_DECLARE_RUNTIME_CLASS();  // "CWorkSpace"

    explicit CWorkSpace(const wchar_t* name = nullptr) {
        if (name != nullptr) m_Name = name;
    }
};

namespace tarvox::autocad {
struct NameOf {
    std::wstring_view operator()(const CAutoCADInfoBase& element) const { return element.m_Name; }
};
}  // namespace tarvox::autocad

class CWorkSpaces : public tarvox::autocad::CSortedArray<CWorkSpace, tarvox::autocad::NameOf> {
public:
    CWorkSpaces() = default;
    // The workspaces of a customization file (without their add-on state).
    explicit CWorkSpaces(const wchar_t* cuixPath);
};

// The workspaces of an open customization file, each with its add-on state; 1 when at least
// one was added.
int FillWorkSpaces(CWorkSpaces& workspaces, _CCuixFile& cuix);
// The same from a path, without the add-on states; 1 for an existing file.
int FillWorkSpaces(CWorkSpaces& workspaces, const wchar_t* cuixPath);

// A user profile of a product. m_Name stays empty when the profile is not usable;
// m_AddOnState is 1 when its menu is the product's or loads it, 0 when not, -1 when unknown.
class CAutoCADProfile : public CAutoCADInfoBase {
public:
    TARVOX_DECLARE_RUNTIME_CLASS();  // "CAutoCADProfile"

    CAutoCADProfile() = default;
    // Loads the profile from its registry path (HKEY_CURRENT_USER\...\Profiles\<name>). With
    // quick set the customization file is not opened.
    CAutoCADProfile(const wchar_t* profileKeyPath, int quick) {
        LoadAcadProfile(profileKeyPath, quick);
    }
    void LoadAcadProfile(const wchar_t* profileKeyPath, int quick);

    std::wstring m_CreatedFrom;
    CWorkSpaces m_WorkSpaces;
    std::wstring m_MenuFile;
    int m_IsPureAcadProfile = 1;
};

class CAutoCADProfiles
    : public tarvox::autocad::CSortedArray<CAutoCADProfile, tarvox::autocad::NameOf> {};

// An installed AutoCAD product; m_AddOnState is 1 when the add-on is registered for loading
// in it.
class CAutoCADInfo : public CAutoCADInfoBase {
public:
    TARVOX_DECLARE_RUNTIME_CLASS();  // "CAutoCADInfo"

    CAutoCADInfo() = default;
    CAutoCADInfo(const wchar_t* registryPath, int quick) { LoadAcadInfo(registryPath, quick); }
    CAutoCADInfo(const wchar_t* productKeyName, const wchar_t* profileSpec,
                 const wchar_t* workspace) {
        AddAcadProfileWorkspace(productKeyName, profileSpec, workspace);
    }

    // Loads the product from its registry path (either hive) with its profiles.
    void LoadAcadInfo(const wchar_t* registryPath, int quick);
    // Names a product of the selected release and adds a profile ("name" or
    // "name|CreatedFrom:source", may be null) and a workspace to it. 0 for an empty key name.
    int AddAcadProfileWorkspace(const wchar_t* productKeyName, const wchar_t* profileSpec,
                                const wchar_t* workspace);

    std::wstring m_ProductKeyName;
    std::wstring m_AcadExe;
    std::wstring m_ProductKey;
    CAutoCADProfiles m_Profiles;
    std::wstring m_ProductShortName = L"ACAD";
};

namespace tarvox::autocad {
struct ProductKeyNameOf {
    std::wstring_view operator()(const CAutoCADInfo& info) const { return info.m_ProductKeyName; }
};
}  // namespace tarvox::autocad

class CAutoCADInfos
    : public tarvox::autocad::CSortedArray<CAutoCADInfo, tarvox::autocad::ProductKeyNameOf> {
public:
    // With fill 1 the installed products are listed (FillAcadInfos without the add-on's
    // workspaces, full profiles).
    explicit CAutoCADInfos(int fill = 0);
};

// The AutoCAD products of the selected release that have an executable (no AutoCAD LT). With
// withAddOnWorkspaces 1 the add-on's own profiles are replaced by one profile holding the
// workspaces of "_TarvoArdent_.cuix". Returns 1 when a product was added.
int FillAcadInfos(CAutoCADInfos& infos, int withAddOnWorkspaces, int quick);
// The products, profiles and workspaces named by the "EnableIn_" entries of the add-on's
// configuration (default: its registry key). Returns 1 when an entry was read.
int ListEnabledAcads(CAutoCADInfos& infos, const wchar_t* configPath);
// The index of the user's current product of the selected release in the collection.
int FindCurrentAcadInfo(CAutoCADInfos& infos, long long& index);

namespace tarvox::autocad {
// An "EnableIn_" value: "product key name";"profile[|CreatedFrom:source]";"workspace".
struct EnabledInEntry {
    std::wstring productKeyName;
    std::wstring profile;
    std::wstring createdFrom;
    std::wstring workspace;
};
bool ParseEnabledInValue(std::wstring_view value, EnabledInEntry& entry);
// The section of the add-on's configuration that holds the "EnableIn_" entries for the edition
// in use: "AutoCAD", "AutoCAD_LU" (Luminor) or "AutoCAD_AR" (Ardent).
std::wstring EnabledInSection();
// Splits "name|CreatedFrom:source" (the marker's case ignored) into its two parts.
void SplitProfileSpec(std::wstring_view spec, std::wstring& profile, std::wstring& createdFrom);
// The product's own subfolder of UPILocation below AcadLocation, upper case; "ACAD" when none.
std::wstring ProductShortNameOf(std::wstring_view acadLocation, std::wstring_view upiLocation);
}  // namespace tarvox::autocad
