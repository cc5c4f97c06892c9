// A small helper module for the binding tests: it exports a table whose slot 0 tells which
// module answered, so a test can see which file the library bound to.
#include <windows.h>

#ifndef MODULE_ID
#error "MODULE_ID names the module"
#endif

namespace {

long long g_calls = 0;
long long Identify() { return MODULE_ID; }
long long CallCount() { return g_calls; }

void* const kTable[] = {reinterpret_cast<void*>(&Identify), reinterpret_cast<void*>(&CallCount)};

}  // namespace

#ifndef WITHOUT_ENTRY
// Exported under the decorated name that the family's modules use (see exports.def).
extern "C" long long ExportsObject() {
    ++g_calls;
    return reinterpret_cast<long long>(&kTable[0]);
}
#else
extern "C" __declspec(dllexport) long long SomethingElse() {
    return reinterpret_cast<long long>(&kTable[0]);
}
#endif
