// Export macro of the Tarvox library.
//
// While the DLL is built, TARVOX_BUILDING is defined and everything marked TARVOX_API is
// exported. Callers of the DLL get dllimport. Programs that link the static core library
// directly (the library's own tests and tools) define TARVOX_STATIC.
#pragma once

#if defined(TARVOX_STATIC)
#define TARVOX_API
#elif defined(TARVOX_BUILDING)
#define TARVOX_API __declspec(dllexport)
#else
#define TARVOX_API __declspec(dllimport)
#endif
