// Changes environment variables of this process for one test and puts them back afterwards.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvox::test {

class EnvironmentGuard {
public:
    EnvironmentGuard() = default;
    ~EnvironmentGuard();
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

    void Set(const std::wstring& name, const std::wstring& value);
    void Unset(const std::wstring& name);

    // Points TMP and TEMP (and so GetTempPathW) at a folder.
    void SetTempFolder(const std::wstring& folder);

private:
    void Remember(const std::wstring& name);
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> m_saved;
};

std::optional<std::wstring> GetEnv(const std::wstring& name);

}  // namespace tarvox::test
