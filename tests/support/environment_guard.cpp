#include "tests/support/environment_guard.h"

#include <windows.h>

namespace tarvox::test {

std::optional<std::wstring> GetEnv(const std::wstring& name) {
    const DWORD needed = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), needed);
    value.resize(length);
    return value;
}

void EnvironmentGuard::Remember(const std::wstring& name) {
    for (const auto& saved : m_saved) {
        if (_wcsicmp(saved.first.c_str(), name.c_str()) == 0) return;
    }
    m_saved.emplace_back(name, GetEnv(name));
}

void EnvironmentGuard::Set(const std::wstring& name, const std::wstring& value) {
    Remember(name);
    SetEnvironmentVariableW(name.c_str(), value.c_str());
}

void EnvironmentGuard::Unset(const std::wstring& name) {
    Remember(name);
    SetEnvironmentVariableW(name.c_str(), nullptr);
}

void EnvironmentGuard::SetTempFolder(const std::wstring& folder) {
    Set(L"TMP", folder);
    Set(L"TEMP", folder);
}

EnvironmentGuard::~EnvironmentGuard() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        SetEnvironmentVariableW(it->first.c_str(), it->second ? it->second->c_str() : nullptr);
    }
}

}  // namespace tarvox::test
