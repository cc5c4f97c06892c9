#include "autocad/current_acad.h"

#include <tarvox/autocad.h>
#include <tarvox/registry.h>

#include <windows.h>

#include <cwctype>
#include <optional>

#include "autocad/installed_products.h"
#include "autocad/product_keys.h"
#include "autocad/release_catalogue.h"
#include "autocad/short_values.h"
#include "foundation/folder_value.h"
#include "foundation/boundary.h"
#include "foundation/text_compare.h"

namespace tarvox::autocad {

namespace {

constexpr wchar_t kAutodeskKey[] = L"Software\\Autodesk";
constexpr wchar_t kAutoCadKey[] = L"Software\\Autodesk\\AutoCAD";

// Reads one value of a key under a root; false when the key or value is missing or too long.
bool ReadKeyValue(HKEY root, const std::wstring& subKey, const wchar_t* name, std::wstring& text) {
    text.clear();
    if (subKey.empty()) return false;
    CRegKeyHolder key(root, subKey.c_str(), 0, 0);
    return key.Get() && ReadShortValue(text, key, name);
}

// Opens an existing key of the user for changing its values; nothing is created.
CRegKeyHolder OpenUserKeyForWriting(const std::wstring& subKey) {
    CRegKeyHolder holder;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ | KEY_WRITE, &opened) ==
        ERROR_SUCCESS) {
        holder.Attach(opened);
    }
    return holder;
}

void WriteString(HKEY key, const wchar_t* name, const std::wstring& text) {
    SetRegValue(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The component between the second and the third backslash of a product key: the family
// "AutoCAD" or "AutoCAD LT", possibly empty. None when the key has fewer than three backslashes.
std::optional<std::wstring> FamilyOfKey(const wchar_t* productKey) {
    if (!productKey) return std::nullopt;
    const std::wstring key = productKey;
    std::size_t slashes[3];
    std::size_t found = 0;
    for (std::size_t i = 0; i < key.size() && found < 3; ++i) {
        if (key[i] == L'\\') slashes[found++] = i;
    }
    if (found < 3) return std::nullopt;
    return key.substr(slashes[1] + 1, slashes[2] - slashes[1] - 1);
}

// Follows the user's CurProd / CurVer / CurVer chain to a product key, noting whether the
// current family is AutoCAD LT. Empty when a link of the chain is missing.
std::wstring UsersCurrentProductKey(bool& isLt) {
    std::wstring family;
    if (!ReadKeyValue(HKEY_CURRENT_USER, kAutodeskKey, L"CurProd", family)) return {};
    isLt = EqualsIgnoringAsciiCase(family, L"AutoCAD LT");
    std::wstring path = std::wstring(kAutodeskKey) + L"\\" + family;
    for (int link = 0; link < 2; ++link) {
        std::wstring next;
        if (!ReadKeyValue(HKEY_CURRENT_USER, path, L"CurVer", next)) return {};
        path += L"\\" + next;
    }
    return path;
}

// The short name AutoCAD records for the launched product: the folder of its UPILocation
// below its AcadLocation, or "ACAD" when the UPILocation lies elsewhere. Empty without both.
std::wstring LaunchedProductShortName(HKEY product) {
    std::wstring acadLocation;
    std::wstring upiLocation;
    if (!product || !ReadShortValue(acadLocation, product, L"AcadLocation") ||
        !ReadShortValue(upiLocation, product, L"UPILocation") || acadLocation.empty() ||
        upiLocation.empty()) {
        return {};
    }
    const std::size_t slash = upiLocation.rfind(L'\\');
    if (slash != std::wstring::npos) upiLocation.resize(slash);
    if (upiLocation.size() > acadLocation.size() &&
        CompareSystemIgnoringCase(std::wstring_view(upiLocation).substr(0, acadLocation.size()),
                                  acadLocation) == SortOrder::Equal) {
        std::wstring rest = upiLocation.substr(acadLocation.size());
        const std::size_t next = rest.find(L'\\');
        rest = next == std::wstring::npos ? std::wstring() : rest.substr(next + 1);
        return rest.find(L'\\') == std::wstring::npos ? rest : std::wstring();
    }
    return L"ACAD";
}

}  // namespace

int GetCurrentAcadKeys(std::wstring& productKey, std::wstring& profileKey,
                       std::wstring& profileName) {
    productKey.clear();
    profileKey.clear();
    profileName.clear();
    const std::wstring& release = CurrentAcadRelease();
    std::vector<std::wstring> keys;
    if (!ListAcadProductKeys(keys, release.c_str())) return 0;

    const std::wstring& first = keys.front();
    const std::size_t last = first.rfind(L'\\');
    if (last == std::wstring::npos) return 1;
    const std::wstring releaseOfFirst = LastKeyComponent(first.substr(0, last));
    if (releaseOfFirst.empty() || !EqualsIgnoringAsciiCase(releaseOfFirst, release)) return 1;

    productKey = first;
    const std::wstring profiles = first + L"\\Profiles";
    GetShortRegValue(profileName, (L"HKEY_CURRENT_USER\\" + profiles).c_str(), nullptr, 1);
    if (profileName.empty()) {
        GetShortRegValue(profileName, (L"HKEY_LOCAL_MACHINE\\" + profiles).c_str(), L"default", 1);
    }
    if (!profileName.empty()) profileKey = profiles + L"\\" + profileName;
    return 1;
}

int MakeAcadProductCurrent(const wchar_t* productKeyName) {
    const std::wstring name = productKeyName ? productKeyName : L"";
    const std::wstring release = CurrentAcadRelease();
    if (CRegKeyHolder autodesk = OpenUserKeyForWriting(kAutodeskKey); autodesk.Get()) {
        WriteString(autodesk, L"CurProd", L"AutoCAD");
    }
    if (CRegKeyHolder autocad = OpenUserKeyForWriting(kAutoCadKey); autocad.Get()) {
        WriteString(autocad, L"CurVer", release);
    }
    const std::wstring releaseKey = std::wstring(kAutoCadKey) + L"\\" + release;
    CRegKeyHolder userRelease = OpenUserKeyForWriting(releaseKey);
    if (!userRelease.Get()) return 0;
    WriteString(userRelease, L"CurVer", name);

    CRegKeyHolder product(HKEY_LOCAL_MACHINE, (releaseKey + L"\\" + name).c_str(), 0, 0);
    std::wstring shortName = LaunchedProductShortName(product.Get());
    if (!shortName.empty()) {
        for (wchar_t& c : shortName) c = static_cast<wchar_t>(std::towupper(c));
        WriteString(userRelease, L"LastLaunchedProduct", shortName);
    }
    return 1;
}

}  // namespace tarvox::autocad

