// The child test program: tarvox_child.exe --scenario NAME [--sandbox SCRATCHKEY] [ARGS...]
#include "tests/child/scenario.h"

#include "tests/support/child_process.h"
#include "tests/support/registry_sandbox.h"

#include <windows.h>

#include <cstdio>
#include <map>
#include <optional>

namespace tarvox::test {
namespace {

std::map<std::string, ScenarioFunction>& Scenarios() {
    static std::map<std::string, ScenarioFunction> scenarios;
    return scenarios;
}

}  // namespace

ScenarioRegistrar::ScenarioRegistrar(const char* name, ScenarioFunction function) {
    Scenarios()[name] = function;
}

void ScenarioContext::Report(std::string_view key, std::string_view value) const {
    std::printf("%.*s=%.*s\n", static_cast<int>(key.size()), key.data(),
                static_cast<int>(value.size()), value.data());
    std::fflush(stdout);
}

void ScenarioContext::Report(std::string_view key, std::wstring_view value) const {
    Report(key, std::string_view(Utf8(value)));
}

}  // namespace tarvox::test

int wmain(int argc, wchar_t** argv) {
    using namespace tarvox::test;
    std::string scenario;
    std::wstring sandboxKey;
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--scenario" && i + 1 < argc) scenario = Utf8(argv[++i]);
        else if (argument == L"--sandbox" && i + 1 < argc) sandboxKey = argv[++i];
        else args.push_back(argument);
    }
    const auto found = Scenarios().find(scenario);
    if (found == Scenarios().end()) {
        std::fprintf(stderr, "unknown scenario '%s'\n", scenario.c_str());
        return 2;
    }
    try {
        std::optional<RegistrySandbox> sandbox;
        if (!sandboxKey.empty()) sandbox.emplace(sandboxKey);
        ScenarioContext context(std::move(args));
        return found->second(context);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "scenario failed: %s\n", error.what());
        return 3;
    }
}
