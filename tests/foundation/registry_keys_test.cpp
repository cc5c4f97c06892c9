// Registry paths, keys and their listing, and the registry sandbox the tests run in (scratch
// keys, never the prefix's own roots, gone afterwards).
#include <tarvox/registry.h>

#include "tests/support/sandbox_fixture.h"

#include <tuple>

namespace {

using namespace tarvox::test;
using Strings = std::vector<std::wstring>;

class RegistryKeys : public SandboxTest {};

bool KeyExists(HKEY root, const std::wstring& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

TEST_F(RegistryKeys, OpenCreatesOnlyWithTheCreateFlag) {
    EXPECT_EQ(OpenRegKey(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\New", 0, 0), nullptr);
    EXPECT_EQ(OpenRegKey(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\New", 2, 0), nullptr);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\New"));
    CRegKeyHolder created;
    created.Attach(OpenRegKey(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\New", 1, 1));
    ASSERT_NE(created.Get(), nullptr);
    EXPECT_EQ(RegSetValueExW(created, L"V", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4), 0);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\New"));
    EXPECT_EQ(OpenRegKey(nullptr, L"Software", 1, 0), nullptr);

    registry.Apply({Key(L"HKCU\\Software\\Tarvox\\Tarvo Ardent 2020")});
    CRegKeyHolder byPath;
    byPath.Attach(
        OpenRegKeyByPath(L"hkey_current_user\\Software\\Tarvox\\Tarvo Ardent 2020\\", 0, 0));
    EXPECT_NE(byPath.Get(), nullptr);
    for (const wchar_t* path : {L"HKEY_LOCAL_MACHINE\\Software\\Tarvox\\Tarvo Ardent 2020",
                                L"HKCU\\Software\\Tarvox", static_cast<const wchar_t*>(nullptr)}) {
        EXPECT_EQ(OpenRegKeyByPath(path, 0, 0), nullptr);
    }

    HKEY key = nullptr;
    ASSERT_EQ(CreateRegKey(HKEY_CURRENT_USER, L"Software\\Tarvox\\One", &key, 0), 1);
    ASSERT_NE(key, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(CreateRegKey(HKEY_CURRENT_USER, L"Software\\Tarvox\\Two", nullptr, 1), 1);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Tarvox\\Two"));
    EXPECT_EQ(CreateRegKey(nullptr, L"Software", &key, 0), 0);
    EXPECT_EQ(key, nullptr);
}

TEST_F(RegistryKeys, HolderClosesWhenReopenedAndKeepsItsKeyForAnEmptySubkey) {
    registry.Apply({Sz(L"HKLM\\Software\\A", L"x", L"1"), Key(L"HKLM\\Software\\B")});
    CRegKeyHolder holder(HKEY_LOCAL_MACHINE, L"Software\\A", 0, 0);
    HKEY first = holder.Get();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(holder.Open(HKEY_LOCAL_MACHINE, L"", 0, 0), first);
    EXPECT_EQ(holder.Open(HKEY_LOCAL_MACHINE, nullptr, 0, 0), first);
    EXPECT_EQ(holder.Open(nullptr, L"Software\\B", 0, 0), first);
    ASSERT_NE(holder.Open(HKEY_LOCAL_MACHINE, L"Software\\B", 0, 0), nullptr);
    DWORD values = 99;  // the holder now reads B
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

// Mode 0 appends the bare names of the children; mode 1 every descendant, the children first,
// then each subtree. A key without subkeys or a missing key gives 0 and leaves the array.
TEST_F(RegistryKeys, SubKeysByModeAndAKeyWithoutSubkeysLeavesTheArray) {
    const std::wstring p = L"HKEY_LOCAL_MACHINE\\Software\\Tree\\";
    registry.Apply({Key(L"HKLM\\Software\\Tree\\A\\A1\\A1x"), Key(L"HKLM\\Software\\Tree\\A\\A2"),
                    Key(L"HKLM\\Software\\Tree\\B"), Key(L"HKLM\\Software\\Tree\\C\\C1"),
                    Key(L"HKCU\\Only")});
    const struct {
        std::wstring path;
        int mode, result;
        Strings keys;
    } rows[] = {
        {p.substr(0, p.size() - 1), 0, 1, {L"kept", L"A", L"B", L"C"}},
        {p,
         1,
         1,
         {L"kept", p + L"A", p + L"B", p + L"C", p + L"A\\A1", p + L"A\\A2", p + L"A\\A1\\A1x",
          p + L"C\\C1"}},
        {p + L"B", 1, 0, {L"kept"}},
        {L"HKEY_LOCAL_MACHINE\\Software\\Missing", 0, 0, {L"kept"}},
        {L"HKLM\\Software\\Tree", 0, 0, {L"kept"}},
        {L"HKEY_CURRENT_USER", 1, 1, {L"kept", L"HKEY_CURRENT_USER\\\\Only"}},
    };
    for (const auto& row : rows) {
        Strings keys = {L"kept"};
        EXPECT_EQ(GetRegSubKeys(row.path.c_str(), keys, row.mode, 0), row.result) << row.path;
        EXPECT_EQ(keys, row.keys) << row.path;
    }
}

TEST_F(RegistryKeys, AChainNearTheRegistrysDepthLimitAndLongNamesAreListedWhole) {
    // The registry nests keys at most 512 levels deep; the test's own keys sit a few levels down.
    constexpr std::size_t kLevels = 400;
    std::wstring chain;
    for (std::size_t level = 0; level < kLevels; ++level) chain += L"\\k";
    const std::wstring longName(255, L'k');
    registry.Apply(
        {Key(L"HKLM\\Software\\Deep" + chain), Key(L"HKLM\\Software\\Long\\" + longName)});
    Strings keys;
    EXPECT_EQ(GetRegSubKeys(L"HKEY_LOCAL_MACHINE\\Software\\Deep", keys, 1, 0), 1);
    ASSERT_EQ(keys.size(), kLevels);
    EXPECT_EQ(keys.back(), L"HKEY_LOCAL_MACHINE\\Software\\Deep" + chain);
    keys.clear();
    EXPECT_EQ(GetRegSubKeys(L"HKEY_LOCAL_MACHINE\\Software\\Long", keys, 0, 0), 1);
    EXPECT_EQ(keys, Strings{longName});
}

TEST(RegistrySandbox, RedirectsBothRootsAndRemovesItsKeysAfterwards) {
    std::wstring scratch;
    {
        RegistrySandbox sandbox;
        scratch = sandbox.ScratchKey();
        sandbox.Apply({Sz(L"HKLM\\Software\\Types", L"sz", L"text"),
                       Key(L"HKLM\\Software\\Types\\Empty"),
                       Key(L"HKEY_CURRENT_USER\\Software\\Left")});
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Types\\Empty"));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Left"));
        // The sandbox starts empty: nothing of the prefix's own machine shows through.
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Microsoft"));
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch));  // the prefix's own user again
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Types"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Microsoft"));
    // A second sandbox in a row does not see the first one's keys.
    RegistrySandbox second;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Left"));
}

// Every root name in any case gives the canonical root name; one trailing backslash is dropped
// and a bare root has an empty subkey. Abbreviations, unknown roots and empty paths are refused.
TEST(SplitRegPath, GivesTheCanonicalRootAndDropsOneTrailingBackslash) {
    struct Row {
        const wchar_t* path;
        HKEY root;
        const wchar_t *name, *subKey;
    };
    std::vector<Row> rows = {
        {L"HKEY_CURRENT_USER\\Software", HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"Software"},
        {L"hkey_classes_root\\.txt", HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT", L".txt"},
        {L"HKEY_USERS\\.DEFAULT", HKEY_USERS, L"HKEY_USERS", L".DEFAULT"},
        {L"HKEY_CURRENT_CONFIG\\System", HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG", L"System"},
        {L"hkey_local_machine\\Software\\X\\", HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE",
         L"Software\\X"},
        {L"HKEY_LOCAL_MACHINE\\Software\\X\\\\", HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE",
         L"Software\\X\\"},
        {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L""},
        {L"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L""}};
    for (const wchar_t* path :
         {L"HKLM\\Software", L"Software\\X", L"HKEY_DYN_DATA\\X", L"HKEY_PERFORMANCE_DATA",
          L"HKEY_LOCAL_MACHINEX\\Software", L"\\HKEY_LOCAL_MACHINE\\Software", L""})
        rows.push_back({path, nullptr, L"", L""});  // refused
    for (const auto& row : rows) {
        std::wstring name = L"stale", subKey = L"stale";
        EXPECT_EQ(SplitRegPath(row.path, name, subKey), row.root) << row.path;
        EXPECT_EQ(name, row.name) << row.path;
        EXPECT_EQ(subKey, row.subKey) << row.path;
    }
    std::wstring name, subKey;
    EXPECT_EQ(SplitRegPath(nullptr, name, subKey), nullptr);
}

// The subkey is kept as written; without the backslash after the root the outputs stay untouched.
TEST(ParseRegPath, KeepsTheSubkeyUnchangedAndFailsWithoutTheBackslash) {
    struct Row {
        const wchar_t* path;
        int result;
        HKEY root;
        const wchar_t* subKey;
    };
    std::vector<Row> rows = {
        {L"hkey_local_machine\\Software\\X\\", 1, HKEY_LOCAL_MACHINE, L"Software\\X\\"},
        {L"HKEY_CURRENT_CONFIG\\System", 1, HKEY_CURRENT_CONFIG, L"System"},
        {L"HKEY_USERS\\", 1, HKEY_USERS, L""}};
    for (const wchar_t* path : {L"HKEY_LOCAL_MACHINE", L"HKLM\\Software", L"Software\\X",
                                L"HKEY_DYN_DATA\\X", L"HKEY_LOCAL_MACHIN\\X", L"", L"HKEY_"})
        rows.push_back({path, 0, HKEY_USERS, L"untouched"});  // outputs untouched
    for (const auto& row : rows) {
        HKEY root = HKEY_USERS;
        std::wstring subKey = L"untouched";
        EXPECT_EQ(ParseRegPath(row.path, root, subKey), row.result) << row.path;
        EXPECT_EQ(root, row.root) << row.path;
        EXPECT_EQ(subKey, row.subKey) << row.path;
    }
}

}  // namespace
