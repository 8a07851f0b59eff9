#pragma once

#include <chrono>
#include <cstdio>
#include <ctime>

// The benchmark program is made of sections, one or more per source file in
// bench/. A file registers its sections with ZORVELAN_BENCH_SECTION; main()
// runs them in the order of their names (or those whose names contain one of
// the command-line arguments) and each prints its own figures.
namespace bench {

using SectionFunction = void (*)();
bool addSection(const char *name, SectionFunction run);

using Clock = std::chrono::steady_clock;
inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of the calling thread: rates measured with it hold up while
// other programs share the machine.
inline double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One line of figures: "  label ............ value unit".
inline void report(const char *label, double value, const char *unit)
{
    std::printf("  %-52s %14.3f %s\n", label, value, unit);
    std::fflush(stdout);
}

}  // namespace bench

#define ZORVELAN_BENCH_SECTION(name, function) \
    static const bool function##_registered = bench::addSection(name, function)
