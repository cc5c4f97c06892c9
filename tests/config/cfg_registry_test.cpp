// The registry form of configurations: key trees read into sections and written back, and
// registry export files loaded as configurations.
#include <tarvox/config.h>

#include "foundation/unique_handle.h"
#include "tests/support/sandbox_fixture.h"

#include <sddl.h>

#include <algorithm>

namespace {

using namespace tarvox::test;
using Lines = std::vector<std::wstring>;

constexpr wchar_t kKey[] = L"HKEY_CURRENT_USER\\Software\\Tarvox\\Cfg";
constexpr wchar_t kSubKey[] = L"Software\\Tarvox\\Cfg";
const std::wstring kCfg = L"HKCU\\Software\\Tarvox\\Cfg", kS = kCfg + L"\\S";

// The raw value as stored below the configuration's key: "type:data", the data as text, a signed
// number or hex bytes; "" when there is none.
std::wstring Stored(const std::wstring& subKey, const wchar_t* name) {
    BYTE data[512] = {};
    DWORD type = 0, size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, (kSubKey + subKey).c_str(), name, RRF_RT_ANY | RRF_NOEXPAND,
                     &type, data, &size))
        return L"";
    std::wstring text(reinterpret_cast<const wchar_t*>(data), size / 2);
    if (type == REG_DWORD) text = std::to_wstring(*reinterpret_cast<const LONG*>(data));
    if (type == REG_BINARY) text.clear();
    for (DWORD i = 0; type == REG_BINARY && i < size; ++i)
        text += {L"0123456789abcdef"[data[i] >> 4], L"0123456789abcdef"[data[i] & 15]};
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return std::to_wstring(type) + L":" + text;
}

class CfgRegistryTest : public SandboxTest {};

TEST_F(CfgRegistryTest, KeyTreeReadsIntoSectionsWithEveryValueType) {
    registry.Apply({Sz(kCfg, L"a", L"x"), Dword(kCfg, L"b", 0xFFFFFFFF), Sz(kCfg, L"", L"dflt"),
                    Sz(kS, L"c", L"y"), ExpandSz(kS, L"e", L"%TEMP%\\x"),
                    MultiSz(kS, L"m", {L"p", L"q", L"r"}), Binary(kS, L"bin", {0x0A, 0xFF}),
                    Qword(kS, L"q", 0xFFFFFFFFFFFFFFFEull), Raw(kS, L"none", REG_NONE, {1}),
                    Key(kS + L"\\Deep"), Sz(kCfg + L"\\T", L"t", L"z")});
    CCfgReader reader(kKey);
    ASSERT_EQ(reader.IsInit(), 1);
    EXPECT_EQ(reader.Get_m_IsRegistry(), 1);
    const Lines& data = reader.Get_m_Data();
    // Each key before the keys below it, each block after an empty line.
    const auto at = [&](const wchar_t* line) {
        return std::find(data.begin(), data.end(), line) - data.begin();
    };
    EXPECT_EQ(data.front(), L"[\\]");
    for (const wchar_t* line : {L"a=x", L"b=-1", L"RegDefaultValue=dflt"})
        EXPECT_LT(at(line), at(L"[S]"));
    EXPECT_EQ(data[at(L"[S]") - 1], L"");
    EXPECT_LT(at(L"[S]"), at(L"[S\\Deep]"));
    EXPECT_EQ(data[at(L"[S\\Deep]") - 1], L"");
    EXPECT_LT(at(L"[S\\Deep]"), at(L"[T]"));
    EXPECT_EQ(data.size(), 18u);
    const struct {
        const wchar_t *section, *name, *value;
        DWORD type;  // REG_NONE: not checked
    } cases[] = {{L"\\", L"b", L"-1", REG_DWORD},
                 {L"S", L"e", L"%TEMP%\\x", REG_EXPAND_SZ},
                 {L"S", L"m", L"p", REG_MULTI_SZ},
                 {L"S", L"m_ArMember_1", L"q", REG_NONE},
                 {L"S", L"m_ArMember_2", L"r", REG_NONE},
                 {L"S", L"bin", L"0aff", REG_BINARY},
                 {L"S", L"q", L"-2", REG_QWORD},
                 {L"S", L"none", L"<none>", REG_NONE},
                 {L"T", L"t", L"z", REG_NONE}};
    for (const auto& c : cases) {
        std::wstring text = L"<none>";
        reader.GetValue(text, c.section, c.name, nullptr);
        EXPECT_EQ(text, c.value) << c.name;
        if (c.type != REG_NONE) {
            EXPECT_EQ(reader.GetValueType(c.section, c.name), c.type) << c.name;
        }
    }
}

