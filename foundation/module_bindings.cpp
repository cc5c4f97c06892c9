// Process-wide bindings to the CfgKern and CuixPort helper modules.
#include <tarvox/modules.h>

#include "foundation/module_bindings.h"
#include "foundation/own_module.h"
#include "foundation/boundary.h"

#include <mutex>
#include <string>

namespace {

using ExportsEntry = long long (*)();

// A table whose slots hold no functions: every operation that needs the module fails.
void* const kEmptyTable[tarvox::kEmptyTableSlots] = {};

struct Binding {
    HMODULE module = nullptr;
    ExportsEntry entry = nullptr;
    bool done = false;
};

long long TableOf(const Binding& binding) {
    if (binding.entry == nullptr) return reinterpret_cast<long long>(&kEmptyTable[0]);
    const long long table = binding.entry();
    return table != 0 ? table : reinterpret_cast<long long>(&kEmptyTable[0]);
}

ExportsEntry EntryOf(HMODULE module) {
    return reinterpret_cast<ExportsEntry>(GetProcAddressLogged(module, tarvox::kExportsEntryName));
}

void ResolveCfgKern(Binding& binding) {
    binding.module = GetModuleHandleW(L"cfgkern.dll");
    binding.entry = EntryOf(binding.module);
    if (binding.entry == nullptr) {
        binding.module = GetModuleHandleW(L"cfgkernx86.dll");
        binding.entry = EntryOf(binding.module);
    }
    binding.done = true;
}

void ResolveCuixPort(Binding& binding) {
    binding.module = GetModuleHandleW(L"CUIXPORT.dll");
    if (binding.module == nullptr) {
        const std::wstring folder = tarvox::OwnModuleFolder();
        if (!folder.empty()) binding.module = LoadLibraryW((folder + L"cuixport.dll").c_str());
    }
    binding.entry = EntryOf(binding.module);
    binding.done = true;
}

long long Bind(Binding& binding, std::once_flag& once, void (*resolve)(Binding&), int reload) {
    bool resolvedNow = false;
    std::call_once(once, [&] {
        resolve(binding);
        resolvedNow = true;
    });
    // A reload rewrites the binding without a lock: reloads belong to one thread at a time.
    if (reload == 1 && !resolvedNow) resolve(binding);
    return TableOf(binding);
}

Binding g_cfgKern;
std::once_flag g_cfgKernOnce;
Binding g_cuixPort;
std::once_flag g_cuixPortOnce;

}  // namespace

long long GetCfgKernExports(int reload) {
    return tarvox::Guard(reinterpret_cast<long long>(&kEmptyTable[0]), [&]() -> long long {
        return Bind(g_cfgKern, g_cfgKernOnce, ResolveCfgKern, reload);
    });
}

long long GetCuixExports(int reload) {
    return tarvox::Guard(reinterpret_cast<long long>(&kEmptyTable[0]), [&]() -> long long {
        return Bind(g_cuixPort, g_cuixPortOnce, ResolveCuixPort, reload);
    });
}
