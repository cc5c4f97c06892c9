// Base fixture for tests on a workstation with AutoCAD products: the sandbox and the machine.
#pragma once

#include "tests/support/acad_machine.h"
#include "tests/support/sandbox_fixture.h"

namespace tarvox::test {

class AcadMachineTest : public SandboxTest {
protected:
    AcadMachine machine{registry, temp};

    // Short forms of machine.Add: a product with its folder and UPIRELEASE year (none when empty).
    std::wstring Add(const wchar_t* release, const wchar_t* keyName, const wchar_t* name,
                     const wchar_t* folder, const wchar_t* year = L"") {
        return machine.Add(AcadProduct(release, keyName, name, folder).UpiRelease(year));
    }
    std::wstring AddLt(const wchar_t* release, const wchar_t* keyName, const wchar_t* name,
                       const wchar_t* folder, const wchar_t* year = L"") {
        return machine.Add(AcadProduct(release, keyName, name, folder).Lt().UpiRelease(year));
    }
};

}  // namespace tarvox::test
