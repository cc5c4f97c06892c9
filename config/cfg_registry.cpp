// The registry form of a configuration.
#include "config/cfg_registry.h"
#include "foundation/text_compare.h"

#include <tarvox/registry.h>

#include "config/regedit_text.h"
#include "foundation/registry_access.h"
#include "foundation/registry_walk.h"
#include "foundation/unique_handle.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr std::size_t kRelativePathRoom = 260;
constexpr wchar_t kDefaultValueName[] = L"RegDefaultValue";

int ReaderView(CCfgReader& reader) { return tarvox::CfgViewFlag(reader.Get_m_IsRegistry()); }

REGSAM ReaderAccess(CCfgReader& reader) { return KEY_READ | tarvox::ViewBits(ReaderView(reader)); }

std::wstring HexText(const BYTE* data, DWORD size) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    for (DWORD i = 0; i < size; ++i) {
        text += kDigits[data[i] >> 4];
        text += kDigits[data[i] & 0x0F];
    }
    return text;
}

// Appends the line(s) of one value; false for a type that has no line.
bool AppendValueLines(const std::wstring& name, DWORD type, const std::vector<BYTE>& data,
                      DWORD size, std::vector<std::wstring>& lines) {
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            lines.push_back(name + L"=" + tarvox::StringData(data.data(), size));
            return true;
        case REG_BINARY: lines.push_back(name + L"=" + HexText(data.data(), size)); return true;
        case REG_DWORD: {
            std::int32_t number = 0;
            std::memcpy(&number, data.data(), std::min<DWORD>(size, sizeof number));
            lines.push_back(name + L"=" + std::to_wstring(number));
            return true;
        }
        case REG_QWORD: {
            std::int64_t number = 0;
            std::memcpy(&number, data.data(), std::min<DWORD>(size, sizeof number));
            lines.push_back(name + L"=" + std::to_wstring(number));
            return true;
        }
        case REG_MULTI_SZ: {
            const auto* chars = reinterpret_cast<const wchar_t*>(data.data());
            const std::size_t count = size / sizeof(wchar_t);
            std::vector<std::wstring> members;
            std::size_t start = 0;
            for (std::size_t i = 0; i <= count; ++i) {
                if (i == count || chars[i] == L'\0') {
                    if (i == start) break;  // the list ends at the first empty string
                    members.emplace_back(chars + start, i - start);
                    start = i + 1;
                }
            }
            lines.push_back(name + L"=" + (members.empty() ? std::wstring() : members[0]));
            for (std::size_t k = 1; k < members.size(); ++k) {
                lines.push_back(name + L"_ArMember_" + std::to_wstring(k) + L"=" + members[k]);
            }
            return true;
        }
        default: return false;
    }
}

// Whether a value's data is empty, judged per type: strings by their first whole character,
// numbers by their value, any other data by its first character (bytes past the data count
// as zero).
bool IsEmptyData(DWORD type, const std::vector<BYTE>& data, DWORD size) {
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_MULTI_SZ: {
            if (size < sizeof(wchar_t)) return true;
            wchar_t first = 0;
            std::memcpy(&first, data.data(), sizeof first);
            return first == L'\0';
        }
        case REG_DWORD: {
            std::uint32_t number = 0;
            std::memcpy(&number, data.data(), std::min<DWORD>(size, sizeof number));
            return number == 0;
        }
        case REG_QWORD: {
            std::uint64_t number = 0;
            std::memcpy(&number, data.data(), std::min<DWORD>(size, sizeof number));
            return number == 0;
        }
        default: return size == 0 || (data[0] == 0 && (size < 2 || data[1] == 0));
    }
}

std::vector<BYTE> BytesFromHex(const std::wstring& text) {
    std::vector<BYTE> bytes;
    if (text.size() % 2 != 0) return bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        bytes.push_back(static_cast<BYTE>(std::wcstoul(text.substr(i, 2).c_str(), nullptr, 16)));
    }
    return bytes;
}

}  // namespace

int ReadRegistryConfiguration(CCfgReader& reader) {
    HKEY root = nullptr;
    std::wstring subKey;
    if (ParseRegPath(reader.Get_m_File().c_str(), root, subKey) != 1 || subKey.empty()) return 0;
    tarvox::RegKey key;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, ReaderAccess(reader), key.Put()) != ERROR_SUCCESS) {
        return 0;
    }
    ReadRegistryKeyTree(reader, key.Get(), std::wstring(), reader.Get_m_Data());
    return 1;
}

