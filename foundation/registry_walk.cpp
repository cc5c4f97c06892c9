#include "foundation/registry_walk.h"

#include <tarvox/registry.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tarvox {

namespace {

// A value name has at most 16,383 characters, a key name at most 255: these rooms hold any.
constexpr DWORD kValueNameRoom = 16384;
constexpr DWORD kKeyNameRoom = 256;
constexpr DWORD kFirstDataRoom = 16384;
// The data room grows up to this; a larger value counts as one that cannot be read.
constexpr DWORD kMaxDataRoom = 64u << 20;
constexpr DWORD kMaxKeyNameRoom = 32768;

}  // namespace

std::wstring StringData(const BYTE* data, std::size_t bytes) {
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
    if (const std::size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
    return text;
}

void WalkRegValues(HKEY key, OnUnreadable unreadable,
                   const std::function<WalkStep(const RegValueItem& value)>& visit) {
    if (key == nullptr) return;
    std::vector<wchar_t> name(kValueNameRoom);
    std::vector<BYTE> data(kFirstDataRoom);
    for (DWORD index = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataBytes = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LSTATUS status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                             data.data(), &dataBytes);
        if (status == ERROR_MORE_DATA && data.size() < kMaxDataRoom) {
            // The same value again with room for its data (dataBytes tells the size it needs).
            data.resize(std::min<std::size_t>(kMaxDataRoom,
                                              std::max<std::size_t>(data.size() * 2, dataBytes)));
            continue;
        }
        if (status == ERROR_NO_MORE_ITEMS) return;
        ++index;
        if (status != ERROR_SUCCESS) {
            if (unreadable == OnUnreadable::End) return;
            continue;
        }
        const RegValueItem item{std::wstring_view(name.data(), nameLength), type, data.data(),
                                dataBytes};
        if (visit(item) == WalkStep::Stop) return;
    }
}

void WalkRegSubKeys(HKEY key, const std::function<WalkStep(std::wstring_view name)>& visit) {
    if (key == nullptr) return;
    std::vector<wchar_t> name(kKeyNameRoom);
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(name.size());
        const LSTATUS status =
            RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA && name.size() < kMaxKeyNameRoom) {
            name.resize(name.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS) return;
        ++index;
        if (visit(std::wstring_view(name.data(), length)) == WalkStep::Stop) return;
    }
}

void WalkShellFolders(HKEY hive, OnUnreadable unreadable,
                      const std::function<WalkStep(const RegValueItem& value)>& visit) {
    CRegKeyHolder key(hive, kShellFoldersKey, 0, 0);
    WalkRegValues(key.Get(), unreadable, visit);
}

}  // namespace tarvox
