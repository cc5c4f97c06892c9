// The configuration text format and the registry-export rewrite, without the file system.
#include "config/cfg_text.h"
#include "config/drawing_handover.h"
#include "config/regedit_text.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvox;
using Lines = std::vector<std::wstring>;

TEST(CfgText, SplitsTrimsAndComposesLines) {
    EXPECT_EQ(SplitCfgLines(L" a = 1 \r\n\tb=2\r\n"), (Lines{L"a = 1", L"b=2"}));
    EXPECT_EQ(SplitCfgLines(L"a=1\nb=2\n"), (Lines{L"a=1\nb=2"}));  // LF alone ends no line
    EXPECT_EQ(SplitCfgLines(L"a\r\n\r\n\r\nb"), (Lines{L"a", L"", L"", L"b"}));
    EXPECT_EQ(SplitCfgLines(L""), Lines{});
    EXPECT_EQ(TrimCfg(L"\r x \r"), L"\r x \r");
    // Outer and repeated blank lines are dropped.
    EXPECT_EQ(ComposeCfgText({L"", L"[A]", L"", L"", L"a=1", L"", L""}), L"[A]\r\n\r\na=1\r\n");
    EXPECT_EQ(ComposeCfgText({L"", L""}), L"");
}

TEST(CfgText, HeadersEntriesCommentsAndListNames) {
    const std::pair<const wchar_t*, const wchar_t*> headers[] = {{L"[Name", L"[Name]"},
                                                                 {L"[ Name ] tail", L"[Name] tail"},
                                                                 {L"[Name] tail", L"[Name] tail"}};
    for (const auto& [line, header] : headers) {
        EXPECT_EQ(NormalizeCfgHeader(line).line, header);
        EXPECT_EQ(NormalizeCfgHeader(line).name, L"Name");
    }
    std::wstring name, value;
    ASSERT_TRUE(SplitCfgEntry(L"Key = a=b", name, value));
    EXPECT_EQ(name + L"|" + value, L"Key|a=b");
    EXPECT_FALSE(SplitCfgEntry(L"no equals", name, value));
    for (const wchar_t* comment : {L";c", L"//c", L":c"})
        EXPECT_EQ(ClassifyCfgLine(comment), CfgLineKind::Comment);
    EXPECT_EQ(ClassifyCfgLine(L"[x"), CfgLineKind::Header);
    for (const auto& [number, entry] :
         {std::pair{1, L"00001"}, {12, L"00012"}, {9999, L"09999"}, {10000, L"10000"}})
        EXPECT_EQ(ListEntryName(number), entry);
}

TEST(CfgText, EntryLinesInAndOutOfListMode) {
    struct Row {
        bool listOn;
        long long number;
        const wchar_t* line;
        bool entry;
        const wchar_t *name, *value, *rewritten;
        bool listOnAfter;
        long long numberAfter;
    };
    const Row rows[] = {
        {false, 3, L"Key = a=b", true, L"Key", L"a=b", L"Key = a=b", false, 3},
        {false, 3, L"no equals", false, L"", L"", L"no equals", false, 3},
        {false, 3, L"SimpleList = TRUE", true, L"SimpleList", L"0", L"SimpleList=0", true, 0},
        {false, 3, L"simplelist=1", true, L"simplelist", L"0", L"simplelist=0", true, 0},
        {false, 3, L"SimpleList=yes", true, L"SimpleList", L"yes", L"SimpleList=yes", false, 3},
        {true, 12, L"beta", true, L"00012", L"beta", L"00012=beta", true, 12},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.line);
        std::wstring line = row.line, name, room;
        CfgListMode list{row.listOn, row.number};
        std::wstring_view value;
        ASSERT_EQ(ReadCfgEntryLine(line, list, name, value, room), row.entry);
        EXPECT_EQ(line, row.rewritten);
        EXPECT_EQ(list.on, row.listOnAfter);
        EXPECT_EQ(list.number, row.numberAfter);
        if (!row.entry) continue;
        EXPECT_EQ(name, row.name);
        EXPECT_EQ(value, row.value);
    }
}

}  // namespace
