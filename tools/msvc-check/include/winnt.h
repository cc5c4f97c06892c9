// Wine's winnt.h defines InterlockedCompareExchange128 inline for compilers other than MSVC,
// under the name of clang's builtin _InterlockedCompareExchange128, which clang refuses. Its
// definition is renamed here; afterwards the name maps to the builtin, as it does under MSVC.
#pragma once
#define _InterlockedCompareExchange128 msvc_check_wine_InterlockedCompareExchange128
#include_next <winnt.h>
#undef _InterlockedCompareExchange128