using namespace tarvox::autocad;

const wchar_t* GetAcadExe(std::wstring& out, const wchar_t* productKey) {
    return tarvox::GuardText(out, [&]() -> const wchar_t* {
        bool isLt = false;
        std::wstring location;
        bool haveLocation = false;
        // A key with an empty family component still names its family: it opens nothing rather
        // than falling back to the user's current product.
        const std::optional<std::wstring> family = FamilyOfKey(productKey);
        if (family) {
            isLt = tarvox::EqualsIgnoringAsciiCase(*family, L"AutoCAD LT");
            CRegKeyHolder key(HKEY_LOCAL_MACHINE, productKey, 0, 0);
            if (!key.Get()) {
                out.clear();
                return out.c_str();
            }
            haveLocation = ReadShortValue(location, key, L"Location");
        } else {
            const std::wstring chain = UsersCurrentProductKey(isLt);
            haveLocation = ReadKeyValue(HKEY_LOCAL_MACHINE, chain, L"Location", location);
        }
        // Only a location that could not be read leaves the out string as it was; an empty one
        // still gets its backslash.
        if (!haveLocation) return out.c_str();
        if (location.empty() || location.back() != L'\\') location += L'\\';
        location += isLt ? L"aclt.exe" : L"acad.exe";
        wchar_t trueCase[kAcadValueChars];
        const std::size_t length = GetTrueCasePath(location.c_str(), trueCase, kAcadValueChars);
        out = length ? std::wstring(trueCase, length) : location;
        return out.c_str();
    });
}

const wchar_t* GetAcadExe(std::wstring& out) {
    return tarvox::GuardText(out, [&]() -> const wchar_t* { return GetAcadExe(out, nullptr); });
}

const wchar_t* GetAcadDir(std::wstring& out, const wchar_t* productKey) {
    return tarvox::GuardText(out, [&]() -> const wchar_t* {
        GetAcadExe(out, productKey);
        if (!out.empty()) {
            const std::size_t slash = out.rfind(L'\\');
            if (slash == std::wstring::npos) {
                out.clear();
            } else {
                out.resize(slash);
            }
        }
        return out.c_str();
    });
}

const wchar_t* GetAcadDir(std::wstring& out) {
    return tarvox::GuardText(out, [&]() -> const wchar_t* { return GetAcadDir(out, nullptr); });
}

const wchar_t* GetAcadKey(std::wstring& out) {
    return tarvox::GuardText(out, [&]() -> const wchar_t* {
        std::wstring profileKey, profileName;
        GetCurrentAcadKeys(out, profileKey, profileName);
        return out.c_str();
    });
}

const wchar_t* GetAcadProfileKey(std::wstring& out) {
    return tarvox::GuardText(out, [&]() -> const wchar_t* {
        std::wstring productKey, profileName;
        GetCurrentAcadKeys(productKey, out, profileName);
        return out.c_str();
    });
}

int IsAutoCADLT() {
    return tarvox::Guard(0, [&]() -> int {
        std::wstring profileKey;
        GetAcadProfileKey(profileKey);
        const std::optional<std::wstring_view> family = AfterSecondBackslash(profileKey);
        return family && tarvox::StartsWithIgnoringAsciiCase(*family, L"AutoCAD LT") ? 1 : 0;
    });
}
