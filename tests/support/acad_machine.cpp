#include "tests/support/acad_machine.h"

#include <windows.h>

#include <vector>

namespace tarvox::test {

std::wstring AcadMachine::Add(const AcadProduct& product) {
    const std::wstring key = L"Software\\Autodesk\\" + Family(product.lt) + L"\\" +
                             product.release + L"\\" + product.keyName;
    const std::wstring path = L"HKLM\\" + key;
    std::vector<RegEntry> entries{Sz(path, L"ProductName", product.name),
                                  Sz(path, L"LocaleID", L"409")};
    if (!product.folder.empty()) {
        const std::wstring folder = FolderOf(product.folder);
        m_temp.WriteFile(product.folder + (product.lt ? L"\\aclt.exe" : L"\\acad.exe"), "MZ");
        if (product.acadLocationOnly) {
            entries.push_back(Sz(path, L"AcadLocation", folder + L"\\"));
        } else {
            entries.push_back(Sz(path, L"Location", folder + L"\\"));
            entries.push_back(Sz(path, L"AcadLocation", folder));
        }
    }
    for (const auto& [name, value] : {std::pair{L"UPIRELEASE", &product.upiRelease},
                                      {L"UPILocation", &product.upiLocation},
                                      {L"ProductCode", &product.productCode}}) {
        if (!value->empty()) entries.push_back(Sz(path, name, *value));
    }
    m_registry.Apply(entries);
    return key;
}

void AcadMachine::SetUserCurrent(bool lt, const std::wstring& release,
                                 const std::wstring& keyName) {
    const std::wstring family = L"HKCU\\Software\\Autodesk\\" + Family(lt);
    m_registry.Apply({Sz(L"HKCU\\Software\\Autodesk", L"CurProd", Family(lt)),
                      Sz(family, L"CurVer", release),
                      Sz(family + L"\\" + release, L"CurVer", keyName)});
}

void AcadMachine::SetUserProfile(const std::wstring& productKey, const std::wstring& profile) {
    m_registry.Apply({Sz(L"HKCU\\" + productKey + L"\\Profiles", L"", profile)});
}

}  // namespace tarvox::test
