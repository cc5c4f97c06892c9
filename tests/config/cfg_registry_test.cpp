// The registry form of configurations: key trees read into sections and written back, and
// registry export files loaded as configurations.
#include <tarvox/config.h>
#include <tarvox/registry.h>

#include "config/cfg_registry.h"
#include "tests/support/sandbox_fixture.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <algorithm>

namespace {

using namespace tarvox::test;
using Lines = std::vector<std::wstring>;

constexpr wchar_t kKey[] = L"HKEY_CURRENT_USER\\Software\\Tarvox\\Cfg";

class CfgRegistryTest : public SandboxTest {
protected:
    // The raw value as stored.
    static bool Stored(const wchar_t* subKey, const wchar_t* name, DWORD& type,
                       std::vector<BYTE>& data) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        data.assign(size, 0);
        if (status == ERROR_SUCCESS)
            status = RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }
    static std::wstring Text(const std::vector<BYTE>& data) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }
};

TEST_F(CfgRegistryTest, KeyTreeReadsIntoSectionsWithEveryValueType) {
    registry.Apply({Sz(L"HKCU\\Software\\Tarvox\\Cfg", L"a", L"x"),
                    Dword(L"HKCU\\Software\\Tarvox\\Cfg", L"b", 0xFFFFFFFF),
                    Sz(L"HKCU\\Software\\Tarvox\\Cfg", L"", L"dflt"),
                    Sz(L"HKCU\\Software\\Tarvox\\Cfg\\S", L"c", L"y"),
                    ExpandSz(L"HKCU\\Software\\Tarvox\\Cfg\\S", L"e", L"%TEMP%\\x"),
                    MultiSz(L"HKCU\\Software\\Tarvox\\Cfg\\S", L"m", {L"p", L"q", L"r"}),
                    Binary(L"HKCU\\Software\\Tarvox\\Cfg\\S", L"bin", {0x0A, 0xFF}),
                    Qword(L"HKCU\\Software\\Tarvox\\Cfg\\S", L"q", 0xFFFFFFFFFFFFFFFEull),
                    Raw(L"HKCU\\Software\\Tarvox\\Cfg\\S", L"none", REG_NONE, {1}),
                    Key(L"HKCU\\Software\\Tarvox\\Cfg\\S\\Deep"),
                    Sz(L"HKCU\\Software\\Tarvox\\Cfg\\T", L"t", L"z")});
    CCfgReader reader(kKey);
    ASSERT_EQ(reader.IsInit(), 1);
    EXPECT_EQ(reader.Get_m_IsRegistry(), 1);
    const Lines& data = reader.Get_m_Data();
    // Each key before the keys below it, each block after an empty line.
    const auto at = [&](const wchar_t* line) {
        return std::find(data.begin(), data.end(), line) - data.begin();
    };
    EXPECT_EQ(data.front(), L"[\\]");
    EXPECT_LT(at(L"a=x"), at(L"[S]"));
    EXPECT_LT(at(L"b=-1"), at(L"[S]"));
    EXPECT_LT(at(L"RegDefaultValue=dflt"), at(L"[S]"));
    EXPECT_EQ(data[at(L"[S]") - 1], L"");
    EXPECT_LT(at(L"[S]"), at(L"[S\\Deep]"));
    EXPECT_EQ(data[at(L"[S\\Deep]") - 1], L"");
    EXPECT_LT(at(L"[S\\Deep]"), at(L"[T]"));
    EXPECT_EQ(data.size(), 18u);

    std::wstring text;
    const auto value = [&](const wchar_t* section, const wchar_t* name) {
        text = L"<none>";
        reader.GetValue(text, section, name, nullptr);
        return text;
    };
    EXPECT_EQ(value(L"S", L"e"), L"%TEMP%\\x");
    EXPECT_EQ(value(L"S", L"m"), L"p");
    EXPECT_EQ(value(L"S", L"m_ArMember_1"), L"q");
    EXPECT_EQ(value(L"S", L"m_ArMember_2"), L"r");
    EXPECT_EQ(value(L"S", L"bin"), L"0aff");
    EXPECT_EQ(value(L"S", L"q"), L"-2");
    EXPECT_EQ(value(L"S", L"none"), L"<none>");
    EXPECT_EQ(value(L"T", L"t"), L"z");
    EXPECT_EQ(reader.GetValueType(L"\\", L"b"), REG_DWORD);
    EXPECT_EQ(reader.GetValueType(L"S", L"bin"), REG_BINARY);
    EXPECT_EQ(reader.GetValueType(L"S", L"e"), REG_EXPAND_SZ);
    EXPECT_EQ(reader.GetValueType(L"S", L"m"), REG_MULTI_SZ);
    EXPECT_EQ(reader.GetValueType(L"S", L"q"), REG_QWORD);
}

