// Reading, writing and querying values.
#include <tarvox/registry.h>

#include "foundation/registry_walk.h"
#include "tests/support/child_process.h"
#include "tests/support/sandbox_fixture.h"

#include <cstring>
#include <map>

namespace {

using namespace tarvox::test;

constexpr wchar_t kKey[] = L"HKEY_LOCAL_MACHINE\\Software\\Tarvox\\Values";

class RegistryValues : public SandboxTest {
protected:
    void SetUp() override {
        registry.Apply({
            Sz(L"HKLM\\Software\\Tarvox\\Values", L"Text", L"C:\\Program Files\\Tarvox"),
            Sz(L"HKLM\\Software\\Tarvox\\Values", L"", L"the default"),
            ExpandSz(L"HKLM\\Software\\Tarvox\\Values", L"Expand", L"%TARVOX_TEST_ROOT%\\Sub"),
            Dword(L"HKLM\\Software\\Tarvox\\Values", L"Ones", 0xFFFFFFFF),
            Dword(L"HKLM\\Software\\Tarvox\\Values", L"Count", 42),
            Qword(L"HKLM\\Software\\Tarvox\\Values", L"Wide", 7),
            Binary(L"HKLM\\Software\\Tarvox\\Values", L"Blob", {1, 2, 3, 4}),
            MultiSz(L"HKLM\\Software\\Tarvox\\Values", L"List", {L"a", L"b"}),
            // Stored without a terminator, as some installers write strings.
            Raw(L"HKLM\\Software\\Tarvox\\Values", L"Unterminated", REG_SZ,
                {'a', 0, 'b', 0, 'c', 0}),
        });
        environment.Set(L"TARVOX_TEST_ROOT", L"D:\\Root");
    }

    std::wstring Read(const wchar_t* name, int& result) {
        std::wstring text = L"stale";
        result = GetRegValue(text, kKey, name, 0);
        return text;
    }
};

TEST_F(RegistryValues, ReadsStringsExpandedStringsAndDwordsAsText) {
    int result = 0;
    EXPECT_EQ(Read(L"Text", result), L"C:\\Program Files\\Tarvox");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Read(L"Expand", result), L"D:\\Root\\Sub");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Read(L"Count", result), L"42");
    EXPECT_EQ(Read(L"Ones", result), L"-1");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Read(L"Unterminated", result), L"abc");
    EXPECT_EQ(result, 1);
}

TEST_F(RegistryValues, AnEmptyOrNullValueNameReadsTheDefaultValue) {
    int result = 0;
    EXPECT_EQ(Read(L"", result), L"the default");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Read(nullptr, result), L"the default");
}

TEST_F(RegistryValues, OtherTypesMissingValuesAndBadPathsGiveAnEmptyTextAndFailure) {
    for (const wchar_t* name : {L"Blob", L"Wide", L"List", L"Missing"}) {
        int result = -1;
        EXPECT_EQ(Read(name, result), L"") << name;
        EXPECT_EQ(result, 0) << name;
    }
    std::wstring text = L"stale";
    EXPECT_EQ(GetRegValue(text, L"HKLM\\Software\\Tarvox\\Values", L"Text", 0), 0);
    EXPECT_EQ(text, L"");
    EXPECT_EQ(GetRegValue(text, L"", L"Text", 0), 0);
    EXPECT_EQ(GetRegValue(text, nullptr, L"Text", 0), 0);
    EXPECT_EQ(GetRegValue(text, L"HKEY_LOCAL_MACHINE\\Software\\Nothing", L"Text", 0), 0);
    EXPECT_EQ(ReadRegValueString(text, nullptr, L"Text"), 0);
}

TEST_F(RegistryValues, ReadsValuesFarLongerThanAPathWhole) {
    const std::wstring big(200000, L'x');
    registry.Apply({Sz(L"HKLM\\Software\\Tarvox\\Values", L"Big", big)});
    int result = 0;
    EXPECT_EQ(Read(L"Big", result), big);
    EXPECT_EQ(result, 1);
}

