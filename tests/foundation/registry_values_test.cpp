// Reading, writing and querying values.
#include <tarvox/registry.h>

#include "foundation/registry_walk.h"
#include "tests/support/sandbox_fixture.h"

#include <cstring>
#include <map>

namespace {

using namespace tarvox::test;

const std::wstring kValues = L"HKLM\\Software\\Tarvox\\Values";

class RegistryValues : public SandboxTest {
protected:
    void SetUp() override {
        const std::wstring& k = kValues;
        registry.Apply({Sz(k, L"Text", L"C:\\Program Files\\Tarvox"), Sz(k, L"", L"the default"),
                        ExpandSz(k, L"Expand", L"%TARVOX_TEST_ROOT%\\Sub"),
                        Dword(k, L"Ones", 0xFFFFFFFF), Dword(k, L"Count", 42), Qword(k, L"Wide", 7),
                        Binary(k, L"Blob", {1, 2, 3, 4}), MultiSz(k, L"List", {L"a", L"b"}),
                        // Stored without a terminator, as some installers write strings.
                        Raw(k, L"Unterminated", REG_SZ, {'a', 0, 'b', 0, 'c', 0})});
        environment.Set(L"TARVOX_TEST_ROOT", L"D:\\Root");
    }
};

TEST_F(RegistryValues, ReadsStringsExpandedStringsAndDwordsAsTextAndValuesFarLongerThanAPath) {
    const std::wstring big(200000, L'x');
    registry.Apply({Sz(kValues, L"Big", big)});
    const struct {
        const wchar_t* name;
        std::wstring text;
        int result;
    } rows[] = {{L"Text", L"C:\\Program Files\\Tarvox", 1},
                {L"Expand", L"D:\\Root\\Sub", 1},
                {L"Count", L"42", 1},
                {L"Ones", L"-1", 1},
                {L"Unterminated", L"abc", 1},
                {L"", L"the default", 1},  // an empty or null name reads the default value
                {nullptr, L"the default", 1},
                {L"Big", big, 1},  // read whole
                // Other types and missing values give an empty text and failure.
                {L"Blob", L"", 0},
                {L"Missing", L"", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name ? Utf8(row.name) : "null");
        std::wstring text = L"stale";
        EXPECT_EQ(GetRegValue(text, L"HKEY_LOCAL_MACHINE\\Software\\Tarvox\\Values", row.name, 0),
                  row.result);
        EXPECT_EQ(text, row.text);
    }
    std::wstring text;
    // A short root name is refused like an empty, a null or a missing path.
    for (const wchar_t* path : {kValues.c_str(), L"", static_cast<const wchar_t*>(nullptr),
                                L"HKEY_LOCAL_MACHINE\\Software\\Nothing"})
        EXPECT_EQ(GetRegValue(text, path, L"Text", 0), 0);
    EXPECT_EQ(ReadRegValueString(text, nullptr, L"Text"), 0);
}

TEST_F(RegistryValues, TheWalkerHandsOutEveryValueWholeAndStopsWhenTold) {
    const std::wstring big(20000, L'x');  // beyond the walker's first room for data
    registry.Apply({Sz(kValues, L"Big", big)});
    CRegKeyHolder key(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\Values", 0, 0);
    std::map<std::wstring, std::wstring> texts;
    int visited = 0;
    for (const auto step : {tarvox::WalkStep::Next, tarvox::WalkStep::Stop}) {
        tarvox::WalkRegValues(key, tarvox::OnUnreadable::End, [&](const auto& value) {
            texts[std::wstring(value.name)] = tarvox::StringData(value);
            ++visited;
            return step;
        });
    }
    EXPECT_EQ(visited, 11);  // ten values, then one before the stop
    EXPECT_EQ(texts.size(), 10u);
    const std::pair<const wchar_t*, std::wstring> rows[] = {
        {L"Big", big},   {L"Text", L"C:\\Program Files\\Tarvox"}, {L"", L"the default"},
        {L"List", L"a"}, {L"Expand", L"%TARVOX_TEST_ROOT%\\Sub"}, {L"Unterminated", L"abc"}};
    for (const auto& [name, text] : rows) EXPECT_EQ(texts[name], text) << Utf8(name);
}

class WrittenValues : public SandboxTest {
protected:
    void SetUp() override {
        key.Attach(OpenRegKey(HKEY_CURRENT_USER, L"Software\\Tarvox\\Written", 1, 0));
        ASSERT_NE(key.Get(), nullptr);
    }
    void Store(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes), 0);
    }
    CRegKeyHolder key;
};

