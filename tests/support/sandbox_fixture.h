// Base fixture for tests that use the registry and files: a registry sandbox, a temporary
// folder and saved environment variables, all undone after the test.
#pragma once

#include "tests/support/child_process.h"
#include "tests/support/environment_guard.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace tarvox::test {

class SandboxTest : public ::testing::Test {
protected:
    RegistrySandbox registry;
    TempFolder temp;
    EnvironmentGuard environment;

    // Runs a child scenario in this test's registry sandbox; a child that fails fails the test.
    ChildResult RunSandboxed(const std::string& scenario, ChildOptions options = {}) {
        options.sandboxKey = registry.ScratchKey();
        ChildResult child = RunChildScenario(scenario, options);
        EXPECT_TRUE(child.Passed()) << child.output;
        return child;
    }
};

}  // namespace tarvox::test
