// Timing and heap accounting for the benchmark program.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace bench {

// Seconds of one call of work, the fastest of repetitions runs (what the machine adds, other
// programs and the host of a virtual machine, only ever adds time); setup runs before every
// repetition and is not timed.
double BestSeconds(int repetitions, const std::function<void()>& work,
                   const std::function<void()>& setup = {});

// A monotonic clock in seconds.
double Now();

// Bytes currently allocated through operator new in this process (the program replaces the
// global allocation functions, so the library's and SimpleIni's containers are counted).
long long LiveHeapBytes();

}  // namespace bench
