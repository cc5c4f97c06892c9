#include "autocad/release_flags.h"

#include <tarvox/autocad.h>
#include <tarvox/registry.h>

#include <windows.h>

#include <string>
#include <vector>

#include "autocad/installed_products.h"
#include "autocad/product_keys.h"
#include "autocad/product_names.h"
#include "autocad/short_values.h"
#include "foundation/folder_value.h"
#include "foundation/text_compare.h"

namespace tarvox::autocad {

namespace {

constexpr int kAutoCad2020Slot = ReleaseVariableSlot(AcadReleaseGroup::AutoCad, 20);
constexpr int kLt2020Slot = ReleaseVariableSlot(AcadReleaseGroup::Lt, 20);

// The listed products as parallel arrays, as ListInstalledAcads returns them.
struct ProductList {
    std::vector<std::wstring> names;
    std::vector<std::wstring> keys;
    std::vector<std::wstring> locations;
    long long current = -1;

    std::size_t Size() const { return names.size(); }
    void Drop(std::size_t i) {
        const auto at = static_cast<std::ptrdiff_t>(i);
        names.erase(names.begin() + at);
        keys.erase(keys.begin() + at);
        locations.erase(locations.begin() + at);
    }
    bool IsCurrent(std::size_t i) const {
        return current >= 0 && static_cast<long long>(i) == current;
    }
};

bool IsPure(const std::wstring& name) {
    int ltOrArchitecture = 0;
    return IsPureAcadName(name.c_str(), &ltOrArchitecture) == 1;
}

// Drops the products whose names are neither a pure AutoCAD name nor an LT or Architecture
// name, and finds the current product again by its exact name.
void DropNonPureProducts(ProductList& products) {
    const bool hadCurrent =
        products.current >= 0 && products.current < static_cast<long long>(products.Size());
    const std::wstring currentName = hadCurrent ? products.names[products.current] : L"";
    for (std::size_t i = products.Size(); i-- > 0;) {
        int ltOrArchitecture = 0;
        if (!IsPureAcadName(products.names[i].c_str(), &ltOrArchitecture) &&
            ltOrArchitecture == 0) {
            products.Drop(i);
        }
    }
    if (!hadCurrent) return;
    products.current = -1;
    for (std::size_t i = 0; i < products.Size(); ++i) {
        if (products.names[i] == currentName) products.current = static_cast<long long>(i);
    }
}

// Of several plain AutoCAD products (AutoCAD itself and verticals such as Mechanical) one
// stays: the current one when it is plain, else the last one with a pure name.
void KeepOnePlainAcad(ProductList& products) {
    std::vector<std::size_t> plain;
    for (std::size_t i = 0; i < products.Size(); ++i) {
        if (IsPlainAcadName(products.names[i])) plain.push_back(i);
    }
    if (plain.size() < 2) return;
    std::size_t keep = products.Size();
    for (std::size_t i : plain) {
        if (products.IsCurrent(i)) keep = i;
    }
    if (keep == products.Size()) {
        for (std::size_t i : plain) {
            if (IsPure(products.names[i])) keep = i;
        }
    }
    if (keep == products.Size()) return;
    for (std::size_t n = plain.size(); n-- > 0;) {
        const std::size_t i = plain[n];
        if (i == keep) continue;
        products.Drop(i);
        if (static_cast<long long>(i) < products.current) --products.current;
    }
}

// The slot of the variable a product sets, or -1.
int SlotOfProduct(const std::wstring& name, const std::wstring& key) {
    const AcadReleaseGroup group = AcadReleaseGroupOfName(name);
    const int release = AcadReleaseIndexOfName(name, group, GetAcadUpiRelease(key.c_str()));
    return release ? ReleaseVariableSlot(group, release) : -1;
}

void ReportSelected(const std::wstring& key, AcadReleaseGroup group, wchar_t* keyBuf,
                    wchar_t* profileKeyBuf, wchar_t* exeBuf) {
    if (keyBuf) CopyToFolderBuffer(keyBuf, key);
    if (profileKeyBuf) {
        const std::wstring profiles = key + L"\\Profiles";
        CRegKeyHolder userProfiles(HKEY_CURRENT_USER, profiles.c_str(), 0, 0);
        std::wstring profile;
        if (userProfiles.Get() && ReadShortValue(profile, userProfiles, nullptr)) {
            CopyToFolderBuffer(profileKeyBuf, profiles + L"\\" + profile);
        }
    }
    if (exeBuf) {
        std::wstring folder;
        GetAcadDir(folder, key.c_str());
        if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
        // Spelled exactly so: callers compare these paths as they stand.
        folder += group == AcadReleaseGroup::Lt ? L"\\ACLT.exe" : L"\\aCaD.eXe";
        CopyToFolderBuffer(exeBuf, folder);
    }
}

}  // namespace

int FillAcadReleases(const AcadReleaseSlots& slots, long long*& selected, wchar_t* keyBuf,
                     wchar_t* profileKeyBuf, wchar_t* exeBuf, const long long* selector) {
    ProductList products;
    const int found =
        ListInstalledAcads(products.names, products.keys, products.locations, products.current);

    std::array<long long, kReleaseVariables> own{};
    std::array<long long*, kReleaseVariables> variables{};
    for (int i = 0; i < kReleaseVariables; ++i) variables[i] = slots[i] ? slots[i] : &own[i];

    // A negative AutoCAD 2020 value balanced by the LT 2020 value asks for pure names only.
    const bool pureNamesOnly = *variables[kAutoCad2020Slot] < 0 &&
                               *variables[kAutoCad2020Slot] + *variables[kLt2020Slot] == 0;

    for (long long* variable : variables) *variable = 0;
    selected = nullptr;
    for (wchar_t* buffer : {keyBuf, profileKeyBuf, exeBuf}) {
        if (buffer) buffer[0] = L'\0';
    }

    if (pureNamesOnly) DropNonPureProducts(products);
    KeepOnePlainAcad(products);

    std::vector<int> slotOfProduct(products.Size(), -1);
    for (std::size_t i = 0; i < products.Size(); ++i) {
        slotOfProduct[i] = SlotOfProduct(products.names[i], products.keys[i]);
        if (slotOfProduct[i] >= 0) *variables[slotOfProduct[i]] = 1;
    }

    long long chosen = -1;
    if (selector) {
        for (std::size_t i = 0; i < products.Size(); ++i) {
            if (slotOfProduct[i] >= 0 && variables[slotOfProduct[i]] == selector) {
                chosen = static_cast<long long>(i);
            }
        }
    } else if (products.current >= 0 &&
               products.current < static_cast<long long>(products.Size()) &&
               slotOfProduct[products.current] >= 0) {
        chosen = products.current;
    }
    if (chosen >= 0) {
        const int slot = slotOfProduct[chosen];
        selected = slots[slot];
        const AcadReleaseGroup group = static_cast<AcadReleaseGroup>(slot / kReleasesPerGroup);
        ReportSelected(products.keys[chosen], group, keyBuf, profileKeyBuf, exeBuf);
    }
    return found;
}

namespace {

struct RasterRelease {
    std::vector<std::wstring_view> productCodes;
    bool sameFamilyRule;  // false: the whole code, ignoring case
};

const RasterRelease& RasterReleaseOf(int index) {
    static const RasterRelease releases[kRasterReleases] = {
        {{L"{5783F2D7-4001-0407-0012-0060B0CE6BBA}"}, false},
        {{L"{5783F2D7-5001-0407-0012-0060B0CE6BBA}"}, false},
        {{L"{5783F2D7-6001-0407-0012-0060B0CE6BBA}"}, false},
        {{L"{5783F2D7-7001-0407-0012-0060B0CE6BBA}", L"{5783F2D7-7001-0409-0022-0060B0CE6BBA}"},
         true},
        {{L"{5783F2D7-8001-0407-0012-0060B0CE6BBA}", L"{5783F2D7-8001-0409-0022-0060B0CE6BBA}"},
         true},
        {{L"{5783F2D7-9001-0407-0012-0060B0CE6BBA}", L"{5783F2D7-8001-0409-0022-0060B0CE6BBA}"},
         true},
        {{L"{5783F2D7-A001-0407-0012-0060B0CE6BBA}", L"{5783F2D7-8001-0409-0022-0060B0CE6BBA}"},
         true},
    };
    return releases[index];
}

bool IsRasterProductCode(int release, const std::wstring& code) {
    const RasterRelease& raster = RasterReleaseOf(release);
    for (std::wstring_view known : raster.productCodes) {
        if (raster.sameFamilyRule ? SameProductCodeFamily(code, known)
                                  : EqualsIgnoringAsciiCase(code, known)) {
            return true;
        }
    }
    return false;
}

// The release variables 2000 to 2012 with the Raster Design variables in the places of
// AutoCAD 2006 to 2012; all other releases are not taken.
AcadReleaseSlots RasterBaseSlots(const RasterReleaseSlots& raster) {
    AcadReleaseSlots slots{};
    for (int r = 0; r < kRasterReleases; ++r) {
        slots[ReleaseVariableSlot(AcadReleaseGroup::AutoCad, ReleaseIndexOfYear(2006 + r))] =
            raster[r];
    }
    return slots;
}

// Whether the product the caller's selector picks is a Raster Design product of that release.
int CheckSelectedRaster(const RasterReleaseSlots& slots, int release, long long*& selected,
                        wchar_t* keyBuf, wchar_t* profileKeyBuf, wchar_t* exeBuf) {
    if (!FillAcadReleases(RasterBaseSlots(slots), selected, keyBuf, profileKeyBuf, exeBuf,
                          slots[release])) {
        return 0;
    }
    if (*slots[release] != 1) return 0;
    std::wstring code;
    CRegKeyHolder product;
    if (keyBuf) product.Open(HKEY_LOCAL_MACHINE, keyBuf, 0, 0);
    if (!product.Get() || !ReadShortValue(code, product, L"ProductCode") ||
        !IsRasterProductCode(release, code)) {
        *slots[release] = 0;
        return 0;
    }
    return 1;
}

}  // namespace

int FillRasterReleases(const RasterReleaseSlots& slots, long long*& selected, wchar_t* keyBuf,
                       wchar_t* profileKeyBuf, wchar_t* exeBuf, const long long* selector) {
    for (int r = 0; r < kRasterReleases; ++r) {
        if (selector && slots[r] == selector) {
            return CheckSelectedRaster(slots, r, selected, keyBuf, profileKeyBuf, exeBuf);
        }
    }
    std::array<long long, kRasterReleases> passed{};
    for (int r = 0; r < kRasterReleases; ++r) {
        std::array<long long, kRasterReleases> own{};
        RasterReleaseSlots ownSlots{};
        for (int i = 0; i < kRasterReleases; ++i) ownSlots[i] = &own[i];
        CheckSelectedRaster(ownSlots, r, selected, keyBuf, profileKeyBuf, exeBuf);
        passed[r] = own[r];
    }
    // The pass without a selector reports the current product through the buffers.
    FillAcadReleases(RasterBaseSlots(slots), selected, keyBuf, profileKeyBuf, exeBuf, nullptr);
    int any = 0;
    for (int r = 0; r < kRasterReleases; ++r) {
        if (slots[r]) *slots[r] = passed[r];
        if (passed[r] == 1) any = 1;
    }
    return any;
}

}  // namespace tarvox::autocad