TEST_F(CfgRegistryTest, ADefaultValueIsSkippedOnlyWhenItsDataIsEmpty) {
    const std::wstring base = L"HKCU\\Software\\Tarvox\\Cfg\\";
    struct {
        const wchar_t* section;
        RegEntry entry;
        const wchar_t* line;  // null: no line
    } const cases[] = {
        {L"A", Sz(base + L"A", L"", L"\u0100bc"),
         L"\u0100bc"},  // first character's low byte is zero
        {L"B", Sz(base + L"B", L"", L"\u4E00"), L"\u4E00"},
        {L"C", Sz(base + L"C", L"", L""), nullptr},
        {L"D", ExpandSz(base + L"D", L"", L"\u0200x"), L"\u0200x"},
        {L"E", MultiSz(base + L"E", L"", {L"\u0300", L"y"}), L"\u0300"},
        {L"F", Dword(base + L"F", L"", 0x10000), L"65536"},  // first character zero, value not
        {L"G", Dword(base + L"G", L"", 0), nullptr},
        {L"H", Binary(base + L"H", L"", {0x00, 0x01}), L"0001"},
        {L"I", Binary(base + L"I", L"", {0x00, 0x00, 0x05}), nullptr},
        {L"J", Qword(base + L"J", L"", 0x100000000ull), L"4294967296"},
        {L"K", Raw(base + L"K", L"", REG_SZ, {0x00, 0x01}), L"\u0100"},
    };
    std::vector<RegEntry> entries;
    for (const auto& c : cases) entries.push_back(c.entry);
    registry.Apply(entries);
    CCfgReader reader(kKey);
    ASSERT_EQ(reader.IsInit(), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.section);
        std::wstring text = L"<none>";
        reader.GetValue(text, c.section, L"RegDefaultValue", nullptr);
        EXPECT_EQ(text, c.line != nullptr ? c.line : L"<none>");
    }
}

TEST_F(CfgRegistryTest, SectionsAreWrittenBackWithTheirRecordedTypes) {
    registry.Apply({Dword(L"HKCU\\Software\\Tarvox\\Cfg", L"b", 7),
                    Sz(L"HKCU\\Software\\Tarvox\\Cfg", L"", L"dflt"),
                    MultiSz(L"HKCU\\Software\\Tarvox\\Cfg\\S", L"m", {L"p", L"q"}),
                    Binary(L"HKCU\\Software\\Tarvox\\Cfg\\S", L"bin", {0x0A, 0xFF}),
                    ExpandSz(L"HKCU\\Software\\Tarvox\\Cfg\\S", L"e", L"%X%"),
                    Dword(L"HKCU\\Software\\Tarvox\\Cfg\\S", L"d", 1)});
    {
        CCfgReader reader(kKey);
        ASSERT_EQ(reader.IsInit(), 1);
        // A value the configuration does not hold stays in the registry.
        registry.Apply({Sz(L"HKCU\\Software\\Tarvox\\Cfg", L"gone", L"stays")});
        EXPECT_EQ(reader.SetValue(L"\\", L"b", L"-3"), 1);
        EXPECT_EQ(reader.SetValue(L"\\", L"RegDefaultValue", L"new"), 1);
        EXPECT_EQ(reader.SetValue(L"S", L"d", L""), 1);
        EXPECT_EQ(reader.SetValue(L"New\\Sub", L"n", L"v"), 1);
        EXPECT_EQ(reader.Save(), 1);
        EXPECT_EQ(reader.Get_m_HasChanged(), 1);  // the registry form leaves the mark
        reader.Get_m_HasChanged() = 0;
    }
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg", L"b", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(*reinterpret_cast<const LONG*>(data.data()), -3);
    ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg", nullptr, type, data));
    EXPECT_EQ(Text(data), L"new");
    ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg", L"gone", type, data));
    ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg\\S", L"m", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Text(data), L"p");
    ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg\\S", L"m_ArMember_1", type, data));
    EXPECT_EQ(Text(data), L"q");
    ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg\\S", L"bin", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data, (std::vector<BYTE>{0x0A, 0xFF}));
    ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg\\S", L"e", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(Text(data), L"%X%");
    // An empty value is an empty REG_SZ whatever type was recorded.
    ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg\\S", L"d", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Text(data), L"");
    ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg\\New\\Sub", L"n", type, data));
    EXPECT_EQ(Text(data), L"v");
}

