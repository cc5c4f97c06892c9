// The registry sandbox itself: writes land in scratch keys, never in the prefix's own
// HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER, and are gone afterwards.
#include "tests/support/registry_sandbox.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvox::test;

bool RealUserKeyExists(const std::wstring& subKey) {
    // With no sandbox active HKEY_CURRENT_USER is the prefix's own.
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<BYTE> ReadRaw(HKEY root, const wchar_t* subKey, const wchar_t* name, DWORD& type) {
    std::vector<BYTE> data(256);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueW(root, subKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    data.resize(size);
    return data;
}

TEST(RegistrySandbox, RedirectsBothRootsAndRemovesItsKeysAfterwards) {
    std::wstring scratch;
    {
        RegistrySandbox sandbox;
        scratch = sandbox.ScratchKey();
        sandbox.Apply({Sz(L"HKLM\\Software\\Tarvox\\Probe", L"Name", L"machine"),
                       Sz(L"HKEY_CURRENT_USER\\Software\\Tarvox\\Probe", L"Name", L"user")});
        DWORD type = 0;
        auto machine = ReadRaw(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\Probe", L"Name", type);
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(machine.data())), L"machine");
        // The sandbox starts empty: nothing of the prefix's own machine shows through.
        HKEY key = nullptr;
        EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft", 0, KEY_READ, &key),
                  ERROR_SUCCESS);
    }
    EXPECT_FALSE(RealUserKeyExists(scratch));
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\Probe", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    // The prefix's own machine is visible again.
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(RegistrySandbox, DeclaresValuesOfEveryType) {
    RegistrySandbox sandbox;
    const wchar_t* path = L"Software\\Types";
    sandbox.Apply({Sz(L"HKLM\\Software\\Types", L"sz", L"text"),
                   ExpandSz(L"HKLM\\Software\\Types", L"expand", L"%X%"),
                   MultiSz(L"HKLM\\Software\\Types", L"multi", {L"a", L"bc"}),
                   Dword(L"HKLM\\Software\\Types", L"dword", 0x11223344),
                   Qword(L"HKLM\\Software\\Types", L"qword", 0x1122334455667788ULL),
                   Binary(L"HKLM\\Software\\Types", L"binary", {1, 2, 3}),
                   Key(L"HKLM\\Software\\Types\\Empty")});
    DWORD type = 0;
    EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, path, L"sz", type).size(), 10u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ReadRaw(HKEY_LOCAL_MACHINE, path, L"expand", type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, path, L"multi", type).size(), 12u);  // a\0bc\0\0
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, path, L"dword", type).size(), 4u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, path, L"qword", type).size(), 8u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_QWORD));
    EXPECT_EQ(ReadRaw(HKEY_LOCAL_MACHINE, path, L"binary", type), (std::vector<BYTE>{1, 2, 3}));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Types\\Empty", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(RegistrySandbox, TwoSandboxesInARowAreIndependent) {
    {
        RegistrySandbox first;
        first.Apply({Key(L"HKCU\\Software\\Left")});
    }
    RegistrySandbox second;
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Left", 0, KEY_READ, &key),
              ERROR_SUCCESS);
}

}  // namespace
