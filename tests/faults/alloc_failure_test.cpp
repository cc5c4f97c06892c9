// Allocation failures at every allocation point. The program's global operator new (every
// form) fails on the N-th allocation once it is armed; each operation of the table is run for
// N = 1, 2, 3, ... until it completes without meeting the failure. At every N nothing escapes,
// the result is the operation's failure result or its full success, the object and what is on
// disk are as before or as after the call (never in between), and the same call made again
// without a failure succeeds with the full result.
//
// Operations that build process-wide state on first use run once per N in a child process:
// this program started again with --alloc-child.
#include <tarvox/autocad.h>
#include <tarvox/config.h>
#include <tarvox/registry.h>
#include <tarvox/xml.h>

#include "autocad/installed_products.h"
#include "cuix/cuix_parts.h"
#include "foundation/boundary.h"
#include "tests/support/acad_machine.h"
#include "tests/support/child_process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/sandbox_fixture.h"
#include "tools/package-writer/zip_writer.h"

#include <gtest/gtest.h>

#include <objbase.h>

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

bool FailsNow() {
    AllocationCounter& counter = t_allocations;
    if (!counter.armed || ++counter.count != counter.failAt) return false;
    counter.met = true;
    return true;
}

void* Allocate(std::size_t size, std::size_t alignment, bool nothrow) {
    void* block = nullptr;
    if (!FailsNow()) {
        if (size == 0) size = 1;
        block = alignment > 0 ? _aligned_malloc(size, alignment) : std::malloc(size);
    }
    if (block == nullptr && !nothrow) throw std::bad_alloc();
    return block;
}

void Arm(long long failAt) { t_allocations = {true, failAt, 0, false}; }

// Disarms; true when the failure was met.
bool Disarm() {
    t_allocations.armed = false;
    return t_allocations.met;
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size, 0, false); }
void* operator new[](std::size_t size) { return Allocate(size, 0, false); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, 0, true);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, 0, true);
}
void* operator new(std::size_t size, std::align_val_t a) {
    return Allocate(size, static_cast<std::size_t>(a), false);
}
void* operator new[](std::size_t size, std::align_val_t a) {
    return Allocate(size, static_cast<std::size_t>(a), false);
}
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<std::size_t>(a), true);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return Allocate(size, static_cast<std::size_t>(a), true);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
    _aligned_free(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    _aligned_free(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    _aligned_free(block);
}

namespace {

using namespace tarvox::test;

// Everything an operation works on; made afresh for every N.
struct World {
    TempFolder* temp = nullptr;
    RegistrySandbox* registry = nullptr;
    std::wstring path;
    std::optional<CCfgReader> reader;
    int result = 0;
    std::wstring text;
    std::wstring text2;
    std::vector<std::wstring> list;
    std::vector<std::wstring> list2;
    std::vector<std::wstring> list3;
    CXMLHelpers::DocPtr doc;
    std::array<long long, 72> releases{};
    long long* selected = nullptr;
    wchar_t key[260] = {};
    wchar_t profile[260] = {};
    wchar_t exe[260] = {};
};

struct Operation {
    std::function<void(World&)> prepare;  // the state the call starts from, made without failures
    std::function<void(World&)> act;      // the call, made with the allocator armed
    std::function<std::string(World&)> result;   // what the call gave back, as text
    std::function<std::string(World&)> observe;  // the object and what is on disk, as text
};

enum class Boundary {
    Exported,  // nothing may escape
    Internal,  // a library-internal function: std::bad_alloc is how it reports the failure
    Child,     // exported, with process-wide state: each N in a fresh process
};

struct Row {
    const char* name;
    Boundary boundary;
    const char* failure;  // the operation's documented failure result: how result() starts then
    Operation operation;
};

std::string Text(const std::wstring& text) { return Utf8(text); }

// Everything a reader holds, read back through its own operations: every section with its
// entries in file order, each entry also looked up by name, and the lines.
std::string Snapshot(CCfgReader& reader) {
    std::wstring out = L"init=" + std::to_wstring(reader.IsInit()) + L" changed=" +
                       std::to_wstring(reader.Get_m_HasChanged()) + L"\n";
    std::wstring section;
    for (long long i = 0; reader.GetSectionName(section, i) == 1; ++i) {
        std::vector<std::wstring> names;
        std::vector<std::wstring> values;
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
    return Text(out);
}

// A key tree and its values, as text.
std::string DumpKey(HKEY root, const std::wstring& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    std::string out = "[" + Text(subKey) + "]\n";
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        BYTE data[2048];
        DWORD nameLength = 256;
        DWORD size = sizeof(data);
        DWORD type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        out += Text(name) + ":" + std::to_string(type) + "=" +
               std::string(reinterpret_cast<char*>(data), size) + "\n";
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        children.emplace_back(name);
    }
    RegCloseKey(key);
    for (const std::wstring& child : children) out += DumpKey(root, subKey + L"\\" + child);
    return out;
}

constexpr char kCfgText[] =
    "; Einstellungen\r\n[Allgemein]\r\nSprache=Deutsch\r\nPfad=C:\\Programme\\Tarvox\\Tarvo Ardent "
    "2020\\Vorlagen\r\n"
    "\r\n[Plot]\r\nStift=0.25\r\nFormat=A3 quer mit Rand und Legende\r\n;;Alt=1\r\n"
    "[Liste]\r\n*LIST*=1\r\nerster Eintrag der Liste\r\nzweiter Eintrag der Liste\r\n";
constexpr wchar_t kTreeKey[] = L"Software\\Tarvox\\Tarvo Ardent 2020\\Einstellungen";
constexpr wchar_t kTreePath[] =
    L"HKEY_CURRENT_USER\\Software\\Tarvox\\Tarvo Ardent 2020\\Einstellungen";

void WriteTree(World& w) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kTreeKey);
    const std::wstring key = std::wstring(L"HKCU\\") + kTreeKey;
    w.registry->Apply({Sz(key, L"Version", L"2020.1 mit Zusatzmodulen"), Dword(key, L"Zaehler", 42),
                       ExpandSz(key + L"\\Pfade", L"Vorlagen", L"%APPDATA%\\Tarvox\\Vorlagen"),
                       MultiSz(key + L"\\Pfade", L"Liste", {L"eins", L"zwei"}),
                       Sz(key + L"\\Pfade\\Unter", L"Name", L"ein etwas laengerer Wert"),
                       Binary(key + L"\\Daten", L"Bytes", {1, 2, 3, 4})});
}

