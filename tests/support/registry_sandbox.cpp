#include "tests/support/registry_sandbox.h"

#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tarvox::test {
namespace {

constexpr wchar_t kSandboxParent[] = L"Software\\TarvoxTestSandbox";

std::vector<BYTE> BytesOf(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    return std::vector<BYTE>(bytes, bytes + size);
}

std::vector<BYTE> StringBytes(std::wstring_view text) {
    std::wstring terminated(text);
    return BytesOf(terminated.c_str(), (terminated.size() + 1) * sizeof(wchar_t));
}

std::wstring UniqueScratchName() {
    static std::atomic<unsigned> counter{0};
    return std::wstring(kSandboxParent) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter);
}

HKEY CreateRealUserKey(const std::wstring& subKey) {
    // Another test process may remove the common parent key at the same moment, when its own
    // sandbox was the last one below it: creating again then succeeds.
    for (int attempt = 0; attempt < 20; ++attempt) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
            return key;
        }
        Sleep(10);
    }
    throw std::runtime_error("cannot create a registry sandbox key");
}

// Splits "ROOT\sub" into the (redirected) predefined key and the subkey.
HKEY RootOf(const std::wstring& path, std::wstring& subKey) {
    const auto slash = path.find(L'\\');
    const std::wstring root = path.substr(0, slash);
    subKey = slash == std::wstring::npos ? L"" : path.substr(slash + 1);
    if (_wcsicmp(root.c_str(), L"HKEY_LOCAL_MACHINE") == 0 || _wcsicmp(root.c_str(), L"HKLM") == 0)
        return HKEY_LOCAL_MACHINE;
    if (_wcsicmp(root.c_str(), L"HKEY_CURRENT_USER") == 0 || _wcsicmp(root.c_str(), L"HKCU") == 0)
        return HKEY_CURRENT_USER;
    throw std::invalid_argument(
        "a sandbox path starts with HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER");
}

}  // namespace

RegEntry Key(std::wstring path) { return RegEntry{std::move(path), L"", REG_NONE, {}, true}; }
RegEntry Sz(std::wstring path, std::wstring name, std::wstring_view text) {
    return RegEntry{std::move(path), std::move(name), REG_SZ, StringBytes(text)};
}
RegEntry ExpandSz(std::wstring path, std::wstring name, std::wstring_view text) {
    return RegEntry{std::move(path), std::move(name), REG_EXPAND_SZ, StringBytes(text)};
}
RegEntry MultiSz(std::wstring path, std::wstring name,
                 std::initializer_list<std::wstring_view> items) {
    std::wstring joined;
    for (auto item : items) {
        joined += item;
        joined += L'\0';
    }
    joined += L'\0';
    return RegEntry{std::move(path), std::move(name), REG_MULTI_SZ,
                    BytesOf(joined.data(), joined.size() * sizeof(wchar_t))};
}
RegEntry Dword(std::wstring path, std::wstring name, DWORD value) {
    return RegEntry{std::move(path), std::move(name), REG_DWORD, BytesOf(&value, sizeof(value))};
}
RegEntry Qword(std::wstring path, std::wstring name, unsigned long long value) {
    return RegEntry{std::move(path), std::move(name), REG_QWORD, BytesOf(&value, sizeof(value))};
}
RegEntry Binary(std::wstring path, std::wstring name, std::vector<BYTE> bytes) {
    return RegEntry{std::move(path), std::move(name), REG_BINARY, std::move(bytes)};
}
RegEntry Raw(std::wstring path, std::wstring name, DWORD type, std::vector<BYTE> bytes) {
    return RegEntry{std::move(path), std::move(name), type, std::move(bytes)};
}

RegistrySandbox::RegistrySandbox() : RegistrySandbox(UniqueScratchName(), true) {}

RegistrySandbox::RegistrySandbox(std::wstring scratchKey, bool owner)
    : m_scratchKey(std::move(scratchKey)), m_owner(owner) {
    m_machine = CreateRealUserKey(m_scratchKey + L"\\HKLM");
    m_user = CreateRealUserKey(m_scratchKey + L"\\HKCU");
    Redirect();
}

RegistrySandbox::RegistrySandbox(const std::wstring& existingScratchKey)
    : RegistrySandbox(existingScratchKey, false) {}

void RegistrySandbox::Redirect() {
    // Both scratch keys are opened before either root is redirected: both live below the
    // real HKEY_CURRENT_USER.
    if (RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_machine) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_CURRENT_USER, m_user) != ERROR_SUCCESS) {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        throw std::runtime_error("RegOverridePredefKey failed");
    }
}

RegistrySandbox::~RegistrySandbox() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(m_machine);
    RegCloseKey(m_user);
    if (m_owner) {
        RegDeleteTreeW(HKEY_CURRENT_USER, m_scratchKey.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, m_scratchKey.c_str());
        // The common parent goes when the last sandbox has gone.
        RegDeleteKeyW(HKEY_CURRENT_USER, kSandboxParent);
    }
}

void RegistrySandbox::Apply(std::initializer_list<RegEntry> entries) const {
    Apply(std::vector<RegEntry>(entries));
}

void RegistrySandbox::Apply(const std::vector<RegEntry>& entries) const {
    for (const RegEntry& entry : entries) {
        std::wstring subKey;
        HKEY root = RootOf(entry.path, subKey);
        HKEY key = nullptr;
        if (RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
            throw std::runtime_error("cannot create a sandbox key");
        }
        LSTATUS status = ERROR_SUCCESS;
        if (!entry.keyOnly) {
            status = RegSetValueExW(key, entry.name.empty() ? nullptr : entry.name.c_str(), 0,
                                    entry.type, entry.data.data(),
                                    static_cast<DWORD>(entry.data.size()));
        }
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) throw std::runtime_error("cannot write a sandbox value");
    }
}

}  // namespace tarvox::test
