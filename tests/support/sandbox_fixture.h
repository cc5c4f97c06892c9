// Base fixture for tests that use the registry and files: a registry sandbox, a temporary
// folder and saved environment variables, all undone after the test.
#pragma once

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
};

}  // namespace tarvox::test
