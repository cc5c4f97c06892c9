#include "autocad/product_keys.h"

#include <tarvox/registry.h>

#include <cwchar>

#include "autocad/product_names.h"
#include "autocad/release_catalogue.h"
#include "autocad/short_values.h"
#include "foundation/text_compare.h"

namespace tarvox::autocad {

namespace {

constexpr std::size_t kReleaseFieldLength = 20;

}  // namespace

int ListAcadProductKeys(std::vector<std::wstring>& keys, const wchar_t* releaseKey) {
    keys.clear();
    const std::wstring release =
        (releaseKey && *releaseKey) ? std::wstring(releaseKey) : CurrentAcadRelease();

    std::vector<std::wstring> sortKeys;
    std::vector<std::wstring> productKeys;
    const struct {
        const wchar_t* root;
        bool lt;
    } roots[] = {{L"Software\\Autodesk\\AutoCAD", false},
                 {L"Software\\Autodesk\\AutoCAD LT", true}};
    for (const auto& root : roots) {
        const std::wstring rootPath = std::wstring(L"HKEY_LOCAL_MACHINE\\") + root.root;
        std::vector<std::wstring> releases;
        GetRegSubKeys(rootPath.c_str(), releases, 0, 1);
        for (const std::wstring& releaseName : releases) {
            const std::wstring releasePath = rootPath + L"\\" + releaseName;
            std::vector<std::wstring> products;
            GetRegSubKeys(releasePath.c_str(), products, 0, 1);
            for (const std::wstring& product : products) {
                const std::wstring productPath = releasePath + L"\\" + product;
                std::wstring locale;
                std::wstring name;
                {
                    CRegKeyHolder key(
                        HKEY_LOCAL_MACHINE,
                        (std::wstring(root.root) + L"\\" + releaseName + L"\\" + product).c_str(),
                        0, 1);
                    if (!key.Get()) continue;
                    if (!ReadShortValue(locale, key, L"LocaleID") ||
                        !ReadShortValue(name, key, L"ProductName")) {
                        continue;
                    }
                }
                if (locale.empty() || name.empty()) continue;
                const std::wstring sortKey =
                    MakeAcadProductSortKey(releasePath.c_str(), name.c_str(), root.lt);
                long long index = 0;
                // Of two products with the same release, vertical and name the first stays.
                if (FindSortedString(sortKey.c_str(), sortKeys, index)) continue;
                sortKeys.insert(sortKeys.begin() + index, sortKey);
                productKeys.insert(productKeys.begin() + index,
                                   std::wstring(root.root) + L"\\" + releaseName + L"\\" + product);
            }
        }
    }

    // The user's current product is kept under the AutoCAD root, for AutoCAD LT as well.
    std::wstring curVer;
    if (ReadReleaseCurVer(release, 1, curVer) == CurVerRead::Found) {
        const std::wstring prefix =
            MakeAcadProductSortKey((L"\\" + release).c_str(), nullptr, false)
                .substr(0, kReleaseFieldLength);
        if (!prefix.empty()) {
            for (std::size_t i = 0; i < sortKeys.size(); ++i) {
                if (StartsWithIgnoringAsciiCase(sortKeys[i], prefix) &&
                    EqualsIgnoringAsciiCase(LastKeyComponent(productKeys[i]), curVer)) {
                    keys.push_back(productKeys[i]);
                    sortKeys.erase(sortKeys.begin() + static_cast<std::ptrdiff_t>(i));
                    productKeys.erase(productKeys.begin() + static_cast<std::ptrdiff_t>(i));
                    break;
                }
            }
            for (std::size_t i = 0; i < sortKeys.size();) {
                if (StartsWithIgnoringAsciiCase(sortKeys[i], prefix)) {
                    keys.push_back(productKeys[i]);
                    sortKeys.erase(sortKeys.begin() + static_cast<std::ptrdiff_t>(i));
                    productKeys.erase(productKeys.begin() + static_cast<std::ptrdiff_t>(i));
                } else {
                    ++i;
                }
            }
        }
    }
    keys.insert(keys.end(), productKeys.begin(), productKeys.end());
    return keys.empty() ? 0 : 1;
}

int GetAcadUpiRelease(const wchar_t* productKey) {
    if (!productKey || !*productKey) return -1;
    CRegKeyHolder key(HKEY_LOCAL_MACHINE, productKey, 0, 1);
    std::wstring text;
    if (!key.Get() || !ReadShortValue(text, key, L"UPIRELEASE") || text.empty()) return -1;
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

}  // namespace tarvox::autocad