int ReadRegistryKeyTree(CCfgReader& reader, HKEY key, const std::wstring& relativePath,
                        std::vector<std::wstring>& lines) {
    HKEY current = key;
    tarvox::RegKey opened;
    if (!relativePath.empty()) {
        if (relativePath.size() >= kRelativePathRoom) return 0;
        if (RegOpenKeyExW(key, relativePath.c_str(), 0, ReaderAccess(reader), opened.Put()) !=
            ERROR_SUCCESS) {
            return 0;
        }
        current = opened.Get();
    }
    const std::wstring section = relativePath.empty() ? std::wstring(L"\\") : relativePath;
    if (!lines.empty()) lines.emplace_back();
    lines.push_back(L"[" + section + L"]");

    int result = 0;
    std::vector<BYTE> data;
    tarvox::WalkRegValues(
        current, tarvox::OnUnreadable::End, [&](const tarvox::RegValueItem& value) {
            std::wstring valueName(value.name);
            // A copy with room for a terminator, so that it is never empty.
            data.assign(value.data, value.data + value.bytes);
            data.resize(value.bytes + sizeof(wchar_t));
            const DWORD dataSize = static_cast<DWORD>(value.bytes);
            // An unnamed value without data is the unset default value.
            if (valueName.empty() && IsEmptyData(value.type, data, dataSize))
                return tarvox::WalkStep::Next;
            if (valueName.empty()) valueName = kDefaultValueName;
            if (AppendValueLines(valueName, value.type, data, dataSize, lines)) {
                reader.SetValueType(section.c_str(), valueName.c_str(), value.type);
                result = 1;
            }
            return tarvox::WalkStep::Next;
        });

    tarvox::WalkRegSubKeys(current, [&](std::wstring_view child) {
        const std::wstring childPath =
            relativePath.empty() ? std::wstring(child) : relativePath + L"\\" + std::wstring(child);
        if (ReadRegistryKeyTree(reader, key, childPath, lines) == 1) result = 1;
        return tarvox::WalkStep::Next;
    });
    return result;
}

RegistrySectionPlan PlanRegistrySection(CCfgReader& reader, const std::wstring& section,
                                        const std::vector<std::wstring>& names,
                                        const std::vector<std::wstring>& values) {
    RegistrySectionPlan plan;
    plan.section = section;
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
        const std::wstring& name = names[i];
        const std::wstring& value = values[i];
        RegistrySectionPlan::Value planned;
        planned.name = name;
        // The name up to its first NUL, as the registry reads it.
        planned.isDefault = tarvox::EqualsIgnoringCaseOrdinal(name.c_str(), kDefaultValueName);
        const auto* text = reinterpret_cast<const BYTE*>(value.c_str());
        const std::size_t textBytes = (value.size() + 1) * sizeof(wchar_t);
        planned.type = value.empty()
                           ? REG_SZ
                           : static_cast<DWORD>(reader.GetValueType(section.c_str(), name.c_str()));
        switch (planned.type) {
            case REG_DWORD: {
                const DWORD number = static_cast<DWORD>(std::wcstol(value.c_str(), nullptr, 10));
                const auto* bytes = reinterpret_cast<const BYTE*>(&number);
                planned.data.assign(bytes, bytes + sizeof number);
                break;
            }
            case REG_BINARY: planned.data = BytesFromHex(value); break;
            case REG_EXPAND_SZ: planned.data.assign(text, text + textBytes); break;
            default:
                planned.type = REG_SZ;
                planned.data.assign(text, text + textBytes);
                break;
        }
        plan.values.push_back(std::move(planned));
    }
    return plan;
}

int WriteRegistrySection(CCfgReader& reader, HKEY key, const RegistrySectionPlan& plan,
                         bool* complete) {
    if (complete != nullptr) *complete = false;
    HKEY target = key;
    tarvox::RegKey created;
    if (plan.section.empty() || plan.section.front() != L'\\') {
        if (CreateRegKey(key, plan.section.c_str(), created.Put(), ReaderView(reader)) != 1 ||
            !created.Valid()) {
            return 0;
        }
        target = created.Get();
    }
    bool allWritten = true;
    for (const RegistrySectionPlan::Value& value : plan.values) {
        if (SetRegValue(target, value.isDefault ? nullptr : value.name.c_str(), 0, value.type,
                        value.data.data(),
                        static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS) {
            allWritten = false;
        }
    }
    if (complete != nullptr) *complete = allWritten;
    return 1;
}

wchar_t AnsiByteOfSystem(unsigned char ansi) {
    const char in = static_cast<char>(ansi);
    wchar_t out = 0;
    if (MultiByteToWideChar(CP_ACP, 0, &in, 1, &out, 1) != 1) return L'?';
    return out;
}

int NormalizeRegeditText(std::wstring& text) {
    return tarvox::NormalizeRegedit(text, &AnsiByteOfSystem) ? 1 : 0;
}
