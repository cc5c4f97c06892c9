// Loading, indexing, reading and changing configurations held in files.
#include <tarvox/config.h>

#include "tests/support/sandbox_fixture.h"

#include <algorithm>
#include <memory>
#include <random>

namespace {

using tarvox::test::ReadFileBytes;
using tarvox::test::SandboxTest;
using Lines = std::vector<std::wstring>;
using Numbers = std::vector<long long>;

class CfgReaderTest : public SandboxTest {
protected:
    static std::wstring Value(CCfgReader& reader, const wchar_t* section, const wchar_t* name) {
        std::wstring text = L"<unchanged>";
        reader.GetValue(text, section, name, nullptr);
        return text;
    }
    // The values of some section and name pairs, joined by "|"; "-" for one that is missing.
    static std::wstring Values(
        CCfgReader& reader,
        std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> names) {
        std::wstring joined;
        for (const auto& [section, name] : names) {
            const std::wstring value = Value(reader, section, name);
            joined += (joined.empty() ? L"" : L"|") + (value == L"<unchanged>" ? L"-" : value);
        }
        return joined;
    }
    // A reader over a file with the given bytes; the reader is not saved when destroyed.
    std::unique_ptr<CCfgReader> Loaded(std::wstring_view name, std::string_view bytes) {
        auto reader = std::make_unique<CCfgReader>(temp.WriteFile(name, bytes).c_str());
        EXPECT_EQ(reader->IsInit(), 1);
        return reader;
    }
};

TEST_F(CfgReaderTest, ParsesSectionsEntriesAndComments) {
    auto reader =
        Loaded(L"a.cfg",
               "top=ignored\r\n[  Beta  ]\r\n Key = a=b \r\n; x=1\r\n//y=2\r\n:z=3\r\nnoequals\r\n"
               "=empty\r\n[Alpha\r\nk=v\r\n");
    EXPECT_EQ(reader->Get_m_KeyStrings(), (Lines{L"Alpha", L"Beta"}));
    EXPECT_EQ(reader->Get_m_Data()[1], L"[Beta]");
    EXPECT_EQ(reader->Get_m_Data()[8], L"[Alpha]");
    EXPECT_EQ(reader->Get_m_KeyIndex(), (Numbers{1, 8}));
    EXPECT_EQ(reader->Get_m_KeySortedIndex(), (Numbers{8, 1}));
    EXPECT_EQ(
        Values(*reader, {{L"beta", L"KEY"}, {L"Alpha", L"k"}, {L"Beta", L"; x"}, {L"Beta", L":z"}}),
        L"a=b|v|-|-");
    // The original text is as read, before normalisation.
    EXPECT_EQ(reader->Get_m_Original().substr(0, 23), L"top=ignored\r\n[  Beta  ]");
    EXPECT_EQ(reader->Get_m_FileType(), TextFileType::Ansi);
    EXPECT_EQ(reader->Get_m_HasChanged(), 0);
}

TEST_F(CfgReaderTest, ListModeNumbersEveryLine) {
    auto reader = Loaded(L"l.cfg",
                         "[List]\r\nSimpleList=True\r\nalpha\r\n; note\r\nbeta\r\n"
                         "[Next]\r\ngamma\r\n");
    EXPECT_EQ(reader->Get_m_Data()[1], L"SimpleList=0");
    // List mode stays on in later sections; the counter restarts at the header.
    EXPECT_EQ(Values(*reader, {{L"List", L"00001"}, {L"List", L"00003"}, {L"Next", L"00001"}}),
              L"alpha|beta|gamma");
    EXPECT_EQ(reader->Get_m_Original(),
              L"[List]\r\nSimpleList=0\r\n00001=alpha\r\n; note\r\n00003=beta\r\n[Next]\r\n"
              L"00001=gamma\r\n");
}

TEST_F(CfgReaderTest, MissingEmptyBareAndBusyFiles) {
    CCfgReader missing((temp / L"none.cfg").c_str());
    EXPECT_EQ(missing.IsInit(), 1);
    EXPECT_TRUE(missing.Get_m_Data().empty());
    auto empty = Loaded(L"empty.cfg", "");
    EXPECT_TRUE(empty->Get_m_Data().empty());
    CCfgReader bare(L"bare.cfg");
    EXPECT_EQ(bare.IsInit(), 0);
    CCfgReader none;
    EXPECT_EQ(none.IsInit(), 0);
    EXPECT_EQ(none.Load(nullptr), 0);

    const std::wstring path = temp.WriteFile(L"busy.cfg", "[A]\r\na=1\r\n");
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    // Load starts from a cleared reader, so a busy file is waited for the default 5 s.
    CCfgReader busy;
    EXPECT_EQ(busy.Load(path.c_str()), 0);
    EXPECT_EQ(busy.IsInit(), 0);
    CloseHandle(lock);
    EXPECT_EQ(busy.Load(nullptr), 1);
    EXPECT_EQ(Value(busy, L"A", L"a"), L"1");
    // Init without a path reloads the reader's file as well.
    for (const wchar_t* again : {static_cast<const wchar_t*>(nullptr), L""}) {
        const std::string text = again == nullptr ? "[A]\r\na=2\r\n" : "[A]\r\na=3\r\n";
        temp.WriteFile(L"busy.cfg", text);
        EXPECT_EQ(busy.Init(again, 0), 1);
        EXPECT_EQ(Value(busy, L"A", L"a"), again == nullptr ? L"2" : L"3");
    }
}

TEST_F(CfgReaderTest, GetValueDefaultsAndNumbers) {
    auto reader = Loaded(L"n.cfg",
                         "[N]\r\nyes=yes\r\ntwo=2\r\nt=TRUE\r\nf=false\r\nneg= -7\r\n"
                         "blank=\r\n");
    std::wstring text = L"x";
    EXPECT_EQ(reader->GetValue(text, L"Missing", L"a", L"def"), 0);
    EXPECT_EQ(text, L"def");
    EXPECT_EQ(reader->GetValue(text, L"Missing", L"a", nullptr), 0);
    EXPECT_EQ(text, L"");
    EXPECT_EQ(reader->GetValue(text, L"N", L"absent", L"def"), 1);
    EXPECT_EQ(text, L"def");
    text = L"kept";
    EXPECT_EQ(reader->GetValue(text, L"N", L"absent", nullptr), 0);
    EXPECT_EQ(text, L"kept");
    // As boolean, a default other than 1 counts as 0.
    const struct {
        const wchar_t *section, *name;
        int fallback, asBool, result, number;
    } numbers[] = {{L"N", L"yes", 1, 1, 1, 0},      {L"N", L"two", 0, 1, 1, 1},
                   {L"N", L"t", 0, 1, 1, 1},        {L"N", L"f", 1, 1, 1, 0},
                   {L"N", L"neg", 0, 0, 1, -7},     {L"N", L"blank", 5, 0, 1, 5},
                   {L"N", L"absent", 1, 1, 1, 1},   {L"Gone", L"absent", 7, 0, 0, 7},
                   {L"Gone", L"absent", 7, 1, 0, 0}};
    for (const auto& c : numbers) {
        int number = 99;
        EXPECT_EQ(reader->GetNumberValue(number, c.section, c.name, c.fallback, c.asBool), c.result)
            << c.name << c.asBool;
        EXPECT_EQ(number, c.number) << c.name << c.asBool;
    }
    EXPECT_EQ(reader->SetNumberValue(L"N", L"big", -5000000000LL, 0), 1);
    EXPECT_EQ(Value(*reader, L"N", L"big"), L"-5000000000");
    EXPECT_EQ(reader->SetNumberValue(L"N", L"flag", 3, 1), 1);
    EXPECT_EQ(Value(*reader, L"N", L"flag"), L"True");
}

TEST_F(CfgReaderTest, SetValueKeepsNameSpacingAndRewritesCommentedEntries) {
    auto reader = Loaded(L"s.cfg", "[S]\r\n;;Name=old\r\nKey  = old\r\n[T]\r\n;;Name=other\r\n");
    EXPECT_EQ(reader->SetValue(L"s", L";;Name", L"new"), 1);
    EXPECT_EQ(reader->Get_m_Data()[1], L";;Name=new");
    EXPECT_EQ(reader->Get_m_Data()[4], L";;Name=other");
    EXPECT_EQ(reader->Get_m_HasChanged(), 1);
    EXPECT_EQ(reader->SetValue(L"S", L"Key", L"new"), 1);
    EXPECT_EQ(reader->Get_m_Data()[2], L"Key  =new");
    EXPECT_EQ(reader->SetValue(L"S", L"Key", nullptr), 1);
    EXPECT_EQ(reader->Get_m_Data()[2], L"Key  =");
    EXPECT_EQ(reader->SetValue(L"", L"Key", L"v"), 0);
    EXPECT_EQ(reader->SetValue(L"S", nullptr, L"v"), 0);

    // An unchanged commented-out value gets no change mark, unless the line differs in case.
    for (const auto& [name, changed] : {std::pair{L";;NAME", 1}, {L";;Name", 0}}) {
        auto again = Loaded(L"s2.cfg", "[S]\r\n;;Name=old\r\n");
        EXPECT_EQ(again->SetValue(L"S", name, L"old"), 1);
        EXPECT_EQ(again->Get_m_Data()[1], std::wstring(name) + L"=old");
        EXPECT_EQ(again->Get_m_HasChanged(), changed);
    }
}

TEST_F(CfgReaderTest, FindOrAddEntryPlacesNewEntriesAndSections) {
    auto reader = Loaded(L"f.cfg", "[A]\r\nfirst=1\r\n\r\n[B]\r\nsecond=2\r\n[C]\r\n");
    std::wstring name;
    for (long long i = 0; i < 3; ++i) {
        ASSERT_EQ(reader->GetSectionName(name, i), 1);
        EXPECT_EQ(name, std::wstring(1, static_cast<wchar_t>(L'A' + i)));
    }
    // New entries come first in their section.
    EXPECT_EQ(reader->FindOrAddEntry(L"B", L"zz"), reader->Get_m_KeySortedIndex()[1] + 1);
    EXPECT_EQ(reader->FindOrAddEntry(L"B", L"zz"), reader->Get_m_KeySortedIndex()[1] + 1);
    EXPECT_EQ(reader->FindOrAddEntry(L"", L"zz"), -1);
    // A new section goes to the end after an empty line; without a name its sorted position.
    EXPECT_EQ(reader->FindOrAddEntry(L"AB", nullptr), 1);
    EXPECT_EQ(reader->Get_m_Data().back(), L"[AB]");
    EXPECT_EQ(reader->Get_m_Data()[reader->Get_m_Data().size() - 2], L"");
}

struct IndexSnapshot {
    Lines data;
    Numbers headers;
    std::vector<Lines> sortedNames;
    std::vector<Numbers> sortedLines, fileOrderLines;
    bool operator==(const IndexSnapshot&) const = default;
};

// The reader keeps each section's index arrays by address.
template <class T>
const T& At(long long address) {
    return *reinterpret_cast<const T*>(static_cast<std::intptr_t>(address));
}

IndexSnapshot Snapshot(CCfgReader& reader) {
    IndexSnapshot snapshot{reader.Get_m_Data(), reader.Get_m_KeySortedIndex(), {}, {}, {}};
    for (std::size_t s = 0; s < reader.Get_m_KeyStrings().size(); ++s) {
        snapshot.sortedNames.push_back(At<Lines>(reader.Get_m_VariablesStringArrays()[s]));
        snapshot.sortedLines.push_back(At<Numbers>(reader.Get_m_VariablesSortedIndexArrays()[s]));
        snapshot.fileOrderLines.push_back(At<Numbers>(reader.Get_m_VariablesIndexArrays()[s]));
    }
    return snapshot;
}

TEST_F(CfgReaderTest, NewEntriesPlacedTogetherMatchPlacingThemOneByOne) {
    const std::string text =
        "; head\r\n[A]\r\nfirst=1\r\nfirst=dup\r\n\r\n[B]\r\nsecond=2\r\n[C]\r\n[A]\r\nlate=3\r\n";
    auto together = Loaded(L"together.cfg", text);
    auto oneByOne = Loaded(L"onebyone.cfg", text);
    std::mt19937 random(11);
    const wchar_t* sections[] = {L"A", L"B", L"C", L"a"};
    for (int i = 0; i < 400; ++i) {
        const wchar_t* section = sections[random() % 4];
        // Names repeat now and then (in other case too), so existing and waiting entries
        // are changed as well as added.
        std::wstring name = L"k" + std::to_wstring(random() % 150);
        if (random() % 5 == 0) name[0] = L'K';
        const std::wstring value = std::to_wstring(i);
        ASSERT_EQ(together->SetValue(section, name.c_str(), value.c_str()), 1);
        ASSERT_EQ(oneByOne->SetValue(section, name.c_str(), value.c_str()), 1);
        oneByOne->Get_m_Data();  // places the entry now
        ASSERT_EQ(Value(*together, section, name.c_str()), value);
        if (i % 97 == 0) {
            // A new section places everything waiting before it is added.
            const std::wstring fresh = L"S" + std::to_wstring(i);
            ASSERT_EQ(together->SetValue(fresh.c_str(), L"x", L"1"), 1);
            ASSERT_EQ(oneByOne->SetValue(fresh.c_str(), L"x", L"1"), 1);
        }
    }
    EXPECT_EQ(Value(*together, L"A", L"first"), L"1");
    // A repeated header does not open its section again: its entries stay with the one before.
    EXPECT_EQ(Value(*together, L"C", L"late"), L"3");
    EXPECT_TRUE(Snapshot(*together) == Snapshot(*oneByOne));
    for (std::size_t s = 0; s < together->Get_m_KeyStrings().size(); ++s) {
        const long long header = together->Get_m_KeySortedIndex()[s];
        EXPECT_EQ(together->Get_m_Data()[header], L"[" + together->Get_m_KeyStrings()[s] + L"]");
    }
    ASSERT_EQ(together->Save(), 1);
    ASSERT_EQ(oneByOne->Save(), 1);
    EXPECT_EQ(ReadFileBytes(temp / L"together.cfg"), ReadFileBytes(temp / L"onebyone.cfg"));
    auto reloaded = Loaded(L"together.cfg", ReadFileBytes(temp / L"together.cfg"));
    EXPECT_EQ(Value(*reloaded, L"B", L"second"), L"2");
    EXPECT_EQ(Snapshot(*reloaded).data, Snapshot(*together).data);
}

TEST_F(CfgReaderTest, WaitingEntriesAreSavedAndSeenByEveryReadingMember) {
    auto reader = Loaded(L"w.cfg", "[S]\r\nold=1\r\n");
    ASSERT_EQ(reader->SetValue(L"S", L"new", L"2"), 1);
    Lines names, values;
    ASSERT_EQ(reader->GetSectionEntries(names, values, L"S", 0, 0), 1);
    EXPECT_EQ(names, (Lines{L"new", L"old"}));
    EXPECT_EQ(values, (Lines{L"2", L"1"}));
    ASSERT_EQ(reader->SetValue(L"S", L"later", L"3"), 1);
    reader.reset();  // saved when destroyed
    EXPECT_EQ(ReadFileBytes(temp / L"w.cfg"), "[S]\r\nlater=3\r\nnew=2\r\nold=1\r\n");
}

TEST_F(CfgReaderTest, RepeatedNamesKeepTheFirstInFrontAfterLoading) {
    auto reader = Loaded(L"d.cfg", "[D]\r\nb=0\r\na=1\r\nA=2\r\nc=9\r\na=3\r\na=4\r\n");
    EXPECT_EQ(Value(*reader, L"D", L"A"), L"1");
    const IndexSnapshot snapshot = Snapshot(*reader);
    EXPECT_EQ(snapshot.sortedNames[0], (Lines{L"a", L"a", L"a", L"A", L"b", L"c"}));
    // The order that inserting one by one gives: the first, then the others from the last.
    EXPECT_EQ(snapshot.sortedLines[0], (Numbers{2, 6, 5, 3, 1, 4}));
    EXPECT_EQ(snapshot.fileOrderLines[0], (Numbers{1, 2, 3, 4, 5, 6}));
}

TEST_F(CfgReaderTest, SectionEntriesInTheThreeOrders) {
    auto reader = Loaded(L"e.cfg", "[E]\r\nb=2\r\na=3\r\nc=1\r\na=0\r\n");
    // File order, by name, by value.
    const Lines names[] = {
        {L"b", L"a", L"c", L"a"}, {L"a", L"a", L"b", L"c"}, {L"a", L"c", L"b", L"a"}};
    const Lines values[] = {
        {L"2", L"3", L"1", L"0"}, {L"0", L"3", L"2", L"1"}, {L"0", L"1", L"2", L"3"}};
    for (int order = 0; order < 3; ++order) {
        Lines n, v;
        ASSERT_EQ(reader->GetSectionEntries(n, v, L"E", 0, order), 1);
        EXPECT_EQ(n, names[order]) << order;
        EXPECT_EQ(v, values[order]) << order;
    }
    Lines none, noValues;
    EXPECT_EQ(reader->GetSectionEntries(none, noValues, L"None", 1, 0), 0);
    EXPECT_TRUE(none.empty());
}

TEST_F(CfgReaderTest, CentralChainPrunesFallsBackAndIsNotCopied) {
    const std::wstring centralPath =
        temp.WriteFile(L"central.cfg", "[S]\r\na=Same\r\nb=central\r\n[Only]\r\nx=1\r\n");
    const std::wstring deeperPath = temp.WriteFile(L"deeper.cfg", "[Deep]\r\nd=4\r\n");
    const std::wstring localPath =
        temp.WriteFile(L"local.cfg", "[S]\r\na=same\r\nb=local\r\n[L]\r\ny=2\r\n");
    {
        auto* central = new CCfgReader(centralPath.c_str());
        central->SetCentral(new CCfgReader(deeperPath.c_str()));
        CCfgReader local;
        local.SetCentral(central);
        ASSERT_EQ(local.Load(localPath.c_str()), 1);
        // The line equal to the central value (ignoring case) is gone, without a change mark.
        EXPECT_EQ(local.Get_m_Data(), (Lines{L"[S]", L"b=local", L"[L]", L"y=2"}));
        EXPECT_EQ(local.Get_m_HasChanged(), 0);
        EXPECT_EQ(Values(local, {{L"S", L"a"}, {L"S", L"b"}, {L"Deep", L"d"}}), L"Same|local|4");
        std::wstring name;
        Lines sections;
        for (long long i = 0; local.GetSectionName(name, i) == 1; ++i) sections.push_back(name);
        EXPECT_EQ(sections, (Lines{L"S", L"L", L"Only", L"Deep"}));
        Lines names, values;
        ASSERT_EQ(local.GetSectionEntries(names, values, L"S", 1, 0), 1);
        EXPECT_EQ(names, (Lines{L"b", L"a", L"b"}));

        // The central value is not stored again; a different one goes to the top of a new
        // section at the end of the file.
        EXPECT_EQ(local.SetValue(L"Only", L"x", L"1"), 1);
        EXPECT_EQ(local.Get_m_HasChanged(), 0);
        EXPECT_EQ(local.SetValue(L"Only", L"x", L"9"), 1);
        EXPECT_EQ(local.Get_m_Data(),
                  (Lines{L"[S]", L"b=local", L"[L]", L"y=2", L"", L"[Only]", L"x=9"}));
        EXPECT_EQ(local.Save(), 1);
    }
    EXPECT_EQ(ReadFileBytes(localPath), "[S]\r\nb=local\r\n[L]\r\ny=2\r\n\r\n[Only]\r\nx=9\r\n");
    EXPECT_EQ(ReadFileBytes(centralPath), "[S]\r\na=Same\r\nb=central\r\n[Only]\r\nx=1\r\n");
}

TEST_F(CfgReaderTest, ValueTypesFlagsCentralOwnershipAndDelete) {
    CCfgReader reader;
    EXPECT_EQ(reader.GetValueType(L"S", L"n"), REG_SZ);
    reader.SetValueType(L"S", L"n", REG_DWORD);
    reader.SetValueType(L"S", L"m", REG_BINARY);
    reader.SetValueType(L"s", L"N", REG_EXPAND_SZ);
    EXPECT_EQ(reader.GetValueType(L"S", L"n"), REG_EXPAND_SZ);
    EXPECT_EQ(reader.GetValueType(L"S", L"m"), REG_BINARY);
    EXPECT_EQ(reader.GetValueType(nullptr, L"m"), REG_SZ);
    EXPECT_EQ(reader.Get_m_TypesIndex(), (Lines{L"S\\::m", L"S\\::n"}));
    EXPECT_EQ(reader.SetTimeout(10), 5000);
    EXPECT_EQ(reader.Get_m_Timeout(), 10);
    EXPECT_EQ(reader.SetReadOnly(1), 0);
    EXPECT_EQ(reader.SetSaveToDrawing(1), 0);
    EXPECT_EQ(reader.SetRegistryType(0x100), 0);
    EXPECT_EQ(reader.Get_m_HasVarPath(), -1);
    std::vector<std::wstring>* keys = nullptr;
    EXPECT_EQ(reader.GetSortedKeyArray(&keys), 0);
    CCfgReader kept;
    reader.SetCentral(&kept);
    EXPECT_EQ(reader.Get_m_Central(), &kept);
    reader.SetCentral(nullptr, 0);  // not deleted: kept lives on the stack
    EXPECT_EQ(reader.Get_m_Central(), nullptr);
    reader.SetCentral(new CCfgReader);
    reader.Delete();
    EXPECT_EQ(reader.Get_m_Central(), nullptr);
    EXPECT_EQ(CCfgReader::Str(std::wstring()), nullptr);
    const std::wstring text = L"x";
    EXPECT_EQ(CCfgReader::Str(text), text.c_str());
}

}  // namespace