void LoadedFile(World& w) {
    w.path = w.temp->WriteFile(L"Tarvo.cfg", kCfgText);
    w.reader.emplace(w.path.c_str());
}

std::string ReaderOf(World& w) { return w.reader ? Snapshot(*w.reader) : "<no reader>"; }

std::string ReaderAndFile(World& w) { return ReaderOf(w) + "--file--\n" + ReadFileBytes(w.path); }

// A configuration change on a loaded reader.
Row SetValueRow(const char* name, const wchar_t* section, const wchar_t* entry,
                const wchar_t* value) {
    return {name,
            Boundary::Exported,
            "0",
            {LoadedFile, [=](World& w) { w.result = w.reader->SetValue(section, entry, value); },
             [](World& w) { return std::to_string(w.result); }, ReaderAndFile}};
}

// The changes that a save writes; the new entry of an existing section still waits to be
// placed among the lines when the save begins.
void Change(CCfgReader& reader) {
    reader.SetValue(L"Neu", L"Eintrag", L"in einem neuen Abschnitt");
    reader.SetValue(L"Allgemein", L"Sprache", L"Englisch (Vereinigtes Koenigreich)");
    reader.SetValue(L"Plot", L"Neu", L"ein neuer Eintrag mit langem Wert");
}

std::string IsInit(World& w) {
    return w.reader ? "init=" + std::to_string(w.reader->IsInit()) : "<no reader>";
}

std::string CallResult(World& w) {
    return std::to_string(w.result) + "|" + Text(w.text) + "|" + Text(w.text2);
}

template <std::size_t... I>
int CallReleases(World& w, std::index_sequence<I...>) {
    return GetACReleases(w.releases[I]..., w.selected, w.key, w.profile, w.exe, nullptr);
}

