#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/stretch_scan.h"

namespace core {

inline constexpr std::uint64_t kNeverJump = UINT64_MAX;

// How many threads divide, how long a stretch is, and from which pass a loop
// may jump. Zero means the default: ZORVELAN_THREADS or one thread per core,
// stretches of a few milliseconds, and jumps after the first few million
// passes unless ZORVELAN_SCAN_ONLY=1 asks for scanning everywhere.
struct ParallelSettings {
    unsigned threads = 0;
    std::uint64_t stretchPasses = 0;
    std::uint64_t jumpFromPass = 0;  // kNeverJump: scan everywhere
    bool jumpAlways = false;         // jump where it may, also where scanning is cheaper
};
void setParallelSettings(ParallelSettings settings);
unsigned threadCount();
std::uint64_t stretchPasses();
std::uint64_t jumpFromPass();
bool jumpAlways();

// Scans the stretches 0, 1, 2, ... of a loop on worker threads, which take
// them from a shared counter, and hands the results out strictly in order.
// Workers run a bounded number of stretches ahead of the reader. With no workers
// the reader scans each stretch itself when it asks for it.
class StretchPool {
public:
    // Returns soon, with any findings, once `stop` is requested.
    using Scan = std::function<StretchResult(std::uint64_t stretch, const std::stop_token &stop)>;

    // How many stretches each worker may run ahead of the reader: about 10 ms
    // of work, so that the workers go on while the window repaints (which can
    // take milliseconds when the toolkit's painting threads wait for a core).
    static constexpr std::uint64_t kLookAheadPerWorker = 16;

    // endAtFirstDivisor: no stretch after one that holds a divisor is scanned.
    StretchPool(unsigned workers, std::uint64_t stretchCount, Scan scan, bool endAtFirstDivisor);
    ~StretchPool();  // stops the workers and joins them
    StretchPool(const StretchPool &) = delete;
    StretchPool &operator=(const StretchPool &) = delete;

    // The result of the next stretch in order, waiting at most `timeout` for
    // it; empty when it is not ready yet.
    std::optional<StretchResult> next(std::chrono::milliseconds timeout);
    bool finished() const { return taken_ >= stretchCount_; }

private:
    void work(const std::stop_token &stop);
    bool mayTake(std::uint64_t stretch) const;

    const std::uint64_t stretchCount_;
    const Scan scan_;
    const bool endAtFirstDivisor_;
    const std::uint64_t lookAhead_;
    std::atomic<std::uint64_t> nextToScan_{0};
    std::atomic<std::uint64_t> firstWithDivisor_{UINT64_MAX};
    std::uint64_t taken_ = 0;  // stretches handed out; guarded by mutex_
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::map<std::uint64_t, StretchResult> done_;
    std::vector<std::jthread> workers_;  // last: joined before the rest goes
};

}  // namespace core
