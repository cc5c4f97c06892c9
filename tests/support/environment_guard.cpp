#include "tests/support/environment_guard.h"

#include <windows.h>

namespace tarvox::test {

std::optional<std::wstring> GetEnv(const std::wstring& name) {
    const DWORD needed = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring value(needed, L'\0');
    value.resize(GetEnvironmentVariableW(name.c_str(), value.data(), needed));
    return value;
}

void EnvironmentGuard::Set(const std::wstring& name, const std::optional<std::wstring>& value) {
    bool saved = false;
    for (const auto& [savedName, before] : m_saved)
        saved = saved || _wcsicmp(savedName.c_str(), name.c_str()) == 0;
    if (!saved) m_saved.emplace_back(name, GetEnv(name));
    SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
}

void EnvironmentGuard::SetTempFolder(const std::wstring& folder) {
    Set(L"TMP", folder);
    Set(L"TEMP", folder);
}

EnvironmentGuard::~EnvironmentGuard() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
        SetEnvironmentVariableW(it->first.c_str(), it->second ? it->second->c_str() : nullptr);
}

}  // namespace tarvox::test
