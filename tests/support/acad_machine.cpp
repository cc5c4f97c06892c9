#include "tests/support/acad_machine.h"

#include <windows.h>

namespace tarvox::test {

std::wstring AcadMachine::Add(const AcadProduct& product) {
    const std::wstring key = L"Software\\Autodesk\\" + Family(product.lt) + L"\\" +
                             product.release + L"\\" + product.keyName;
    const std::wstring path = L"HKLM\\" + key;
    m_registry.Apply({Sz(path, L"ProductName", product.name), Sz(path, L"LocaleID", L"409")});
    if (!product.folder.empty()) {
        const std::wstring folder = FolderOf(product.folder);
        m_temp.MakeFolder(product.folder);
        m_temp.WriteFile(product.folder + (product.lt ? L"\\aclt.exe" : L"\\acad.exe"), "MZ");
        m_registry.Apply(
            {Sz(path, product.acadLocationOnly ? L"AcadLocation" : L"Location", folder + L"\\")});
        if (!product.acadLocationOnly) m_registry.Apply({Sz(path, L"AcadLocation", folder)});
    }
    if (!product.upiRelease.empty())
        m_registry.Apply({Sz(path, L"UPIRELEASE", product.upiRelease)});
    if (!product.upiLocation.empty())
        m_registry.Apply({Sz(path, L"UPILocation", product.upiLocation)});
    if (!product.productCode.empty())
        m_registry.Apply({Sz(path, L"ProductCode", product.productCode)});
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
