// CuixPort, the family's CUIX module: opens CUIX packages (ZIP archives of XML parts) and hands
// out their parts as files. Its exports table answers slots 1 (open), 2 (close) and 6 (extract
// a part); the slots between are not used by this library and stay empty.
#include "cuix/cuixport_abi.h"
#include "stubs/cuixport/open_packages.h"

#include <windows.h>

#include <cwchar>
#include <exception>

namespace {

namespace abi = tarvox::cuixport;

long long TableVersion() { return 1; }

long long Open(const wchar_t* path) {
    if (path == nullptr || *path == L'\0') return 0;
    try {
        return cuixport::OpenPackage(path);
    } catch (const std::exception&) {
        return 0;  // out of memory: the package is not open
    }
}

void Close(long long* handle) {
    if (handle == nullptr) return;
    cuixport::ClosePackage(*handle);
    *handle = 0;
}

int Extract(long long handle, const wchar_t* partName, wchar_t* result) {
    if (result == nullptr) return 0;
    result[0] = L'\0';
    if (partName == nullptr || *partName == L'\0') return 0;
    try {
        const std::wstring path = cuixport::ExtractPart(handle, partName, abi::kPartPathChars);
        if (path.empty()) return 0;
        std::wmemcpy(result, path.c_str(), path.size() + 1);
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

void* const kTable[] = {
    reinterpret_cast<void*>(&TableVersion),
    reinterpret_cast<void*>(&Open),
    reinterpret_cast<void*>(&Close),
    nullptr,
    nullptr,
    nullptr,
    reinterpret_cast<void*>(&Extract),
};
static_assert(sizeof(kTable) / sizeof(kTable[0]) == abi::kExtractPartSlot + 1);

}  // namespace

// Exported under the decorated name of "__int64 GetExportsObject(void)" (see cuixport.def).
extern "C" long long ExportsObject() { return reinterpret_cast<long long>(&kTable[0]); }

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // The part copies of packages left open (the library keeps its packages open for the
    // whole process) go with the module. At process end (reserved not null) other threads
    // were stopped wherever they were, so nothing waits for their locks then.
    if (reason == DLL_PROCESS_DETACH) cuixport::RemoveAllCopies(reserved != nullptr);
    return TRUE;
}
