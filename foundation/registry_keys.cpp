// Opening, creating and enumerating registry keys.
#include <tarvox/registry.h>

#include "foundation/registry_access.h"
#include "foundation/registry_walk.h"
#include "foundation/unique_handle.h"
#include "foundation/boundary.h"

#include <utility>

HKEY OpenRegKey(HKEY root, const wchar_t* subKey, int create, int view64) {
    return tarvox::Guard(static_cast<HKEY>(nullptr), [&]() -> HKEY {
        if (root == nullptr) return nullptr;
        const REGSAM view = tarvox::ViewBits(view64);
        HKEY key = nullptr;
        LSTATUS status;
        if (create == 1) {
            status =
                RegCreateKeyExW(root, subKey ? subKey : L"", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_READ | KEY_WRITE | view, nullptr, &key, nullptr);
        } else {
            status = RegOpenKeyExW(root, subKey, 0, KEY_READ | view, &key);
        }
        return status == ERROR_SUCCESS ? key : nullptr;
    });
}

HKEY OpenRegKeyByPath(const wchar_t* path, int create, int view64) {
    return tarvox::Guard(static_cast<HKEY>(nullptr), [&]() -> HKEY {
        std::wstring rootName, subKey;
        HKEY root = SplitRegPath(path, rootName, subKey);
        if (root == nullptr) return nullptr;
        return OpenRegKey(root, subKey.c_str(), create, view64);
    });
}

CRegKeyHolder::CRegKeyHolder(HKEY root, const wchar_t* subKey, int create, int view64) {
    Open(root, subKey, create, view64);
}

CRegKeyHolder::~CRegKeyHolder() { Close(); }

CRegKeyHolder::CRegKeyHolder(CRegKeyHolder&& other) noexcept
    : m_hKey(std::exchange(other.m_hKey, nullptr)) {}

CRegKeyHolder& CRegKeyHolder::operator=(CRegKeyHolder&& other) noexcept {
    if (this != &other) {
        Close();
        m_hKey = std::exchange(other.m_hKey, nullptr);
    }
    return *this;
}

HKEY CRegKeyHolder::Open(HKEY root, const wchar_t* subKey, int create, int view64) {
    return tarvox::Guard(m_hKey, [&]() -> HKEY {
        if (root == nullptr || subKey == nullptr || *subKey == L'\0') return m_hKey;
        Close();
        m_hKey = OpenRegKey(root, subKey, create, view64);
        return m_hKey;
    });
}

void CRegKeyHolder::Attach(HKEY key) noexcept {
    Close();
    m_hKey = key;
}

HKEY CRegKeyHolder::Detach() noexcept { return std::exchange(m_hKey, nullptr); }

void CRegKeyHolder::Close() noexcept {
    // Handed to an owner that closes it as the scope ends.
    const tarvox::RegKey closing(std::exchange(m_hKey, nullptr));
}

int CreateRegKey(HKEY root, const wchar_t* subKey, HKEY* keyOut, int view64) {
    return tarvox::Guard(0, [&]() -> int {
        if (keyOut != nullptr) *keyOut = nullptr;
        if (root == nullptr) return 0;
        const REGSAM view = tarvox::ViewBits(view64);
        tarvox::RegKey key;
        LSTATUS status =
            RegCreateKeyExW(root, subKey ? subKey : L"", 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS | view, nullptr, key.Put(), nullptr);
        if (status != ERROR_SUCCESS) {
            status =
                RegCreateKeyExW(root, subKey ? subKey : L"", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_WRITE | view, nullptr, key.Put(), nullptr);
        }
        if (status != ERROR_SUCCESS) return 0;
        if (keyOut != nullptr) *keyOut = key.Release();
        return 1;
    });
}

namespace {

// Appends the direct subkeys of the key named by path (full paths in mode 1, else bare names).
// 1 when there was at least one.
int AppendDirectSubKeys(const wchar_t* path, std::vector<std::wstring>& keys, int mode,
                        int view64) {
    std::wstring rootName, subKey;
    HKEY root = SplitRegPath(path, rootName, subKey);
    if (root == nullptr) return 0;
    CRegKeyHolder key;
    key.Attach(OpenRegKey(root, subKey.c_str(), 0, view64));
    if (key.Get() == nullptr) return 0;

    const std::wstring prefix = rootName + L"\\" + subKey + L"\\";
    int result = 0;
    tarvox::WalkRegSubKeys(key, [&](std::wstring_view name) {
        keys.push_back(mode == 1 ? prefix + std::wstring(name) : std::wstring(name));
        result = 1;
        return tarvox::WalkStep::Next;
    });
    return result;
}

}  // namespace

int GetRegSubKeys(const wchar_t* path, std::vector<std::wstring>& keys, int mode, int view64) {
    return tarvox::GuardOr(tarvox::TrimOnFailure(0, keys), [&]() -> int {
        const std::size_t firstNew = keys.size();
        const int result = AppendDirectSubKeys(path, keys, mode, view64);
        if (mode == 0 || result == 0) return result;
        // The subtrees without recursion, so that a deep key tree cannot exhaust the stack:
        // each pending range holds a key's children still to be expanded, the innermost last.
        struct Range {
            std::size_t next;
            std::size_t end;
        };
        std::vector<Range> pending{{firstNew, keys.size()}};
        while (!pending.empty()) {
            Range& range = pending.back();
            if (range.next == range.end) {
                pending.pop_back();
                continue;
            }
            // Copy: appending to the array may move its elements.
            const std::wstring child = keys[range.next++];
            const std::size_t first = keys.size();
            if (AppendDirectSubKeys(child.c_str(), keys, mode, view64) == 1)
                pending.push_back({first, keys.size()});
        }
        return result;
    });
}