TEST_F(CfgRegistryTest, ADefaultValueIsSkippedOnlyWhenItsDataIsEmpty) {
    const std::wstring base = kCfg + L"\\";
    struct {
        const wchar_t* section;
        RegEntry entry;
        const wchar_t* line;  // null: no line
    } const cases[] = {
        {L"A", Sz(base + L"A", L"", L"\u0100bc"), L"\u0100bc"},  // first character's low byte zero
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
    for (const auto& c : cases) registry.Apply({c.entry});
    CCfgReader reader(kKey);
    ASSERT_EQ(reader.IsInit(), 1);
    for (const auto& c : cases) {
        std::wstring text = L"<none>";
        reader.GetValue(text, c.section, L"RegDefaultValue", nullptr);
        EXPECT_EQ(text, c.line != nullptr ? c.line : L"<none>") << c.section;
    }
}

TEST_F(CfgRegistryTest, SectionsAreWrittenBackWithTheirRecordedTypes) {
    registry.Apply({Dword(kCfg, L"b", 7), Sz(kCfg, L"", L"dflt"), MultiSz(kS, L"m", {L"p", L"q"}),
                    Binary(kS, L"bin", {0x0A, 0xFF}), ExpandSz(kS, L"e", L"%X%"),
                    Dword(kS, L"d", 1)});
    {
        CCfgReader reader(kKey);
        ASSERT_EQ(reader.IsInit(), 1);
        // A value the configuration does not hold stays in the registry.
        registry.Apply({Sz(kCfg, L"gone", L"stays")});
        EXPECT_EQ(reader.SetValue(L"\\", L"b", L"-3"), 1);
        EXPECT_EQ(reader.SetValue(L"\\", L"RegDefaultValue", L"new"), 1);
        EXPECT_EQ(reader.SetValue(L"S", L"d", L""), 1);
        EXPECT_EQ(reader.SetValue(L"New\\Sub", L"n", L"v"), 1);
        EXPECT_EQ(reader.Save(), 1);
        EXPECT_EQ(reader.Get_m_HasChanged(), 1);  // the registry form leaves the mark
        reader.Get_m_HasChanged() = 0;
    }
    // An empty value is an empty REG_SZ whatever type was recorded.
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> stored[] = {
        {L"", L"b", L"4:-3"},
        {L"", nullptr, L"1:new"},
        {L"", L"gone", L"1:stays"},
        {L"\\S", L"m", L"1:p"},
        {L"\\S", L"m_ArMember_1", L"1:q"},
        {L"\\S", L"bin", L"3:0aff"},
        {L"\\S", L"e", L"2:%X%"},
        {L"\\S", L"d", L"1:"},
        {L"\\New\\Sub", L"n", L"1:v"}};
    for (const auto& [key, name, value] : stored)
        EXPECT_EQ(Stored(key, name), value) << key << name;
}

TEST_F(CfgRegistryTest, AFailedRegistryWriteKeepsTheChangeForTheNextSave) {
    const struct {
        const char* label;
        DWORD option;           // how the configuration's key is created
        const wchar_t* access;  // its security descriptor, or null for the default
        int failedResult;
    } cases[] = {
        // Values and subkeys refused: nothing can be written.
        {"refused", REG_OPTION_NON_VOLATILE, L"D:(D;;0x6;;;WD)(A;;KA;;;WD)", 0},
        // A volatile key takes values but no lasting subkeys: section S cannot be written.
        {"volatile", REG_OPTION_VOLATILE, nullptr, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        RegDeleteTreeW(HKEY_CURRENT_USER, kSubKey);
        {
            tarvox::RegKey key;
            ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSubKey, 0, nullptr, c.option,
                                      KEY_ALL_ACCESS, nullptr, key.Put(), nullptr),
                      ERROR_SUCCESS);
            PSECURITY_DESCRIPTOR descriptor = nullptr;
            if (c.access != nullptr) {
                ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
                    c.access, SDDL_REVISION_1, &descriptor, nullptr));
                EXPECT_EQ(RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor), 0);
                LocalFree(descriptor);
            }
        }
        CCfgReader reader(kKey);
        ASSERT_EQ(reader.IsInit(), 1);
        const std::wstring loaded = reader.Get_m_Original();
        reader.SetValue(L"\\", L"a", L"1");
        reader.SetValue(L"S", L"b", L"2");
        EXPECT_EQ(reader.Save(), c.failedResult);
        EXPECT_EQ(reader.Get_m_Original(), loaded);
        // The next save tries again instead of taking the text as saved.
        EXPECT_EQ(reader.Save(), c.failedResult);
        EXPECT_EQ(Stored(L"\\S", L"b"), L"");
        ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, kSubKey), ERROR_SUCCESS);
        EXPECT_EQ(reader.Save(), 1);
        EXPECT_NE(reader.Get_m_Original(), loaded);
        EXPECT_EQ(Stored(L"", L"a"), L"1:1");
        EXPECT_EQ(Stored(L"\\S", L"b"), L"1:2");
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
    EXPECT_EQ(Stored(L"", L"v"), L"1:1");
    // An emptied registry configuration leaves its key as it was.
    {
        CCfgReader reader(kKey);
        reader.GetDataArray().clear();
        reader.Get_m_HasChanged() = 1;
    }
    EXPECT_EQ(Stored(L"", L"v"), L"1:1");
}

}  // namespace