const Row kRows[] = {
    {"LoadConfigurationFile",
     Boundary::Exported,
     "init=0",
     {[](World& w) {
          w.path = w.temp->WriteFile(L"Tarvo.cfg", kCfgText);
          w.reader.emplace();
      },
      [](World& w) { w.reader.emplace(w.path.c_str()); }, IsInit, ReaderAndFile}},
    {"LoadRegistryKeyTree",
     Boundary::Exported,
     "init=0",
     {[](World& w) {
          WriteTree(w);
          w.reader.emplace();
      },
      [](World& w) { w.reader.emplace(kTreePath); }, IsInit,
      [](World& w) { return ReaderOf(w) + DumpKey(HKEY_CURRENT_USER, kTreeKey); }}},
    {"GetValue",
     Boundary::Exported,
     "0||",
     {LoadedFile, [](World& w) { w.result = w.reader->GetValue(w.text, L"Plot", L"Format", L""); },
      CallResult, ReaderAndFile}},
    {"GetValueWaitingEntry",
     Boundary::Exported,
     "0||",
     {[](World& w) {
          LoadedFile(w);
          w.reader->SetValue(L"Plot", L"Neu", L"ein neuer Eintrag mit langem Wert");
      },
      [](World& w) { w.result = w.reader->GetValue(w.text, L"Plot", L"Neu", L""); }, CallResult,
      ReaderAndFile}},
    SetValueRow("SetValueOfAnEntry", L"Allgemein", L"Sprache",
                L"Englisch (Vereinigtes Koenigreich)"),
    SetValueRow("SetValueOfANewEntry", L"Plot", L"Neu", L"ein neuer Eintrag mit langem Wert"),
    SetValueRow("SetValueInANewSection", L"Neuer Abschnitt", L"Eintrag",
                L"ein neuer Eintrag mit langem Wert"),
    SetValueRow("SetValueCommentedOut", L"Plot", L";;Alt",
                L"ein neuer Wert fuer den alten Eintrag"),
    {"SaveFile",
     Boundary::Exported,
     "0",
     {[](World& w) {
          LoadedFile(w);
          Change(*w.reader);
      },
      [](World& w) { w.result = w.reader->Save(); },
      [](World& w) { return std::to_string(w.result); },
      [](World& w) {
          return ReadFileBytes(w.path) + "--files: " + std::to_string(FilesIn(w.temp->Path())) +
                 "\n" + ReaderOf(w);
      }}},
    {"SaveRegistryKeyTree",
     Boundary::Exported,
     "0",
     {[](World& w) {
          WriteTree(w);
          w.reader.emplace(kTreePath);
          w.reader->SetValue(L"\\", L"Version", L"2021.0 ohne Zusatzmodule");
          w.reader->SetValue(L"\\Pfade\\Unter", L"Neu", L"ein neuer Wert in einem Unterschluessel");
          w.reader->SetValue(L"\\Neu", L"Name", L"ein neuer Schluessel");
      },
      [](World& w) { w.result = w.reader->Save(); },
      [](World& w) { return std::to_string(w.result); },
      [](World& w) { return DumpKey(HKEY_CURRENT_USER, kTreeKey) + ReaderOf(w); }}},
    {"GetPathWithoutVarsFirstUse",
     Boundary::Child,
     "0||",
     {nullptr,
      [](World& w) {
          w.result = CCfgReader::GetPathWithoutVars(w.text, w.text2,
                                                    L"%AC2020%\\Support\\%ProgramFiles%", 1);
      },
      CallResult, nullptr}},
    {"GetPathWithoutVars",
     Boundary::Exported,
     "0||",
     {[](World&) {
          std::wstring a;
          std::wstring b;
          CCfgReader::GetPathWithoutVars(a, b, L"%APPDATA%", 1);
      },
      [](World& w) {
          w.result = CCfgReader::GetPathWithoutVars(w.text, w.text2,
                                                    L"%AC2020%\\Support\\%TarvoArdent_2020%", 1);
      },
      CallResult, nullptr}},
    {"GetAcadKey",
     Boundary::Exported,
     "0||",
     {nullptr, [](World& w) { w.result = *GetAcadKey(w.text) != L'\0'; }, CallResult, nullptr}},
    {"ListInstalledAcads",
     Boundary::Internal,
     "0",
     {nullptr,
      [](World& w) {
          long long current = 0;
          w.result = tarvox::autocad::ListInstalledAcads(w.list, w.list2, w.list3, current);
      },
      [](World& w) {
          std::string out = std::to_string(w.result);
          for (const std::wstring& name : w.list) out += "|" + Text(name);
          return out;
      },
      nullptr}},
    {"GetACReleases",
     Boundary::Exported,
     "0",
     {[](World& w) {
          w.releases.fill(7);
          w.key[0] = w.profile[0] = w.exe[0] = L'\0';
      },
      [](World& w) { w.result = CallReleases(w, std::make_index_sequence<72>()); },
      [](World& w) {
          std::string out = std::to_string(w.result) + "|";
          for (long long flag : w.releases) out += std::to_string(flag);
          return out + "|" + Text(w.key) + "|" + Text(w.profile) + "|" + Text(w.exe);
      },
      nullptr}},
    {"ParseXmlDocument",
     Boundary::Exported,
     "0|",
     {[](World& w) {
          w.path = w.temp->WriteFile(
              L"doc.xml",
              "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Wurzel a=\"1\">"
              "<Eintrag name=\"Gr\xC3\xBC\xC3\x9F\x65\">Text</Eintrag><Leer/></Wurzel>");
          w.doc.Reset();
      },
      [](World& w) { w.result = CXMLHelpers::GetDocumentFromFile(w.path.c_str(), w.doc); },
      [](World& w) {
          std::wstring root;
          CXMLHelpers::NodePtr node;
          if (w.doc) CXMLHelpers::GetNode(L"Eintrag", w.doc, node);
          if (node) CXMLHelpers::GetAttributeValue(L"name", node, root);
          return std::to_string(w.result) + "|" + Text(root);
      },
      nullptr}},
    {"CuixWorkspaces",
     Boundary::Internal,
     "0",
     {[](World& w) {
          // A new file every time: the open-package cache keeps what it opened.
          static int round = 0;
          w.path =
              w.temp->WriteFile(L"acad" + std::to_wstring(++round) + L".cuix",
                                tarvox::package::CuixPackage(
                                    tarvox::package::WorkspaceRootXml(
                                        tarvox::package::WorkspaceXml("Zeichnen und Beschriftung") +
                                        tarvox::package::WorkspaceXml("3D-Modellierung")),
                                    tarvox::package::HeaderXml({})));
          w.list.clear();
      },
      [](World& w) { w.result = tarvox::cuix::GetCuixWorkspaceNames(w.path.c_str(), w.list); },
      [](World& w) {
          std::string out = std::to_string(w.result);
          for (const std::wstring& name : w.list) out += "|" + Text(name);
          return out;
      },
      nullptr}},
};

