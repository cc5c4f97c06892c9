// Opening, creating and listing keys.
#include <tarvox/registry.h>

#include "tests/support/sandbox_fixture.h"

namespace {

using namespace tarvox::test;
using Strings = std::vector<std::wstring>;

class RegistryKeys : public SandboxTest {};

bool KeyExists(HKEY root, const wchar_t* subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

TEST_F(RegistryKeys, OpenCreatesOnlyWithTheCreateFlag) {
    EXPECT_EQ(OpenRegKey(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\New", 0, 0), nullptr);
    EXPECT_EQ(OpenRegKey(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\New", 2, 0), nullptr);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\New"));

    HKEY created = OpenRegKey(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\New", 1, 1);
    ASSERT_NE(created, nullptr);
    // Opened for reading and writing.
    const DWORD value = 5;
    EXPECT_EQ(RegSetValueExW(created, L"V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4),
              ERROR_SUCCESS);
    RegCloseKey(created);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\New"));
    EXPECT_EQ(OpenRegKey(nullptr, L"Software", 1, 0), nullptr);
}

TEST_F(RegistryKeys, OpenByPathUsesTheRootName) {
    registry.Apply({Key(L"HKCU\\Software\\Tarvox\\Tarvo Ardent 2020")});
    HKEY key = OpenRegKeyByPath(L"hkey_current_user\\Software\\Tarvox\\Tarvo Ardent 2020\\", 0, 0);
    ASSERT_NE(key, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(OpenRegKeyByPath(L"HKEY_LOCAL_MACHINE\\Software\\Tarvox\\Tarvo Ardent 2020", 0, 0),
              nullptr);
    EXPECT_EQ(OpenRegKeyByPath(L"HKCU\\Software\\Tarvox", 0, 0), nullptr);
    EXPECT_EQ(OpenRegKeyByPath(nullptr, 0, 0), nullptr);
}

TEST_F(RegistryKeys, HolderClosesWhenReopenedAndKeepsItsKeyForAnEmptySubkey) {
    registry.Apply({Sz(L"HKLM\\Software\\A", L"x", L"1"), Key(L"HKLM\\Software\\B")});
    CRegKeyHolder holder(HKEY_LOCAL_MACHINE, L"Software\\A", 0, 0);
    HKEY first = holder.Get();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(holder.Open(HKEY_LOCAL_MACHINE, L"", 0, 0), first);
    EXPECT_EQ(holder.Open(HKEY_LOCAL_MACHINE, nullptr, 0, 0), first);
    EXPECT_EQ(holder.Open(nullptr, L"Software\\B", 0, 0), first);

    HKEY second = holder.Open(HKEY_LOCAL_MACHINE, L"Software\\B", 0, 0);
    ASSERT_NE(second, nullptr);
    // The holder now reads B.
    DWORD values = 99;
    EXPECT_EQ(RegQueryInfoKeyW(holder, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 0u);

    EXPECT_EQ(holder.Open(HKEY_LOCAL_MACHINE, L"Software\\Missing", 0, 0), nullptr);
    EXPECT_EQ(holder.Get(), nullptr);
    holder.Close();
    holder.Close();
    EXPECT_EQ(holder.Get(), nullptr);
}

TEST_F(RegistryKeys, CreateRegKeyHandsOutOrClosesTheKey) {
    HKEY key = nullptr;
    ASSERT_EQ(CreateRegKey(HKEY_CURRENT_USER, L"Software\\Tarvox\\One", &key, 0), 1);
    ASSERT_NE(key, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(CreateRegKey(HKEY_CURRENT_USER, L"Software\\Tarvox\\Two", nullptr, 1), 1);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Tarvox\\Two"));
    EXPECT_EQ(CreateRegKey(nullptr, L"Software", &key, 0), 0);
    EXPECT_EQ(key, nullptr);
}

class SubKeys : public SandboxTest {
protected:
    void SetUp() override {
        registry.Apply({Key(L"HKLM\\Software\\Tree\\A\\A1\\A1x"),
                        Key(L"HKLM\\Software\\Tree\\A\\A2"), Key(L"HKLM\\Software\\Tree\\B"),
                        Key(L"HKLM\\Software\\Tree\\C\\C1")});
    }
};

TEST_F(SubKeys, ModeZeroAppendsBareNamesOfTheChildren) {
    Strings keys = {L"kept"};
    EXPECT_EQ(GetRegSubKeys(L"HKEY_LOCAL_MACHINE\\Software\\Tree", keys, 0, 0), 1);
    EXPECT_EQ(keys, (Strings{L"kept", L"A", L"B", L"C"}));
}

TEST_F(SubKeys, ModeOneListsEveryDescendantChildrenFirstThenEachSubtree) {
    Strings keys;
    EXPECT_EQ(GetRegSubKeys(L"HKEY_LOCAL_MACHINE\\Software\\Tree\\", keys, 1, 0), 1);
    const std::wstring p = L"HKEY_LOCAL_MACHINE\\Software\\Tree\\";
    EXPECT_EQ(keys, (Strings{p + L"A", p + L"B", p + L"C", p + L"A\\A1", p + L"A\\A2",
                             p + L"A\\A1\\A1x", p + L"C\\C1"}));
}

TEST_F(SubKeys, AKeyWithoutSubkeysOrAMissingKeyGivesZeroAndLeavesTheArray) {
    Strings keys = {L"kept"};
    EXPECT_EQ(GetRegSubKeys(L"HKEY_LOCAL_MACHINE\\Software\\Tree\\B", keys, 1, 0), 0);
    EXPECT_EQ(GetRegSubKeys(L"HKEY_LOCAL_MACHINE\\Software\\Missing", keys, 0, 0), 0);
    EXPECT_EQ(GetRegSubKeys(L"HKLM\\Software\\Tree", keys, 0, 0), 0);
    EXPECT_EQ(keys, Strings{L"kept"});
}

TEST_F(SubKeys, ABareRootIsPrefixedWithItsNameAndTwoBackslashes) {
    registry.Apply({Key(L"HKCU\\Only")});
    Strings keys;
    EXPECT_EQ(GetRegSubKeys(L"HKEY_CURRENT_USER", keys, 1, 0), 1);
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys[0], L"HKEY_CURRENT_USER\\\\Only");
}

TEST_F(SubKeys, AChainNearTheRegistrysDepthLimitIsListedToItsEnd) {
    // The registry nests keys at most 512 levels deep; the test's own keys sit a few levels down.
    constexpr std::size_t kLevels = 400;
    std::wstring chain;
    for (std::size_t level = 0; level < kLevels; ++level) chain += L"\\k";
    registry.Apply({Key(L"HKLM\\Software\\Deep" + chain)});
    Strings keys;
    EXPECT_EQ(GetRegSubKeys(L"HKEY_LOCAL_MACHINE\\Software\\Deep", keys, 1, 0), 1);
    ASSERT_EQ(keys.size(), kLevels);
    EXPECT_EQ(keys.back(), L"HKEY_LOCAL_MACHINE\\Software\\Deep" + chain);
}

TEST_F(SubKeys, LongNamesAreListedWhole) {
    const std::wstring longName(255, L'k');
    registry.Apply({Key(L"HKLM\\Software\\Long\\" + longName)});
    Strings keys;
    EXPECT_EQ(GetRegSubKeys(L"HKEY_LOCAL_MACHINE\\Software\\Long", keys, 0, 0), 1);
    EXPECT_EQ(keys, Strings{longName});
}

}  // namespace
