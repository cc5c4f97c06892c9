// Scenarios of the child test program. Each runs in a fresh process, prints "key=value" lines
// for the parent test to check, and returns 0 when it could run to its end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvox::test {

class ScenarioContext {
public:
    explicit ScenarioContext(std::vector<std::wstring> args) : m_args(std::move(args)) {}
    const std::vector<std::wstring>& Args() const { return m_args; }
    std::wstring Arg(std::size_t index) const {
        return index < m_args.size() ? m_args[index] : L"";
    }

    void Report(std::string_view key, std::string_view value) const;
    void Report(std::string_view key, std::wstring_view value) const;
    void Report(std::string_view key, const wchar_t* value) const {
        Report(key, std::wstring_view(value ? value : L"<null>"));
    }
    void Report(std::string_view key, long long value) const {
        Report(key, std::string_view(std::to_string(value)));
    }

private:
    std::vector<std::wstring> m_args;
};

using ScenarioFunction = int (*)(ScenarioContext&);

struct ScenarioRegistrar {
    ScenarioRegistrar(const char* name, ScenarioFunction function);
};

}  // namespace tarvox::test

#define TARVOX_CHILD_SCENARIO(name)                                                    \
    static int name##_Scenario(::tarvox::test::ScenarioContext&);                      \
    static ::tarvox::test::ScenarioRegistrar name##_Registrar(#name, name##_Scenario); \
    static int name##_Scenario([[maybe_unused]] ::tarvox::test::ScenarioContext& context)
