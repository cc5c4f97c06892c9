#include "autocad/installed_products.h"

#include <tarvox/registry.h>

#include <windows.h>

#include <cwchar>

#include "autocad/product_keys.h"
#include "autocad/release_catalogue.h"
#include "autocad/short_values.h"
#include "foundation/unique_handle.h"

namespace tarvox::autocad {

namespace {

// A folder naming a year after the library's own product year belongs to a newer release.
bool NamesNewerYear(const std::wstring& location) {
    std::size_t pos = location.find(L'2');
    while (pos != std::wstring::npos && location.size() - pos >= 4) {
        const std::wstring digits = location.substr(pos, 4);
        if (std::wcstol(digits.c_str(), nullptr, 10) > ProductYear) return true;
        pos = location.find(L'2', pos + 4);
    }
    return false;
}

}  // namespace

std::size_t GetTrueCasePath(const wchar_t* path, wchar_t* out, std::size_t capacity) {
    std::wstring result = path ? path : L"";
    std::size_t pos = 0;
    if (result.starts_with(L"\\\\")) {
        pos = 2;
    } else if (result.size() >= 2 && result[1] == L':') {
        pos = 2;
    }
    while (pos < result.size()) {
        while (pos < result.size() && (result[pos] == L'\\' || result[pos] == L'/')) ++pos;
        if (pos >= result.size()) break;
        std::size_t end = result.find_first_of(L"\\/", pos);
        if (end == std::wstring::npos) end = result.size();
        const std::wstring prefix = result.substr(0, end);
        WIN32_FIND_DATAW data{};
        if (tarvox::FindHandle(FindFirstFileW(prefix.c_str(), &data)).Valid()) {
            const std::wstring stored = data.cFileName;
            result.replace(pos, end - pos, stored);
            end = pos + stored.size();
        }
        pos = end;
    }
    if (!out) return result.size() + 1;
    if (result.size() + 1 > capacity) return 0;
    std::wmemcpy(out, result.c_str(), result.size() + 1);
    return result.size();
}

int ListInstalledAcads(std::vector<std::wstring>& names, std::vector<std::wstring>& keys,
                       std::vector<std::wstring>& locations, long long& current) {
    current = -1;
    names.clear();
    locations.clear();
    if (!ListAcadProductKeys(keys, CurrentAcadRelease().c_str())) return 0;
    std::size_t i = 0;
    while (i < keys.size()) {
        CRegKeyHolder key(HKEY_LOCAL_MACHINE, keys[i].c_str(), 0, 1);
        if (!key.Get()) {
            keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        std::wstring location;
        if (!ReadShortValue(location, key, L"Location") &&
            !ReadShortValue(location, key, L"AcadLocation")) {
            location.clear();
        }
        if (!location.empty()) {
            if (location.back() == L'\\') location.pop_back();
            // The stored names may be longer than the text read (a location registered in its
            // short 8.3 form): the rewrite gets the room of a whole path.
            wchar_t trueCase[kAcadValueChars];
            const std::size_t length = GetTrueCasePath(location.c_str(), trueCase, kAcadValueChars);
            if (length) location.assign(trueCase, length);
            current = 0;
        }
        locations.push_back(location);
        std::wstring name;
        if (!NamesNewerYear(location) && ReadShortValue(name, key, L"ProductName")) {
            names.push_back(name);
            ++i;
            continue;
        }
        locations.erase(locations.begin() + static_cast<std::ptrdiff_t>(i));
        keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(i));
        if (static_cast<long long>(i) == current) current = -1;
    }
    return 1;
}

}  // namespace tarvox::autocad
