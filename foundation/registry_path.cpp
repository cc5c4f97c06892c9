// Splitting and parsing registry paths ("<root name>\<subkey>").
#include <tarvox/registry.h>

#include "foundation/boundary.h"
#include "foundation/text_compare.h"

#include <cwchar>
#include <iterator>

namespace {

struct RootName {
    std::wstring_view name;
    HKEY handle;
};

// The order in which SplitRegPath tries the root names.
const RootName kSplitRoots[] = {
    {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},     {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

// The prefixes that ParseRegPath recognises, each with its backslash, in the order tried.
const RootName kParsePrefixes[] = {
    {L"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE},
    {L"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER},
    {L"HKEY_CLASSES_ROOT\\", HKEY_CLASSES_ROOT},
    {L"HKEY_CURRENT_CONFIG\\", HKEY_CURRENT_CONFIG},
    {L"HKEY_USERS\\", HKEY_USERS},
};

}  // namespace

HKEY SplitRegPath(const wchar_t* path, std::wstring& rootName, std::wstring& subKey) {
    return tarvox::GuardOr(
        tarvox::ClearOnFailure(static_cast<HKEY>(nullptr), rootName, subKey), [&]() -> HKEY {
            rootName.clear();
            subKey.clear();
            if (path == nullptr || *path == L'\0') return nullptr;

            const std::wstring_view whole(path);
            std::wstring_view root = whole;
            std::wstring_view rest;
            if (const auto slash = whole.find(L'\\'); slash != std::wstring_view::npos) {
                root = whole.substr(0, slash);
                rest = whole.substr(slash + 1);
                if (!rest.empty() && rest.back() == L'\\') rest.remove_suffix(1);
            }
            for (const RootName& candidate : kSplitRoots) {
                if (tarvox::EqualsIgnoringAsciiCase(root, candidate.name)) {
                    rootName.assign(candidate.name);
                    subKey.assign(rest);
                    return candidate.handle;
                }
            }
            return nullptr;
        });
}

int ParseRegPath(const wchar_t* path, HKEY& root, std::wstring& subKey) {
    return tarvox::Guard(0, [&]() -> int {
        if (path == nullptr) return 0;
        const std::wstring_view whole(path);
        if (!tarvox::StartsWithIgnoringAsciiCase(whole, L"HKEY_")) return 0;
        for (const RootName& candidate : kParsePrefixes) {
            if (tarvox::StartsWithIgnoringAsciiCase(whole, candidate.name)) {
                root = candidate.handle;
                subKey.assign(whole.substr(candidate.name.size()));
                return 1;
            }
        }
        return 0;
    });
}
