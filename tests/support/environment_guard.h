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

    // Sets a variable (removes it when there is no value).
    void Set(const std::wstring& name, const std::optional<std::wstring>& value);
    void Unset(const std::wstring& name) { Set(name, std::nullopt); }
    // Points TMP and TEMP (and so GetTempPathW) at a folder.
    void SetTempFolder(const std::wstring& folder);

private:
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> m_saved;
};

std::optional<std::wstring> GetEnv(const std::wstring& name);

}  // namespace tarvox::test
