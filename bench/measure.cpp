#include "measure.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

// The benchmark runs on one thread: a plain counter keeps the accounting out of the timings.
long long g_liveBytes = 0;

// Every block carries its size in front, so that delete can subtract it.
constexpr std::size_t kHeader = 16;

void* CountedAlloc(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) return nullptr;
    *reinterpret_cast<std::size_t*>(block) = size;
    g_liveBytes += static_cast<long long>(size);
    return block + kHeader;
}

void CountedFree(void* pointer) noexcept {
    if (pointer == nullptr) return;
    auto* block = static_cast<unsigned char*>(pointer) - kHeader;
    g_liveBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = CountedAlloc(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAlloc(size);
}
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedFree(p); }

namespace bench {

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / frequency;
}

double BestSeconds(int repetitions, const std::function<void()>& work,
                   const std::function<void()>& setup) {
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        if (setup) setup();
        const double start = Now();
        work();
        times.push_back(Now() - start);
    }
    return *std::min_element(times.begin(), times.end());
}

long long LiveHeapBytes() { return g_liveBytes; }

}  // namespace bench
