// A session's memory stays bounded: runs of the thread pool whose workers
// factorise, each run with new threads and new numbers, leave nothing behind
// once the warm-up has sized what stays (the main thread's caches, the
// allocator's arenas).

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

#include "core/factorise.h"
#include "core/stretch_pool.h"

namespace {

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// One run as Analyze makes it: a pool of two workers, each stretch
// factorising a few 18-digit numbers.
void factoriseOnPool(std::mt19937_64 &random)
{
    std::uniform_int_distribution<std::uint64_t> eighteenDigits(100000000000000000ULL, 999999999999999999ULL);
    const std::uint64_t first = eighteenDigits(random);
    core::StretchPool pool(
        2, 8,
        [first](std::uint64_t stretch, const std::stop_token &stop) {
            for (std::uint64_t i = 0; i < 4; ++i)
                EXPECT_TRUE(core::factorise(first + 4 * stretch + i, stop).has_value());
            return core::StretchResult{};
        },
        false);
    while (!pool.finished())
        pool.next(std::chrono::milliseconds(100));
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

TEST(PoolMemory, RunsOfNewThreadsLeaveNothingBehind)
{
    // The sanitizers hold freed memory back on purpose; their leak check
    // covers the same ground there.
    if (kSanitized)
        GTEST_SKIP() << "resident memory is the sanitizer's";
    std::mt19937_64 random(36);
    constexpr int kWarmUpRuns = 10;
    constexpr int kRuns = 60;
    for (int run = 0; run < kWarmUpRuns; ++run)
        factoriseOnPool(random);
    const long warm = residentKilobytes();
    for (int run = 0; run < kRuns; ++run)
        factoriseOnPool(random);
    // Each run's threads used to keep about 3 MB: 150 MB over these runs.
    EXPECT_LT(residentKilobytes() - warm, 8 * 1024) << "kilobytes added by " << kRuns << " runs";
}

}  // namespace
