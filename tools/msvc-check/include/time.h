// MSVC's CRT has had struct timespec and timespec_get since Visual Studio 2015; Wine's time.h
// has neither, and libc++'s threading support needs the struct.
#pragma once
#include_next <time.h>

#ifdef __cplusplus
extern "C" {
#endif

struct timespec {
    time_t tv_sec;
    long tv_nsec;
};

_ACRTIMP int __cdecl timespec_get(struct timespec*, int);

#ifdef __cplusplus
}
#endif
