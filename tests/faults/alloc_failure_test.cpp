// Allocation failures: operator new fails on the N-th allocation, N = 1, 2, 3, ... until the
// operation no longer meets it. Operations with process-wide state run each N in a child.
#include <tarvox/autocad.h>
#include <tarvox/config.h>
#include <tarvox/registry.h>
#include <tarvox/xml.h>

#include "autocad/installed_products.h"
#include "cuix/cuix_parts.h"
#include "foundation/boundary.h"
#include "foundation/com_scope.h"
#include "tests/support/acad_machine.h"
#include "tests/support/sandbox_fixture.h"
#include "tools/package-writer/zip_writer.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// The failing allocator. Only the thread that armed it counts.
namespace {

struct AllocationCounter {
    bool armed = false;
    long long failAt = 0;  // 0: never
    long long count = 0;
    bool met = false;
};
thread_local AllocationCounter t_allocations;

void* Allocate(std::size_t size, std::align_val_t alignment) {
    AllocationCounter& counter = t_allocations;
    const bool fails = counter.armed && ++counter.count == counter.failAt;
    counter.met = counter.met || fails;
    const std::size_t bytes = size == 0 ? 1 : size, align = static_cast<std::size_t>(alignment);
    void* block = fails ? nullptr : align > 0 ? _aligned_malloc(bytes, align) : std::malloc(bytes);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

}  // namespace

// The other forms of new and delete call these (the nothrow ones catch the exception).
void* operator new(std::size_t n) { return Allocate(n, {}); }
void* operator new(std::size_t n, std::align_val_t a) { return Allocate(n, a); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { _aligned_free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { _aligned_free(p); }

namespace {

using namespace tarvox::test;

// Everything an operation works on; made afresh for every N.
struct World {
    TempFolder* temp = nullptr;
    RegistrySandbox* registry = nullptr;
    std::wstring path{};
    std::optional<CCfgReader> reader{};
    int result = 0;
    std::wstring text{}, text2{};
    std::vector<std::wstring> list{}, list2{}, list3{};
    CXMLHelpers::DocPtr doc{};
    std::array<long long, 72> releases{};
    long long* selected = nullptr;
    wchar_t key[260] = {}, profile[260] = {}, exe[260] = {};
};

enum class Boundary {
    Exported,  // nothing may escape
    Internal,  // a library-internal function: std::bad_alloc is how it reports the failure
    Child,     // exported, with process-wide state: each N in a fresh process
};

using Step = std::function<void(World&)>;

struct Row {
    const char* name;
    Boundary boundary;
    const char* failure;  // how Result() starts after the operation's documented failure
    Step prepare;         // the state the call starts from, made without failures
    Step act;             // the call, made with the allocator armed
};

// Everything a reader holds, read back through its own operations.
std::string Snapshot(CCfgReader& reader) {
    std::wstring out = L"init=" + std::to_wstring(reader.IsInit()) + L" changed=" +
                       std::to_wstring(reader.Get_m_HasChanged()) + L"\n";
    std::wstring section;
    for (long long i = 0; reader.GetSectionName(section, i) == 1; ++i) {
        std::vector<std::wstring> names, values;
        reader.GetSectionEntries(names, values, section.c_str(), 0, 0);
        out += L"[" + section + L"]\n";
        for (std::size_t k = 0; k < names.size(); ++k) {
            std::wstring looked;
            reader.GetValue(looked, section.c_str(), names[k].c_str(), L"<none>");
            out += names[k] + L"=" + values[k] +
                   (looked == values[k] ? L"\n" : L" <lookup: " + looked + L">\n");
        }
    }
    out += L"--\n";
    for (const std::wstring& line : reader.Get_m_Data()) out += line + L"\n";
    return Utf8(out);
}

constexpr char kCfgText[] =
    "; Einstellungen\r\n[Allgemein]\r\nSprache=Deutsch\r\nPfad=C:\\Programme\\Tarvox\\Tarvo Ardent "
    "2020\\Vorlagen\r\n"
    "\r\n[Plot]\r\nStift=0.25\r\nFormat=A3 quer mit Rand und Legende\r\n;;Alt=1\r\n"
    "[Liste]\r\n*LIST*=1\r\nerster Eintrag der Liste\r\nzweiter Eintrag der Liste\r\n";
constexpr wchar_t kTreeKey[] = L"Software\\Tarvox\\Tarvo Ardent 2020\\Einstellungen";
constexpr wchar_t kTreePath[] =
    L"HKEY_CURRENT_USER\\Software\\Tarvox\\Tarvo Ardent 2020\\Einstellungen";
constexpr wchar_t kLongValue[] = L"ein neuer Eintrag mit langem Wert";

// What a call gave back, as text: its result and every out-parameter an operation fills.
std::string Result(World& w) {
    std::string out = std::to_string(w.result) + "|" + Utf8(w.text) + "|" + Utf8(w.text2);
    // Appended piece by piece: "|" + Utf8(name) makes GCC 12 warn about an overlapping memcpy
    // that cannot happen (-Wrestrict).
    for (const std::wstring& name : w.list) out.append("|").append(Utf8(name));
    std::wstring attribute;
    CXMLHelpers::NodePtr node;
    if (w.doc && CXMLHelpers::GetNode(L"Eintrag", w.doc, node) == 1)
        CXMLHelpers::GetAttributeValue(L"name", node, attribute);
    out += "|" + Utf8(attribute) + "|";
    for (long long flag : w.releases) out += std::to_string(flag);
    return out + "|" + Utf8(w.key) + "|" + Utf8(w.profile) + "|" + Utf8(w.exe);
}

// The reader, its file with the saves' temporary files, and the key tree loaded afresh, as text.
std::string Observe(World& w) {
    CCfgReader tree(kTreePath);
    return (w.reader ? Snapshot(*w.reader) : "<no reader>") + "--file--\n" +
           (w.path.empty() ? "" : ReadFileBytes(w.path)) + "--temporary files: " +
           std::to_string(w.path.empty() ? 0 : FilesMatching(w.path + L".tarvox-*.tmp")) +
           "\n--tree--\n" + Snapshot(tree);
}

void WriteTree(World& w) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kTreeKey);
    const std::wstring key = std::wstring(L"HKCU\\") + kTreeKey;
    w.registry->Apply({Sz(key, L"Version", L"2020.1 mit Zusatzmodulen"), Dword(key, L"Zaehler", 42),
                       ExpandSz(key + L"\\Pfade", L"Vorlagen", L"%APPDATA%\\Tarvox\\Vorlagen"),
                       MultiSz(key + L"\\Pfade", L"Liste", {L"eins", L"zwei"}),
                       Sz(key + L"\\Pfade\\Unter", L"Name", L"ein etwas laengerer Wert"),
                       Binary(key + L"\\Daten", L"Bytes", {1, 2, 3, 4})});
}

void WriteFile(World& w) { w.path = w.temp->WriteFile(L"Tarvo.cfg", kCfgText); }
void LoadedFile(World& w) {
    WriteFile(w);
    w.reader.emplace(w.path.c_str());
}

Row SetValueRow(const char* name, const wchar_t* section, const wchar_t* entry,
                const wchar_t* value) {
    return {name, Boundary::Exported, "0", LoadedFile,
            [=](World& w) { w.result = w.reader->SetValue(section, entry, value); }};
}

template <std::size_t... I>
int CallReleases(World& w, std::index_sequence<I...>) {
    return GetACReleases(w.releases[I]..., w.selected, w.key, w.profile, w.exe, nullptr);
}

const Row kRows[] = {
    {"LoadConfigurationFile", Boundary::Exported, "0",
     [](World& w) {
         WriteFile(w);
         w.reader.emplace();
     },
     [](World& w) { w.result = w.reader.emplace(w.path.c_str()).IsInit(); }},
    {"LoadRegistryKeyTree", Boundary::Exported, "0",
     [](World& w) {
         WriteTree(w);
         w.reader.emplace();
     },
     [](World& w) { w.result = w.reader.emplace(kTreePath).IsInit(); }},
    {"GetValue", Boundary::Exported, "0||", LoadedFile,
     [](World& w) { w.result = w.reader->GetValue(w.text, L"Plot", L"Format", L""); }},
    {"GetValueWaitingEntry", Boundary::Exported, "0||",
     [](World& w) {
         LoadedFile(w);
         w.reader->SetValue(L"Plot", L"Neu", kLongValue);
     },
     [](World& w) { w.result = w.reader->GetValue(w.text, L"Plot", L"Neu", L""); }},
    SetValueRow("SetValueOfAnEntry", L"Allgemein", L"Sprache",
                L"Englisch (Vereinigtes Koenigreich)"),
    SetValueRow("SetValueOfANewEntry", L"Plot", L"Neu", kLongValue),
    SetValueRow("SetValueInANewSection", L"Neuer Abschnitt", L"Eintrag", kLongValue),
    SetValueRow("SetValueCommentedOut", L"Plot", L";;Alt",
                L"ein neuer Wert fuer den alten Eintrag"),
    // The new entry of an existing section still waits to be placed among the lines when the
    // save begins.
    {"SaveFile", Boundary::Exported, "0",
     [](World& w) {
         LoadedFile(w);
         w.reader->SetValue(L"Neu", L"Eintrag", L"in einem neuen Abschnitt");
         w.reader->SetValue(L"Allgemein", L"Sprache", L"Englisch (Vereinigtes Koenigreich)");
         w.reader->SetValue(L"Plot", L"Neu", kLongValue);
     },
     [](World& w) { w.result = w.reader->Save(); }},
    {"SaveRegistryKeyTree", Boundary::Exported, "0",
     [](World& w) {
         WriteTree(w);
         w.reader.emplace(kTreePath);
         w.reader->SetValue(L"\\", L"Version", L"2021.0 ohne Zusatzmodule");
         w.reader->SetValue(L"\\Pfade\\Unter", L"Neu", L"ein neuer Wert in einem Unterschluessel");
         w.reader->SetValue(L"\\Neu", L"Name", L"ein neuer Schluessel");
     },
     [](World& w) { w.result = w.reader->Save(); }},
    {"GetPathWithoutVarsFirstUse", Boundary::Child, "0||", nullptr,
     [](World& w) {
         w.result = CCfgReader::GetPathWithoutVars(w.text, w.text2,
                                                   L"%AC2020%\\Support\\%ProgramFiles%", 1);
     }},
    {"GetAcadKey", Boundary::Exported, "0||", nullptr,
     [](World& w) { w.result = *GetAcadKey(w.text) != L'\0'; }},
    {"ListInstalledAcads", Boundary::Internal, "0", nullptr,
     [](World& w) {
         long long current = 0;
         w.result = tarvox::autocad::ListInstalledAcads(w.list, w.list2, w.list3, current);
     }},
    {"GetACReleases", Boundary::Exported, "0", [](World& w) { w.releases.fill(7); },
     [](World& w) { w.result = CallReleases(w, std::make_index_sequence<72>()); }},
    {"ParseXmlDocument", Boundary::Exported, "0|",
     [](World& w) {
         w.path = w.temp->WriteFile(
             L"doc.xml",
             "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Wurzel a=\"1\">"
             "<Eintrag name=\"Gr\xC3\xBC\xC3\x9F\x65\">Text</Eintrag><Leer/></Wurzel>");
     },
     [](World& w) { w.result = CXMLHelpers::GetDocumentFromFile(w.path.c_str(), w.doc); }},
    {"CuixWorkspaces", Boundary::Internal, "0",
     [](World& w) {
         // A new file every time: the open-package cache keeps what it opened.
         using namespace tarvox::package;
         static int round = 0;
         w.path = w.temp->WriteFile(
             L"acad" + std::to_wstring(++round) + L".cuix",
             CuixPackage(WorkspaceRootXml(WorkspaceXml("Zeichnen und Beschriftung") +
                                          WorkspaceXml("3D-Modellierung")),
                         HeaderXml({})));
     },
     [](World& w) { w.result = tarvox::cuix::GetCuixWorkspaceNames(w.path.c_str(), w.list); }},
};

void SetUpMachine(RegistrySandbox& registry, TempFolder& temp) {
    AcadMachine machine(registry, temp);
    const std::wstring acad =
        machine.Add(AcadProduct(L"R23.1", L"ACAD-3001:409", L"AutoCAD 2020", L"AutoCAD 2020"));
    machine.Add(
        AcadProduct(L"R23.1", L"ACAD-3001:407", L"AutoCAD LT 2020", L"AutoCAD LT 2020").Lt());
    machine.SetUserCurrent(false, L"R23.1", L"ACAD-3001:409");
    machine.SetUserProfile(acad, L"<<Unbenanntes Profil>>");
    registry.Apply({Sz(L"HKLM\\Software\\Tarvox\\Tarvo Ardent 2020", L"InstallDir",
                       temp / L"Tarvo Ardent 2020"),
                    Sz(L"HKLM\\Software\\Autodesk\\AutoCAD\\R23.1", L"Location",
                       machine.FolderOf(L"AutoCAD 2020"))});
}

// What one call armed to fail at failAt (0: never) did, and after a failure the call made again.
struct Attempt {
    bool met = false;
    std::string escaped{}, result{}, before{}, after{}, again{}, againAfter{};
};

Attempt RunInProcess(const Row& row, long long failAt, TempFolder& temp,
                     RegistrySandbox& registry) {
    World world{&temp, &registry};
    if (row.prepare) row.prepare(world);
    Attempt attempt;
    if (failAt == 0) attempt.before = Observe(world);
    t_allocations = {true, failAt, 0, false};
    try {
        // An internal function runs inside the library, as every caller of it does: the
        // exported functions it uses pass failures on to it.
        std::optional<tarvox::boundary_detail::Entered> inside;
        if (row.boundary == Boundary::Internal) inside.emplace();
        row.act(world);
    } catch (const std::bad_alloc&) {
        if (row.boundary != Boundary::Internal) attempt.escaped = "std::bad_alloc";
    } catch (const std::exception& error) {
        attempt.escaped = error.what();
    } catch (...) {
        attempt.escaped = "an exception of another type";
    }
    t_allocations.armed = false;
    attempt.met = t_allocations.met;
    attempt.result = Result(world);
    attempt.after = Observe(world);
    if (!attempt.met) return attempt;
    row.act(world);
    attempt.again = Result(world);
    attempt.againAfter = Observe(world);
    return attempt;
}

// The same in a child process, which reports all but the states. This test starts some hundred
// processes while other tests run beside it: a start that Wine refuses under that load is tried
// again.
Attempt RunInChild(const Row& row, long long failAt, const std::wstring& sandboxKey) {
    const ChildOptions options{
        .sandboxKey = sandboxKey,
        .args = {std::to_wstring(failAt)},
        .program = FolderOfThisProgram() + L"\\tarvox_alloc_failure_tests.exe"};
    for (int start = 1;; ++start) {
        try {
            const ChildResult child = RunChildScenario(row.name, options);
            EXPECT_TRUE(child.Passed()) << child.output;
            return {.met = child.Value("met") == "1",
                    .escaped = child.Value("escaped"),
                    .result = child.Value("result"),
                    .again = child.Value("again")};
        } catch (const std::runtime_error&) {
            if (start == 3) throw;
            Sleep(500);
        }
    }
}

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class AllocationFailures : public SandboxTest, public ::testing::WithParamInterface<Row> {};

TEST_P(AllocationFailures, EveryFailurePointGivesTheFailureOrTheWholeResult) {
    const Row& row = GetParam();
    SetUpMachine(registry, temp);
    const tarvox::ComScope com(tarvox::ComApartment::SingleThreaded,
                               tarvox::ComBalance::AfterSuccess);
    const auto run = [&](long long failAt) {
        return row.boundary == Boundary::Child ? RunInChild(row, failAt, registry.ScratchKey())
                                               : RunInProcess(row, failAt, temp, registry);
    };
    const Attempt reference = run(0);
    ASSERT_FALSE(reference.met);
    ASSERT_EQ(reference.escaped, "");
    const std::string& success = reference.result;
    ASSERT_FALSE(success.starts_with(row.failure)) << success;
    long long points = 0;
    for (long long n = 1;; ++n) {
        SCOPED_TRACE("N=" + std::to_string(n));
        const Attempt attempt = run(n);
        EXPECT_EQ(attempt.escaped, "");
        if (!attempt.met) {
            EXPECT_EQ(attempt.result, success);
            EXPECT_EQ(attempt.after, reference.after);
            break;
        }
        ++points;
        if (attempt.result == success) {
            EXPECT_EQ(attempt.after, reference.after);
        } else {
            EXPECT_TRUE(attempt.result.starts_with(row.failure)) << attempt.result;
            EXPECT_TRUE(attempt.after == reference.before || attempt.after == reference.after)
                << attempt.after;
        }
        EXPECT_EQ(attempt.again, success) << "again";
        EXPECT_EQ(attempt.againAfter, reference.after) << "again";
        if (HasFailure()) break;
    }
    std::printf("%s: %lld failure points\n", row.name, points);
    RecordProperty("failure_points", std::to_string(points));
    EXPECT_GT(points, 0);
}

INSTANTIATE_TEST_SUITE_P(Operations, AllocationFailures, ::testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--scenario") == 0) {
        // The child side of an operation with process-wide state: --scenario NAME --sandbox KEY N.
        RegistrySandbox registry(std::wstring(argv[4], argv[4] + std::strlen(argv[4])));
        TempFolder temp;
        CoInitialize(nullptr);
        for (const Row& row : kRows) {
            if (std::strcmp(argv[2], row.name) != 0) continue;
            const Attempt attempt = RunInProcess(row, std::atoll(argv[5]), temp, registry);
            std::printf("met=%d\nescaped=%s\nresult=%s\nagain=%s\n", attempt.met ? 1 : 0,
                        attempt.escaped.c_str(), attempt.result.c_str(), attempt.again.c_str());
            return 0;
        }
        return 2;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
