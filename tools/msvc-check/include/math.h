// The maths functions of MSVC's CRT that Wine's math.h does not declare and libc++'s <cmath>
// names: the long double forms (long double is double under MSVC), erfc, fma and nexttoward.
#pragma once
#include_next <math.h>

#ifdef __cplusplus
extern "C" {
#endif

// clang-format off
#define MSVC_CHECK_UNARY(name) _ACRTIMP long double __cdecl name(long double);
#define MSVC_CHECK_BINARY(name) _ACRTIMP long double __cdecl name(long double, long double);
MSVC_CHECK_UNARY(acoshl) MSVC_CHECK_UNARY(acosl) MSVC_CHECK_UNARY(asinhl) MSVC_CHECK_UNARY(asinl)
MSVC_CHECK_UNARY(atanhl) MSVC_CHECK_UNARY(atanl) MSVC_CHECK_UNARY(cbrtl) MSVC_CHECK_UNARY(ceill)
MSVC_CHECK_UNARY(coshl) MSVC_CHECK_UNARY(cosl) MSVC_CHECK_UNARY(erfcl) MSVC_CHECK_UNARY(erfl)
MSVC_CHECK_UNARY(exp2l) MSVC_CHECK_UNARY(expl) MSVC_CHECK_UNARY(expm1l) MSVC_CHECK_UNARY(fabsl)
MSVC_CHECK_UNARY(floorl) MSVC_CHECK_UNARY(lgammal) MSVC_CHECK_UNARY(log10l) MSVC_CHECK_UNARY(log1pl)
MSVC_CHECK_UNARY(log2l) MSVC_CHECK_UNARY(logbl) MSVC_CHECK_UNARY(logl) MSVC_CHECK_UNARY(nearbyintl)
MSVC_CHECK_UNARY(sinhl) MSVC_CHECK_UNARY(sinl) MSVC_CHECK_UNARY(sqrtl) MSVC_CHECK_UNARY(tanhl)
MSVC_CHECK_UNARY(tanl) MSVC_CHECK_UNARY(tgammal)
MSVC_CHECK_BINARY(atan2l) MSVC_CHECK_BINARY(fdiml) MSVC_CHECK_BINARY(fmaxl) MSVC_CHECK_BINARY(fminl)
MSVC_CHECK_BINARY(fmodl) MSVC_CHECK_BINARY(hypotl) MSVC_CHECK_BINARY(nextafterl)
MSVC_CHECK_BINARY(nexttowardl) MSVC_CHECK_BINARY(powl) MSVC_CHECK_BINARY(remainderl)
#undef MSVC_CHECK_UNARY
#undef MSVC_CHECK_BINARY
_ACRTIMP long double __cdecl frexpl(long double, int*);
_ACRTIMP int __cdecl ilogbl(long double);
_ACRTIMP long double __cdecl ldexpl(long double, int);
_ACRTIMP long double __cdecl modfl(long double, long double*);
_ACRTIMP long double __cdecl remquol(long double, long double, int*);
_ACRTIMP long double __cdecl scalblnl(long double, long);
_ACRTIMP long double __cdecl scalbnl(long double, int);
_ACRTIMP long double __cdecl fmal(long double, long double, long double);
_ACRTIMP double __cdecl erfc(double);
_ACRTIMP float __cdecl erfcf(float);
_ACRTIMP double __cdecl fma(double, double, double);
_ACRTIMP float __cdecl fmaf(float, float, float);
_ACRTIMP double __cdecl nexttoward(double, long double);
_ACRTIMP float __cdecl nexttowardf(float, long double);

#ifdef __cplusplus
}
#endif
// clang-format on
