#pragma once

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

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

// Wall-clock seconds of several measurements, each run once per round and
// the best of the rounds kept: all of them meet the same spells of a busy
// machine, so that their ratios hold up where the times alone do not.
inline std::vector<double> bestOfRounds(const std::vector<std::function<double()>> &measurements, int rounds)
{
    std::vector<double> best(measurements.size(), 0);
    for (int round = 0; round < rounds; ++round)
        for (std::size_t i = 0; i < measurements.size(); ++i)
            if (const double seconds = measurements[i](); best[i] == 0 || seconds < best[i])
                best[i] = seconds;
    return best;
}

// Kilobytes of /proc/self/status's field ("VmRSS", "VmHWM").
inline long statusKilobytes(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return 0;
}

// Starts a new peak: the kernel sets VmHWM back to the present VmRSS.
inline long resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKilobytes("VmRSS");
}

inline double megabytesAddedSince(long baseKilobytes)
{
    return static_cast<double>(statusKilobytes("VmHWM") - baseKilobytes) / 1024.0;
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
