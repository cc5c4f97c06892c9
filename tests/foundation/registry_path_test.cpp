// Splitting and parsing registry paths.
#include <tarvox/registry.h>

#include <gtest/gtest.h>

namespace {

struct Split {
    HKEY root;
    std::wstring name;
    std::wstring subKey;
};

Split SplitOf(const wchar_t* path) {
    Split split{};
    split.name = L"stale";
    split.subKey = L"stale";
    split.root = SplitRegPath(path, split.name, split.subKey);
    return split;
}

TEST(SplitRegPath, AcceptsEveryRootNameInAnyCase) {
    EXPECT_EQ(SplitOf(L"HKEY_CURRENT_USER\\Software").root, HKEY_CURRENT_USER);
    EXPECT_EQ(SplitOf(L"hkey_classes_root\\.txt").root, HKEY_CLASSES_ROOT);
    EXPECT_EQ(SplitOf(L"Hkey_Local_Machine\\Software").root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(SplitOf(L"HKEY_USERS\\.DEFAULT").root, HKEY_USERS);
    EXPECT_EQ(SplitOf(L"HKEY_CURRENT_CONFIG\\System").root, HKEY_CURRENT_CONFIG);
}

TEST(SplitRegPath, GivesTheCanonicalRootAndDropsOneTrailingBackslash) {
    Split split = SplitOf(L"hkey_local_machine\\Software\\X\\");
    EXPECT_EQ(split.root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(split.name, L"HKEY_LOCAL_MACHINE");
    EXPECT_EQ(split.subKey, L"Software\\X");

    split = SplitOf(L"HKEY_LOCAL_MACHINE\\Software\\X\\\\");
    EXPECT_EQ(split.subKey, L"Software\\X\\");
}

TEST(SplitRegPath, ABareRootHasAnEmptySubkey) {
    Split split = SplitOf(L"HKEY_LOCAL_MACHINE");
    EXPECT_EQ(split.root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(split.subKey, L"");
    split = SplitOf(L"HKEY_CURRENT_USER\\");
    EXPECT_EQ(split.root, HKEY_CURRENT_USER);
    EXPECT_EQ(split.subKey, L"");
}

TEST(SplitRegPath, RefusesAbbreviationsUnknownRootsAndEmptyPaths) {
    for (const wchar_t* path :
         {L"HKLM\\Software", L"Software\\X", L"HKEY_DYN_DATA\\X", L"HKEY_PERFORMANCE_DATA",
          L"HKEY_LOCAL_MACHINEX\\Software", L"\\HKEY_LOCAL_MACHINE\\Software", L""}) {
        const Split split = SplitOf(path);
        EXPECT_EQ(split.root, nullptr) << path;
        EXPECT_EQ(split.name, L"") << path;
        EXPECT_EQ(split.subKey, L"") << path;
    }
    EXPECT_EQ(SplitOf(nullptr).root, nullptr);
}

TEST(ParseRegPath, KeepsTheSubkeyUnchanged) {
    HKEY root = nullptr;
    std::wstring subKey;
    ASSERT_EQ(ParseRegPath(L"hkey_local_machine\\Software\\X\\", root, subKey), 1);
    EXPECT_EQ(root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(subKey, L"Software\\X\\");

    ASSERT_EQ(ParseRegPath(L"HKEY_CURRENT_CONFIG\\System", root, subKey), 1);
    EXPECT_EQ(root, HKEY_CURRENT_CONFIG);
    ASSERT_EQ(ParseRegPath(L"HKEY_USERS\\", root, subKey), 1);
    EXPECT_EQ(root, HKEY_USERS);
    EXPECT_EQ(subKey, L"");
}

TEST(ParseRegPath, FailsWithoutTheBackslashAndLeavesItsOutputsUntouched) {
    for (const wchar_t* path : {L"HKEY_LOCAL_MACHINE", L"HKLM\\Software", L"Software\\X",
                                L"HKEY_DYN_DATA\\X", L"HKEY_LOCAL_MACHIN\\X", L"", L"HKEY_"}) {
        HKEY root = HKEY_USERS;
        std::wstring subKey = L"untouched";
        EXPECT_EQ(ParseRegPath(path, root, subKey), 0) << path;
        EXPECT_EQ(root, HKEY_USERS) << path;
        EXPECT_EQ(subKey, L"untouched") << path;
    }
}

}  // namespace
