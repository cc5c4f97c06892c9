#include "tests/support/registry_sandbox.h"

#include "foundation/unique_handle.h"

#include <atomic>
#include <stdexcept>
#include <string>
#include <tuple>

namespace tarvox::test {
namespace {

constexpr wchar_t kSandboxParent[] = L"Software\\TarvoxTestSandbox";

std::vector<BYTE> BytesOf(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    return std::vector<BYTE>(bytes, bytes + size);
}

// The text with its terminating null.
std::vector<BYTE> StringBytes(std::wstring_view text) {
    return BytesOf(std::wstring(text).c_str(), (text.size() + 1) * sizeof(wchar_t));
}

std::wstring UniqueScratchName() {
    static std::atomic<unsigned> counter{0};
    return std::wstring(kSandboxParent) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter);
}

HKEY CreateRealUserKey(const std::wstring& subKey) {
    // Another test process may remove the common parent key at the same moment, when its own
    // sandbox was the last one below it: creating again then succeeds.
    for (int attempt = 0; attempt < 20; ++attempt, Sleep(10)) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS)
            return key;
    }
    throw std::runtime_error("cannot create a registry sandbox key");
}

// Splits "ROOT\sub" into the (redirected) predefined key and the subkey.
HKEY RootOf(const std::wstring& path, std::wstring& subKey) {
    const auto slash = path.find(L'\\');
    const std::wstring root = path.substr(0, slash);
    subKey = slash == std::wstring::npos ? L"" : path.substr(slash + 1);
    for (const auto& [longName, shortName, key] :
         {std::tuple{L"HKEY_LOCAL_MACHINE", L"HKLM", HKEY_LOCAL_MACHINE},
          {L"HKEY_CURRENT_USER", L"HKCU", HKEY_CURRENT_USER}}) {
        if (_wcsicmp(root.c_str(), longName) == 0 || _wcsicmp(root.c_str(), shortName) == 0)
            return key;
    }
    throw std::invalid_argument(
        "a sandbox path starts with HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER");
}

}  // namespace

RegEntry Key(std::wstring path) { return RegEntry{std::move(path), L"", REG_NONE, {}, true}; }
RegEntry Sz(std::wstring path, std::wstring name, std::wstring_view text) {
    return Raw(std::move(path), std::move(name), REG_SZ, StringBytes(text));
}
RegEntry ExpandSz(std::wstring path, std::wstring name, std::wstring_view text) {
    return Raw(std::move(path), std::move(name), REG_EXPAND_SZ, StringBytes(text));
}
RegEntry MultiSz(std::wstring path, std::wstring name,
                 std::initializer_list<std::wstring_view> items) {
    std::wstring joined;
    for (auto item : items) joined.append(item).push_back(L'\0');
    joined.push_back(L'\0');
    return Raw(std::move(path), std::move(name), REG_MULTI_SZ,
               BytesOf(joined.data(), joined.size() * sizeof(wchar_t)));
}
RegEntry Dword(std::wstring path, std::wstring name, DWORD value) {
    return Raw(std::move(path), std::move(name), REG_DWORD, BytesOf(&value, sizeof(value)));
}
RegEntry Qword(std::wstring path, std::wstring name, unsigned long long value) {
    return Raw(std::move(path), std::move(name), REG_QWORD, BytesOf(&value, sizeof(value)));
}
RegEntry Binary(std::wstring path, std::wstring name, std::vector<BYTE> bytes) {
    return Raw(std::move(path), std::move(name), REG_BINARY, std::move(bytes));
}
RegEntry Raw(std::wstring path, std::wstring name, DWORD type, std::vector<BYTE> bytes) {
    return RegEntry{std::move(path), std::move(name), type, std::move(bytes)};
}

RegistrySandbox::RegistrySandbox() : RegistrySandbox(UniqueScratchName()) { m_owner = true; }

RegistrySandbox::RegistrySandbox(const std::wstring& existingScratchKey)
    : m_scratchKey(existingScratchKey) {
    // Both scratch keys are opened before either root is redirected: both live below the
    // real HKEY_CURRENT_USER.
    m_machine = CreateRealUserKey(m_scratchKey + L"\\HKLM");
    m_user = CreateRealUserKey(m_scratchKey + L"\\HKCU");
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
    if (!m_owner) return;
    RegDeleteTreeW(HKEY_CURRENT_USER, m_scratchKey.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, m_scratchKey.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kSandboxParent);  // when the last sandbox has gone
}

void RegistrySandbox::Apply(const std::vector<RegEntry>& entries) const {
    for (const RegEntry& entry : entries) {
        std::wstring subKey;
        const HKEY root = RootOf(entry.path, subKey);
        RegKey key;
        if (RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
            throw std::runtime_error("cannot create a sandbox key");
        if (!entry.keyOnly &&
            RegSetValueExW(key.Get(), entry.name.empty() ? nullptr : entry.name.c_str(), 0,
                           entry.type, entry.data.data(),
                           static_cast<DWORD>(entry.data.size())) != ERROR_SUCCESS)
            throw std::runtime_error("cannot write a sandbox value");
    }
}

}  // namespace tarvox::test
