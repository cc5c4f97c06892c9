// A workstation with AutoCAD products as their installers leave it: product keys, install
// folders with the executable, and the user's CurProd / CurVer chain.
#pragma once

#include <string>
#include <utility>

#include "tests/support/registry_sandbox.h"
#include "tests/support/temp_folder.h"

namespace tarvox::test {

// One product to register; the optional parts are set with the chained setters.
struct AcadProduct {
    AcadProduct(std::wstring releaseKey, std::wstring productKeyName, std::wstring productName,
                std::wstring installFolder = L"")
        : release(std::move(releaseKey)),
          keyName(std::move(productKeyName)),
          name(std::move(productName)),
          folder(std::move(installFolder)) {}

    AcadProduct& Lt() { return lt = true, *this; }
    AcadProduct& AcadLocationOnly() { return acadLocationOnly = true, *this; }
    AcadProduct& UpiRelease(std::wstring year) { return upiRelease = std::move(year), *this; }
    AcadProduct& UpiLocation(std::wstring path) { return upiLocation = std::move(path), *this; }
    AcadProduct& ProductCode(std::wstring code) { return productCode = std::move(code), *this; }

    std::wstring release;           // "R23.1"
    std::wstring keyName;           // "ACAD-3001:409"
    std::wstring name;              // ProductName
    std::wstring folder;            // folder below the temporary folder; empty: no location
    bool lt = false;                // under "AutoCAD LT", with aclt.exe
    bool acadLocationOnly = false;  // the folder as "AcadLocation" instead of "Location"
    std::wstring upiRelease;        // UPIRELEASE, when not empty
    std::wstring upiLocation;       // UPILocation, when not empty
    std::wstring productCode;       // ProductCode, when not empty
};

class AcadMachine {
public:
    AcadMachine(RegistrySandbox& registry, TempFolder& temp) : m_registry(registry), m_temp(temp) {}

    // Registers a product and creates its folder with its executable. Returns its product key
    // relative to HKEY_LOCAL_MACHINE.
    std::wstring Add(const AcadProduct& product);
    std::wstring FolderOf(const std::wstring& folder) const { return m_temp / folder; }
    // The user's current product: CurProd, the family's CurVer and the release's CurVer.
    void SetUserCurrent(bool lt, const std::wstring& release, const std::wstring& keyName);
    // The user's current profile of a product key (the default value of its Profiles key).
    void SetUserProfile(const std::wstring& productKey, const std::wstring& profile);

    static std::wstring Family(bool lt) { return lt ? L"AutoCAD LT" : L"AutoCAD"; }

private:
    RegistrySandbox& m_registry;
    TempFolder& m_temp;
};

}  // namespace tarvox::test
