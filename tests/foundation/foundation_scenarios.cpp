// Child-process scenarios for the registry and the helper-module bindings.
#include "tests/child/scenario.h"

#include <tarvox/tarvox.h>

#include "foundation/module_bindings.h"
#include "tests/support/child_process.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

using tarvox::test::ScenarioContext;

void ReportTable(const ScenarioContext& context, const char* key, long long table) {
    auto identify = tarvox::ExportSlot<long long (*)()>(table, 0);
    context.Report(key, identify ? std::to_string(identify()) : std::string("empty"));
}

bool Load(const ScenarioContext& context, const wchar_t* variant, const wchar_t* file) {
    return LoadLibraryW((context.Arg(0) + L"\\" + variant + L"\\" + file).c_str()) != nullptr;
}

}  // namespace

// Args: buffer size in bytes. Queries every value of HKLM\Software\Tarvox\Expand.
TARVOX_CHILD_SCENARIO(QueryExpandedValue) {
    const DWORD bufferBytes = static_cast<DWORD>(std::stoul(context.Arg(0)));
    CRegKeyHolder key(HKEY_LOCAL_MACHINE, L"Software\\Tarvox\\Expand", 0, 0);
    if (key.Get() == nullptr) return 1;
    for (const wchar_t* name : {L"Known", L"Unknown", L"Lone", L"Empty"}) {
        std::vector<BYTE> buffer(bufferBytes + 16, 0xCC);
        DWORD size = bufferBytes;
        DWORD type = 0;
        const LSTATUS status = QueryRegValue(key, name, nullptr, &type, buffer.data(), &size);
        const std::string prefix = tarvox::test::Utf8(name);
        context.Report(prefix + ".status", static_cast<long long>(status));
        context.Report(prefix + ".size", static_cast<long long>(size));
        context.Report(prefix + ".text", reinterpret_cast<const wchar_t*>(buffer.data()));
        // Nothing may be written past the caller's buffer.
        for (std::size_t i = bufferBytes; i < buffer.size(); ++i) {
            if (buffer[i] != 0xCC) context.Report(prefix + ".overrun", static_cast<long long>(i));
        }
    }
    return 0;
}

// Args (every scenario below): folder of the test modules.
TARVOX_CHILD_SCENARIO(CfgKernNotLoaded) {
    ReportTable(context, "first", GetCfgKernExports(0));
    context.Report("loaded_by_binding", GetModuleHandleW(L"cfgkern.dll") != nullptr ? 1LL : 0LL);
    if (!Load(context, L"cfgkern", L"cfgkern.dll")) return 1;
    ReportTable(context, "after_load", GetCfgKernExports(0));
    ReportTable(context, "after_reload", GetCfgKernExports(1));
    ReportTable(context, "later", GetCfgKernExports(0));
    return 0;
}

TARVOX_CHILD_SCENARIO(CfgKernLoaded) {
    if (!Load(context, L"cfgkern", L"cfgkern.dll")) return 1;
    ReportTable(context, "table", GetCfgKernExports(0));
    GetCfgKernExports(0);
    auto calls = tarvox::ExportSlot<long long (*)()>(GetCfgKernExports(0), 1);
    context.Report("entry_calls", calls ? calls() : -1);
    return 0;
}

TARVOX_CHILD_SCENARIO(CfgKernFallback) {
    if (!Load(context, L"cfgkern_noentry", L"cfgkern.dll")) return 1;
    if (!Load(context, L"cfgkernx86", L"cfgkernx86.dll")) return 1;
    ReportTable(context, "table", GetCfgKernExports(0));
    return 0;
}

// CuixPort is loaded from beside the module that holds the library (here: this program).
TARVOX_CHILD_SCENARIO(CuixPortBeside) {
    ReportTable(context, "table", GetCuixExports(0));
    HMODULE module = GetModuleHandleW(L"cuixport.dll");
    wchar_t path[MAX_PATH] = L"";
    if (module) GetModuleFileNameW(module, path, MAX_PATH);
    context.Report("module", path);
    return 0;
}

TARVOX_CHILD_SCENARIO(CuixPortPreloaded) {
    if (!Load(context, L"cuixport", L"cuixport.dll")) return 1;
    ReportTable(context, "table", GetCuixExports(0));
    return 0;
}

TARVOX_CHILD_SCENARIO(CuixPortConcurrentFirstUse) {
    std::vector<long long> tables(8, 0);
    std::vector<std::thread> threads;
    for (long long& table : tables) threads.emplace_back([&table] { table = GetCuixExports(0); });
    for (auto& thread : threads) thread.join();
    const bool same =
        std::all_of(tables.begin(), tables.end(), [&](long long t) { return t == tables[0]; });
    context.Report("same", same ? 1LL : 0LL);
    ReportTable(context, "table", tables[0]);
    return 0;
}