TEST_F(CfgRegistryTest, AFailedRegistryWriteKeepsTheChangeForTheNextSave) {
    struct Case {
        const char* label;
        DWORD option;           // how the configuration's key is created
        const wchar_t* access;  // its security descriptor, or null for the default
        int failedResult;
    };
    const Case cases[] = {
        // Values and subkeys refused: nothing can be written.
        {"refused", REG_OPTION_NON_VOLATILE, L"D:(D;;0x6;;;WD)(A;;KA;;;WD)", 0},
        // A volatile key takes values but no lasting subkeys: section S cannot be written.
        {"volatile", REG_OPTION_VOLATILE, nullptr, 1},
    };
    constexpr wchar_t kSubKey[] = L"Software\\Tarvox\\Cfg";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RegDeleteTreeW(HKEY_CURRENT_USER, kSubKey);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSubKey, 0, nullptr, c.option, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (c.access != nullptr) {
            ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
                c.access, SDDL_REVISION_1, &descriptor, nullptr));
            EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
            LocalFree(descriptor);
        }
        RegCloseKey(key);

        CCfgReader reader(kKey);
        ASSERT_EQ(reader.IsInit(), 1);
        const std::wstring loaded = reader.Get_m_Original();
        reader.SetValue(L"\\", L"a", L"1");
        reader.SetValue(L"S", L"b", L"2");
        EXPECT_EQ(reader.Save(), c.failedResult);
        EXPECT_EQ(reader.Get_m_Original(), loaded);
        // The next save tries again instead of taking the text as saved.
        EXPECT_EQ(reader.Save(), c.failedResult);
        DWORD type = 0;
        std::vector<BYTE> data;
        EXPECT_FALSE(Stored(L"Software\\Tarvox\\Cfg\\S", L"b", type, data));

        // Once the key can be written, the same reader writes the whole change.
        ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, kSubKey), ERROR_SUCCESS);
        EXPECT_EQ(reader.Save(), 1);
        EXPECT_NE(reader.Get_m_Original(), loaded);
        ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg", L"a", type, data));
        EXPECT_EQ(Text(data), L"1");
        ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg\\S", L"b", type, data));
        EXPECT_EQ(Text(data), L"2");
        reader.Get_m_HasChanged() = 0;
    }
}

TEST_F(CfgRegistryTest, MissingKeyLoadsEmptyAndSavingCreatesIt) {
    {
        CCfgReader reader(kKey);
        ASSERT_EQ(reader.IsInit(), 1);
        EXPECT_TRUE(reader.Get_m_Data().empty());
        EXPECT_EQ(reader.SetValue(L"\\", L"v", L"1"), 1);
    }
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(Stored(L"Software\\Tarvox\\Cfg", L"v", type, data));
    EXPECT_EQ(Text(data), L"1");
    // An emptied registry configuration leaves its key as it was.
    {
        CCfgReader reader(kKey);
        reader.GetDataArray().clear();
        reader.Get_m_HasChanged() = 1;
    }
    EXPECT_TRUE(Stored(L"Software\\Tarvox\\Cfg", L"v", type, data));
}

TEST_F(CfgRegistryTest, RegeditExportFileLoadsAsSections) {
    const std::wstring path =
        temp.WriteFile(L"export.reg",
                       "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n; note\r\n"
                       "\"Path\"=hex(2):41,\\\r\n  42,00\r\n\"Name\"=\"v\"\r\n");
    CCfgReader reader(path.c_str());
    ASSERT_EQ(reader.IsInit(), 1);
    std::wstring text;
    EXPECT_EQ(reader.GetValue(text, L"HKEY_CURRENT_USER\\Software\\X", L"\"Path\"", nullptr), 1);
    EXPECT_EQ(text, L"SZ_EX:\"AB\"");
    EXPECT_EQ(reader.Get_m_Original(),
              L"REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n\"Path\"=SZ_EX:\"AB\"\r\n"
              L"\"Name\"=\"v\"\r\n");
}

}  // namespace