// The machine every operation runs on: an AutoCAD 2020 and an AutoCAD LT 2020, the main
// product's keys and the user's current product.
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

// One call, armed to fail at failAt (0: never). Returns whether the failure was met; an
// exception that escapes is reported in escaped.
bool RunArmed(const Row& row, World& world, long long failAt, std::string& escaped) {
    Arm(failAt);
    try {
        if (row.boundary == Boundary::Internal) {
            // Inside the library, as every caller of an internal function is: the exported
            // functions it uses pass failures on to it.
            const tarvox::boundary_detail::Entered inside;
            row.operation.act(world);
        } else {
            row.operation.act(world);
        }
    } catch (const std::bad_alloc&) {
        if (row.boundary != Boundary::Internal) escaped = "std::bad_alloc";
    } catch (const std::exception& error) {
        escaped = error.what();
    } catch (...) {
        escaped = "an exception of another type";
    }
    return Disarm();
}

bool IsFailure(const Row& row, const std::string& result) {
    return result.rfind(row.failure, 0) == 0;
}

std::string Observe(const Row& row, World& world) {
    return row.operation.observe ? row.operation.observe(world) : "";
}

void Prepare(const Row& row, World& world, TempFolder& temp, RegistrySandbox& registry) {
    world.temp = &temp;
    world.registry = &registry;
    if (row.operation.prepare) row.operation.prepare(world);
}

class AllocationFailures : public SandboxTest, public ::testing::WithParamInterface<const Row*> {};

// The child side of an operation with process-wide state: one armed call, then the same call
// again without failure.
int RunChild(const std::string& name, long long failAt, const std::wstring& sandboxKey) {
    RegistrySandbox registry(sandboxKey);
    TempFolder temp;
    CoInitialize(nullptr);
    for (const Row& row : kRows) {
        if (name != row.name) continue;
        World world;
        Prepare(row, world, temp, registry);
        std::string escaped;
        const bool met = RunArmed(row, world, failAt, escaped);
        std::printf("met=%d\nescaped=%s\nresult=%s\n", met ? 1 : 0, escaped.c_str(),
                    row.operation.result(world).c_str());
        std::fflush(stdout);
        row.operation.act(world);
        std::printf("again=%s\n", row.operation.result(world).c_str());
        return 0;
    }
    return 2;
}

