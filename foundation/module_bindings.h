// Reading a slot of a helper module's exports table.
#pragma once

#include <windows.h>

namespace tarvox {

// Name under which the family's modules export their table: the decorated name of
// "__int64 GetExportsObject(void)".
inline constexpr char kExportsEntryName[] = "?GetExportsObject@@YA_JXZ";

// Number of slots in the table handed out when a module is missing.
inline constexpr int kEmptyTableSlots = 64;

// The function in a slot of an exports table, or null (empty table, or slot out of range of
// the empty table).
template <class Function>
Function ExportSlot(long long table, int slot) {
    if (table == 0 || slot < 0) return nullptr;
    auto* slots = reinterpret_cast<void* const*>(static_cast<ULONG_PTR>(table));
    return reinterpret_cast<Function>(slots[slot]);
}

}  // namespace tarvox
