// Timing and heap accounting for the benchmark program.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace bench {

// Seconds of one call of work, as the median of repetitions runs; setup runs before every
// repetition and is not timed.
double MedianSeconds(int repetitions, const std::function<void()>& work,
                     const std::function<void()>& setup = {});

// A monotonic clock in seconds.
double Now();

// Bytes currently allocated through operator new in this process (the program replaces the
// global allocation functions, so the library's and SimpleIni's containers are counted).
long long LiveHeapBytes();

}  // namespace bench
