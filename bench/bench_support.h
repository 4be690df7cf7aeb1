// SPDX-License-Identifier: MIT
// What the benchmarks share: the clock, the spread of several runs, and giving up when a
// benchmark cannot measure what it was asked to.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <time.h>
#include <vector>

// Milliseconds since `start` on the monotonic clock.
inline double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Processor time this thread has used, in milliseconds. Unlike the wall clock it leaves out the
// time the machine gave to other programs meanwhile, which on a busy machine can make one of two
// equal runs take twice as long.
inline double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

inline double timeMs(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return msSince(start);
}

// The best and the median of several runs: the best is what the code can do, the distance to
// the median how much the machine's other work moved it.
struct Spread
{
    double best;
    double median;
};

inline Spread spreadOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

inline Spread spreadOf(int runs, const std::function<double()>& once)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(once());
    return spreadOf(std::move(times));
}

// A figure the benchmark cannot trust: says why on stderr and exits with status 2, which the
// report tells apart from a missed target (1).
[[noreturn]] inline void benchFailed(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputc('\n', stderr);
    std::exit(2);
}