// Strings are written with their terminator whatever count is given; multi-string counts are
// characters, other counts bytes.
TEST_F(WrittenValues, SetWritesTheSizeEachTypeNeeds) {
    const DWORD number = 0x01020304;
    const BYTE blob[] = {9, 8, 7, 6, 5};
    const struct {
        const wchar_t* name;
        DWORD type;
        const void* data;
        DWORD count, stored;
    } rows[] = {{L"S", REG_SZ, L"abc", 1, 8},
                {L"E", REG_EXPAND_SZ, L"abc", 500, 8},
                {L"M", REG_MULTI_SZ, L"one\0two\0", 9, 18},
                {L"D", REG_DWORD, &number, 4, 4},
                {L"B", REG_BINARY, blob, 3, 3}};
    for (const auto& row : rows) {
        ASSERT_EQ(
            SetRegValue(key, row.name, 0, row.type, static_cast<const BYTE*>(row.data), row.count),
            ERROR_SUCCESS);
        DWORD type = 0, size = 0;
        EXPECT_EQ(RegQueryValueExW(key, row.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(size, row.stored) << Utf8(row.name);
        EXPECT_EQ(type, row.type) << Utf8(row.name);
    }
    EXPECT_EQ(SetRegValue(nullptr, L"X", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 0),
              ERROR_INVALID_HANDLE);
}

// String data is terminated inside the caller's buffer, also when it was stored without its
// terminator (as some installers write it), and nothing is written past the buffer; other types
// and errors pass through as the system gives them.
TEST_F(WrittenValues, QueryTerminatesInsideTheBufferAndReportsTheSizeNeeded) {
    const DWORD number = 77;
    const BYTE blob[] = {1, 2, 3};
    Store(L"S", REG_SZ, L"abcd", 10);
    Store(L"Bare", REG_SZ, L"abcd", 8);
    Store(L"D", REG_DWORD, &number, 4);
    Store(L"B", REG_BINARY, blob, 3);
    struct {
        const wchar_t* name;
        DWORD bufferBytes, untouchedFrom;
        DWORD moreData;  // not 0: the data fits, the terminator it lacks does not; the size needed
    } const cases[] = {{L"S", 16, 12, 0},  // the added terminator, nothing beyond
                       {L"S", 10, 10, 0},  // the stored terminator fills the buffer
                       {L"S", 8, 8, 0},      {L"Bare", 8, 8, 10}, {L"Bare", 10, 10, 0},
                       {L"Bare", 16, 16, 0}, {L"D", 4, 4, 0},     {L"D", 2, 2, 0},
                       {L"D", 6, 6, 0},      {L"B", 3, 3, 0},     {L"B", 2, 2, 0},
                       {L"Missing", 4, 4, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << Utf8(c.name) << " in " << c.bufferBytes);
        // The same call straight to the system gives the expected answer.
        BYTE expected[24], buffer[24];
        std::memset(expected, 0xCC, sizeof(expected));
        std::memset(buffer, 0xCC, sizeof(buffer));
        DWORD expectedSize = c.bufferBytes, size = c.bufferBytes, expectedType = 0, type = 0;
        const LSTATUS status =
            RegQueryValueExW(key, c.name, nullptr, &expectedType, expected, &expectedSize);
        const bool withType = std::wstring_view(c.name) != L"Bare";
        EXPECT_EQ(QueryRegValue(key, c.name, nullptr, withType ? &type : nullptr, buffer, &size),
                  c.moreData ? ERROR_MORE_DATA : status);
        EXPECT_EQ(size, c.moreData ? c.moreData : expectedSize);
        EXPECT_EQ(buffer[c.untouchedFrom], 0xCC);
        if (status != ERROR_SUCCESS || c.moreData) continue;
        EXPECT_EQ(std::memcmp(buffer, expected, expectedType == REG_SZ ? size : sizeof(buffer)), 0);
        EXPECT_TRUE(!withType || type == expectedType) << type;
        if (expectedType == REG_SZ) {
            EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(buffer)), L"abcd");
        }
    }
    DWORD read = 0, size = 4;
    ASSERT_EQ(QueryRegValue(key, L"D", nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 77u);
    size = 0;  // a size query passes through
    EXPECT_EQ(QueryRegValue(key, L"S", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 10u);
}

// The expansion table of REG_EXPAND_SZ data is built once per process, so this runs in a child
// process whose environment holds the variable before the first expansion.
TEST_F(RegistryValues, ExpandedQueryExpandsPathVariablesOrGivesOverflowKeepingTheStoredText) {
    environment.Set(L"TARVOX_LONG_FOLDER", L"C:\\Tarvox Test\\A Folder With A Long Name");
    const std::wstring k = L"HKLM\\Software\\Tarvox\\Expand";
    registry.Apply({ExpandSz(k, L"Known", L"%tarvox_long_folder%\\Sub"),
                    ExpandSz(k, L"Unknown", L"%NO_SUCH_TARVOX_VARIABLE%\\x"),
                    ExpandSz(k, L"Lone", L"50%\\x"), ExpandSz(k, L"Empty", L"")});
    const std::string expanded = "C:\\Tarvox Test\\A Folder With A Long Name\\Sub";  // 44
    // "%tarvox_long_folder%\Sub" takes 50 bytes with its terminator, its expansion 90.
    const struct {
        DWORD bufferBytes;
        const char *status, *text, *size;
    } rows[] = {{512, "0", expanded.c_str(), "90"},
                {60, "111", "%tarvox_long_folder%\\Sub", "50"},
                {90, "0", expanded.c_str(), "90"}};  // exactly the bytes needed is enough
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bufferBytes);
        const ChildResult child =
            RunSandboxed("QueryExpandedValue", {.args = {std::to_wstring(row.bufferBytes)}});
        EXPECT_EQ(child.Value("Known.status"), row.status);
        EXPECT_EQ(child.Value("Known.text"), row.text);
        EXPECT_EQ(child.Value("Known.size"), row.size);
        EXPECT_EQ(child.Value("Unknown.text"), "\\x");  // unknown variables are deleted
        EXPECT_EQ(child.Value("Lone.text"), "50%\\x");
        EXPECT_EQ(child.Value("Empty.status"), "0");
        EXPECT_EQ(child.Value("Empty.text"), "");
        EXPECT_EQ(child.output.find("overrun"), std::string::npos) << child.output;
    }
}

}  // namespace