TEST_F(RegistryValues, TheWalkerHandsOutEveryValueWholeAndStopsWhenTold) {
    const std::wstring big(20000, L'x');  // beyond the walker's first room for data
    registry.Apply({Sz(L"HKLM\\Software\\Tarvox\\Values", L"Big", big)});
    CRegKeyHolder key(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\Values", 0, 0);
    std::map<std::wstring, std::wstring> texts;
    tarvox::WalkRegValues(key, tarvox::OnUnreadable::End, [&](const tarvox::RegValueItem& value) {
        texts[std::wstring(value.name)] = tarvox::StringData(value);
        return tarvox::WalkStep::Next;
    });
    EXPECT_EQ(texts.size(), 10u);
    const struct {
        const wchar_t* name;
        std::wstring text;  // the string data up to the first terminator
    } rows[] = {{L"Big", big},
                {L"Text", L"C:\\Program Files\\Tarvox"},
                {L"", L"the default"},
                {L"Expand", L"%TARVOX_TEST_ROOT%\\Sub"},
                {L"Unterminated", L"abc"},
                {L"List", L"a"}};
    for (const auto& row : rows) EXPECT_EQ(texts[row.name], row.text) << row.name;

    int visited = 0;
    tarvox::WalkRegValues(key, tarvox::OnUnreadable::End, [&](const tarvox::RegValueItem&) {
        ++visited;
        return tarvox::WalkStep::Stop;
    });
    EXPECT_EQ(visited, 1);
}

class WrittenValues : public SandboxTest {
protected:
    void SetUp() override {
        key.Attach(OpenRegKey(HKEY_CURRENT_USER, L"Software\\Tarvox\\Written", 1, 0));
        ASSERT_NE(key.Get(), nullptr);
    }
    DWORD StoredBytes(const wchar_t* name, DWORD& type) {
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueExW(key, name, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        return size;
    }
    CRegKeyHolder key;
};

TEST_F(WrittenValues, StringsAreWrittenWithTheirTerminatorWhateverCountIsGiven) {
    const wchar_t* text = L"abc";
    ASSERT_EQ(SetRegValue(key, L"S", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 1),
              ERROR_SUCCESS);
    ASSERT_EQ(SetRegValue(key, L"E", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(text), 500),
              ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(StoredBytes(L"S", type), 8u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(StoredBytes(L"E", type), 8u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
}

TEST_F(WrittenValues, MultiStringCountsAreCharactersOtherCountsBytes) {
    const wchar_t list[] = L"one\0two\0";
    ASSERT_EQ(SetRegValue(key, L"M", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list), 9),
              ERROR_SUCCESS);
    const DWORD value = 0x01020304;
    ASSERT_EQ(SetRegValue(key, L"D", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4),
              ERROR_SUCCESS);
    const BYTE blob[] = {9, 8, 7, 6, 5};
    ASSERT_EQ(SetRegValue(key, L"B", 0, REG_BINARY, blob, 3), ERROR_SUCCESS);
    ASSERT_EQ(SetRegValue(key, L"N", 0, REG_NONE, blob, 5), ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(StoredBytes(L"M", type), 18u);
    EXPECT_EQ(StoredBytes(L"D", type), 4u);
    EXPECT_EQ(StoredBytes(L"B", type), 3u);
    EXPECT_EQ(StoredBytes(L"N", type), 5u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(SetRegValue(nullptr, L"X", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 0),
              ERROR_INVALID_HANDLE);
}

TEST_F(WrittenValues, QueryTerminatesStringDataInsideTheBuffer) {
    ASSERT_EQ(RegSetValueExW(key, L"S", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"ab"), 6),
              ERROR_SUCCESS);
    BYTE buffer[16];
    std::memset(buffer, 0xCC, sizeof(buffer));
    DWORD size = sizeof(buffer);
    DWORD type = 0;
    ASSERT_EQ(QueryRegValue(key, L"S", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(buffer)), L"ab");
    EXPECT_EQ(buffer[8], 0xCC);  // the added terminator takes bytes 6 and 7, nothing beyond
}

TEST_F(WrittenValues, QueryTerminatesStringsStoredWithoutTerminator) {
    // Some installers write strings without their terminator.
    const BYTE raw[] = {'a', 0, 'b', 0};
    ASSERT_EQ(RegSetValueExW(key, L"S", 0, REG_SZ, raw, sizeof(raw)), ERROR_SUCCESS);
    BYTE buffer[16];
    std::memset(buffer, 0xCC, sizeof(buffer));
    DWORD size = sizeof(buffer);
    ASSERT_EQ(QueryRegValue(key, L"S", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(buffer)), L"ab");
    EXPECT_LE(size, 6u);
}

TEST_F(WrittenValues, QueryTerminatesInsideTheBufferAndReportsTheSizeNeeded) {
    ASSERT_EQ(RegSetValueExW(key, L"S", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"abcd"), 10),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"abcd"), 8),
              ERROR_SUCCESS);
    struct {
        const wchar_t* name;
        DWORD bufferBytes;
        LSTATUS status;
        DWORD size;  // 0: the size the system gives
    } const cases[] = {
        {L"S", 10, ERROR_SUCCESS, 10},   // the stored terminator fills the buffer: no room needed
        {L"S", 8, ERROR_MORE_DATA, 10},  // as the system reports it
        {L"Bare", 8, ERROR_MORE_DATA, 10},  // the data fits, the terminator it lacks does not
        {L"Bare", 10, ERROR_SUCCESS, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " in " << c.bufferBytes);
        BYTE buffer[16];
        DWORD size = c.bufferBytes;
        RegQueryValueExW(key, c.name, nullptr, nullptr, buffer, &size);
        const DWORD expectedSize = c.size != 0 ? c.size : size;
        std::memset(buffer, 0xCC, sizeof(buffer));
        size = c.bufferBytes;
        EXPECT_EQ(QueryRegValue(key, c.name, nullptr, nullptr, buffer, &size), c.status);
        EXPECT_EQ(size, expectedSize);
        EXPECT_EQ(buffer[c.bufferBytes], 0xCC);  // nothing written past the buffer
        if (c.status == ERROR_SUCCESS) {
            EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(buffer)), L"abcd");
        }
    }
    // A size query passes through.
    DWORD size = 0;
    EXPECT_EQ(QueryRegValue(key, L"S", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 10u);
}

TEST_F(WrittenValues, QueryPassesOtherTypesAndErrorsThrough) {
    const DWORD value = 77;
    ASSERT_EQ(RegSetValueExW(key, L"D", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4),
              ERROR_SUCCESS);
    const BYTE blob[] = {1, 2, 3};
    ASSERT_EQ(RegSetValueExW(key, L"B", 0, REG_BINARY, blob, 3), ERROR_SUCCESS);
    struct {
        const wchar_t* name;
        DWORD bufferBytes;
        DWORD type;
    } const cases[] = {{L"D", 4, REG_DWORD},  {L"D", 2, REG_DWORD},  {L"D", 6, REG_DWORD},
                       {L"B", 3, REG_BINARY}, {L"B", 2, REG_BINARY}, {L"Missing", 4, REG_NONE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << tarvox::test::Utf8(c.name) << " in " << c.bufferBytes);
        // The same call straight to the system gives the expected answer.
        BYTE expected[8];
        std::memset(expected, 0xCC, sizeof(expected));
        DWORD expectedSize = c.bufferBytes;
        DWORD expectedType = 0;
        const LSTATUS expectedStatus =
            RegQueryValueExW(key, c.name, nullptr, &expectedType, expected, &expectedSize);
        BYTE buffer[8];
        std::memset(buffer, 0xCC, sizeof(buffer));
        DWORD size = c.bufferBytes;
        DWORD type = 0;
        EXPECT_EQ(QueryRegValue(key, c.name, nullptr, &type, buffer, &size), expectedStatus);
        EXPECT_EQ(size, expectedSize);
        if (expectedStatus == ERROR_SUCCESS) {
            EXPECT_EQ(type, c.type);
            EXPECT_EQ(std::memcmp(buffer, expected, sizeof(buffer)), 0);
        }
    }
    DWORD read = 0;
    DWORD size = 4;
    ASSERT_EQ(QueryRegValue(key, L"D", nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 77u);
}

// The expansion table of REG_EXPAND_SZ data is built once per process, so these run in a
// child process whose environment holds the variable before the first expansion.
class ExpandedQuery : public SandboxTest {
protected:
    ChildResult Query(DWORD bufferBytes) {
        ChildOptions options;
        options.sandboxKey = registry.ScratchKey();
        options.args = {std::to_wstring(bufferBytes)};
        return RunChildScenario("QueryExpandedValue", options);
    }
    void SetUp() override {
        environment.Set(L"TARVOX_LONG_FOLDER", L"C:\\Tarvox Test\\A Folder With A Long Name");
        registry.Apply(
            {ExpandSz(L"HKLM\\Software\\Tarvox\\Expand", L"Known", L"%tarvox_long_folder%\\Sub"),
             ExpandSz(L"HKLM\\Software\\Tarvox\\Expand", L"Unknown",
                      L"%NO_SUCH_TARVOX_VARIABLE%\\x"),
             ExpandSz(L"HKLM\\Software\\Tarvox\\Expand", L"Lone", L"50%\\x"),
             ExpandSz(L"HKLM\\Software\\Tarvox\\Expand", L"Empty", L"")});
    }
};

TEST_F(ExpandedQuery, ExpandsPathVariablesAndDeletesUnknownOnes) {
    const ChildResult child = Query(512);
    ASSERT_TRUE(child.Passed()) << child.output;
    EXPECT_EQ(child.Value("Known.status"), "0");
    EXPECT_EQ(child.Value("Known.text"), "C:\\Tarvox Test\\A Folder With A Long Name\\Sub");
    EXPECT_EQ(child.Value("Known.size"), std::to_string((44 + 1) * 2));
    EXPECT_EQ(child.Value("Unknown.text"), "\\x");
    EXPECT_EQ(child.Value("Lone.text"), "50%\\x");
    EXPECT_EQ(child.Value("Empty.status"), "0");
    EXPECT_EQ(child.Value("Empty.text"), "");
}

TEST_F(ExpandedQuery, AnExpansionThatDoesNotFitGivesOverflowAndKeepsTheStoredText) {
    // "%tarvox_long_folder%\Sub" is 24 characters (50 bytes with terminator) and fits; its
    // expansion of 44 characters needs 90 bytes.
    const ChildResult child = Query(60);
    ASSERT_TRUE(child.Passed()) << child.output;
    EXPECT_EQ(child.Value("Known.status"), "111");
    EXPECT_EQ(child.Value("Known.text"), "%tarvox_long_folder%\\Sub");
    EXPECT_EQ(child.Value("Known.size"), "50");
    // Exactly the bytes needed is enough.
    const ChildResult exact = Query(90);
    EXPECT_EQ(exact.Value("Known.status"), "0");
    EXPECT_EQ(exact.Value("Known.size"), "90");
}

}  // namespace