// One child run. This test starts some hundred processes, while other tests run beside it: a
// start that Wine refuses under that load is tried again.
ChildResult RunChildProcess(const ChildOptions& options) {
    for (int attempt = 1;; ++attempt) {
        try {
            return RunChildScenario("", options);
        } catch (const std::runtime_error&) {
            if (attempt == 3) throw;
            Sleep(500);
        }
    }
}

std::wstring ThisProgram() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

TEST_P(AllocationFailures, EveryFailurePointGivesTheFailureOrTheWholeResult) {
    const Row& row = *GetParam();
    SetUpMachine(registry, temp);
    CoInitialize(nullptr);
    long long points = 0;
    if (row.boundary == Boundary::Child) {
        ChildOptions options;
        options.sandboxKey = registry.ScratchKey();
        options.program = ThisProgram();
        options.args = {L"--alloc-child", std::wstring(row.name, row.name + std::strlen(row.name)),
                        L"0"};
        const ChildResult reference = RunChildProcess(options);
        ASSERT_EQ(reference.Value("met"), "0") << reference.output;
        ASSERT_EQ(reference.Value("escaped"), "");
        const std::string success = reference.Value("result");
        ASSERT_FALSE(IsFailure(row, success)) << success;
        for (long long n = 1;; ++n) {
            options.args[2] = std::to_wstring(n);
            const ChildResult child = RunChildProcess(options);
            ASSERT_TRUE(child.Passed()) << "N=" << n << " " << child.output;
            EXPECT_EQ(child.Value("escaped"), "") << "N=" << n;
            if (child.Value("met") == "0") {
                EXPECT_EQ(child.Value("result"), success) << "N=" << n;
                break;
            }
            const std::string result = child.Value("result");
            EXPECT_TRUE(result == success || IsFailure(row, result)) << "N=" << n << ": " << result;
            EXPECT_EQ(child.Value("again"), success) << "N=" << n;
            ++points;
            if (HasFailure()) break;
        }
    } else {
        std::string before;
        std::string success;
        std::string after;
        std::string escaped;
        {
            World reference;
            Prepare(row, reference, temp, registry);
            before = Observe(row, reference);
            ASSERT_FALSE(RunArmed(row, reference, 0, escaped));
            ASSERT_EQ(escaped, "");
            success = row.operation.result(reference);
            after = Observe(row, reference);
            ASSERT_FALSE(IsFailure(row, success)) << success;
        }
        for (long long n = 1;; ++n) {
            World world;
            Prepare(row, world, temp, registry);
            escaped.clear();
            const bool met = RunArmed(row, world, n, escaped);
            EXPECT_EQ(escaped, "") << "N=" << n;
            const std::string result = row.operation.result(world);
            const std::string state = Observe(row, world);
            if (!met) {
                EXPECT_EQ(result, success) << "N=" << n;
                EXPECT_EQ(state, after) << "N=" << n;
                break;
            }
            ++points;
            EXPECT_TRUE(result == success || IsFailure(row, result)) << "N=" << n << ": " << result;
            if (result == success) {
                EXPECT_EQ(state, after) << "N=" << n;
            } else {
                EXPECT_TRUE(state == before || state == after) << "N=" << n << ":\n" << state;
            }
            row.operation.act(world);
            EXPECT_EQ(row.operation.result(world), success) << "N=" << n << " again";
            EXPECT_EQ(Observe(row, world), after) << "N=" << n << " again";
            if (HasFailure()) break;
        }
    }
    CoUninitialize();
    std::printf("%s: %lld failure points\n", row.name, points);
    RecordProperty("failure_points", std::to_string(points));
    EXPECT_GT(points, 0);
}

std::vector<const Row*> AllRows() {
    std::vector<const Row*> rows;
    for (const Row& row : kRows) rows.push_back(&row);
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Operations, AllocationFailures, ::testing::ValuesIn(AllRows()),
                         [](const ::testing::TestParamInfo<const Row*>& row) {
                             return std::string(row.param->name);
                         });

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 2 < argc; ++i) {
        if (std::strcmp(argv[i], "--alloc-child") != 0) continue;
        std::wstring sandbox;
        for (int k = 1; k + 1 < argc; ++k) {
            if (std::strcmp(argv[k], "--sandbox") == 0)
                sandbox.assign(argv[k + 1], argv[k + 1] + std::strlen(argv[k + 1]));
        }
        return RunChild(argv[i + 1], std::atoll(argv[i + 2]), sandbox);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
