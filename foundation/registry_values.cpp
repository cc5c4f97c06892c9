// Reading and writing registry values.
#include <tarvox/registry.h>

#include "foundation/registry_expansion.h"
#include "foundation/boundary.h"
#include "foundation/registry_walk.h"

#include <cstring>
#include <cwchar>

namespace {

tarvox::RegistryExpansion g_expansion = nullptr;

// Largest value ReadRegValueString takes: 16,777,216 characters.
constexpr DWORD kMaxValueBytes = 33554432;
constexpr DWORD kMaxExpandedChars = 33554432;

// Reads the raw data of a value, growing the buffer while the value grows under us.
LSTATUS ReadRawValue(HKEY key, const wchar_t* valueName, DWORD& type, std::vector<BYTE>& data) {
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size);
    for (int attempt = 0; status == ERROR_SUCCESS || status == ERROR_MORE_DATA; ++attempt) {
        if (size > kMaxValueBytes || attempt == 8) return ERROR_MORE_DATA;
        // Room for a terminator that the stored data may lack.
        data.assign(static_cast<std::size_t>(size) + sizeof(wchar_t), 0);
        DWORD got = size;
        status = RegQueryValueExW(key, valueName, nullptr, &type, data.data(), &got);
        if (status == ERROR_SUCCESS) {
            data.resize(got);
            return ERROR_SUCCESS;
        }
        size = got > size ? got : size * 2 + 64;
    }
    return status;
}

std::wstring TextOf(const std::vector<BYTE>& data) {
    return tarvox::StringData(data.data(), data.size());
}

std::wstring ExpandWithEnvironment(const std::wstring& text, bool& expanded) {
    expanded = false;
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0 || needed > kMaxExpandedChars) return {};
    std::wstring result(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), result.data(), needed);
    if (written == 0 || written > needed) return {};
    result.resize(written - 1);
    expanded = true;
    return result;
}

}  // namespace

namespace tarvox {

void SetRegistryExpansion(RegistryExpansion expansion) { g_expansion = expansion; }

}  // namespace tarvox

int ReadRegValueString(std::wstring& text, HKEY key, const wchar_t* valueName) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, text), [&]() -> int {
        if (key == nullptr) return 0;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        if (ReadRawValue(key, valueName, type, data) != ERROR_SUCCESS) return 0;

        switch (type) {
            case REG_SZ: text = TextOf(data); return 1;
            case REG_EXPAND_SZ: {
                // When the expansion fails the stored text is given back unexpanded.
                text = TextOf(data);
                bool expanded = false;
                std::wstring result = ExpandWithEnvironment(text, expanded);
                if (expanded && !result.empty()) text = std::move(result);
                return 1;
            }
            case REG_DWORD: {
                DWORD value = 0;
                std::memcpy(&value, data.data(),
                            data.size() < sizeof(value) ? data.size() : sizeof(value));
                wchar_t digits[16];
                swprintf(digits, 16, L"%d", static_cast<int>(value));
                text = digits;
                return 1;
            }
            default: text.clear(); return 0;
        }
    });
}

int GetRegValue(std::wstring& text, const wchar_t* path, const wchar_t* valueName, int view64) {
    return tarvox::GuardOr(tarvox::ClearOnFailure(0, text), [&]() -> int {
        text.clear();
        if (path == nullptr || *path == L'\0') return 0;
        if (valueName != nullptr && *valueName == L'\0') valueName = nullptr;
        CRegKeyHolder key;
        key.Attach(OpenRegKeyByPath(path, 0, view64));
        if (key.Get() == nullptr) return 0;
        return ReadRegValueString(text, key, valueName);
    });
}

LSTATUS SetRegValue(HKEY key, const wchar_t* valueName, DWORD reserved, DWORD type,
                    const BYTE* data, DWORD count) {
    return tarvox::Guard(static_cast<LSTATUS>(ERROR_NOT_ENOUGH_MEMORY), [&]() -> LSTATUS {
        DWORD bytes = count;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            bytes =
                data == nullptr
                    ? 0
                    : static_cast<DWORD>((std::wcslen(reinterpret_cast<const wchar_t*>(data)) + 1) *
                                         sizeof(wchar_t));
        } else if (type == REG_MULTI_SZ) {
            bytes = count * sizeof(wchar_t);
        }
        return RegSetValueExW(key, valueName, reserved, type, data, bytes);
    });
}

LSTATUS QueryRegValue(HKEY key, const wchar_t* valueName, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* size) {
    return tarvox::Guard(static_cast<LSTATUS>(ERROR_NOT_ENOUGH_MEMORY), [&]() -> LSTATUS {
        DWORD localType = REG_NONE;
        if (type == nullptr) type = &localType;
        const DWORD sizeOnEntry = size ? *size : 0;

        // The caller's arguments as they are: other types come back as the system leaves them.
        const LSTATUS status = RegQueryValueExW(key, valueName, reserved, type, data, size);
        if (status != ERROR_SUCCESS || data == nullptr || size == nullptr) return status;
        const bool text = *type == REG_SZ || (*type == REG_EXPAND_SZ && *size != 0);
        if (!text) return ERROR_SUCCESS;

        // The text is terminated right after the data, within the caller's buffer. Data that
        // fills the buffer needs no room when it carries its own terminator; otherwise the caller
        // is told the size that includes one.
        if (*size + sizeof(wchar_t) <= sizeOnEntry) {
            const wchar_t terminator = L'\0';
            std::memcpy(data + *size, &terminator, sizeof(terminator));
        } else {
            wchar_t last = L'x';
            if (*size >= sizeof(wchar_t) && *size % sizeof(wchar_t) == 0) {
                std::memcpy(&last, data + *size - sizeof(wchar_t), sizeof(last));
            }
            if (last != L'\0') {
                *size += sizeof(wchar_t);
                return ERROR_MORE_DATA;
            }
        }
        if (*type != REG_EXPAND_SZ || g_expansion == nullptr) return ERROR_SUCCESS;

        std::wstring expanded;
        g_expansion(reinterpret_cast<const wchar_t*>(data), expanded);
        const std::size_t needed = (expanded.size() + 1) * sizeof(wchar_t);
        if (needed > sizeOnEntry) return ERROR_BUFFER_OVERFLOW;
        std::memcpy(data, expanded.c_str(), needed);
        *size = static_cast<DWORD>(needed);
        return ERROR_SUCCESS;
    });
}
