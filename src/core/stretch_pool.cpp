#include "core/stretch_pool.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/flint_thread.h"

namespace core {
namespace {

// Half a millisecond of 64-bit divisions, a few of 128-bit ones: few enough
// hand-overs between the threads, and results often enough for the window.
constexpr std::uint64_t kDefaultStretchPasses = 262144;

// About 10 ms of scanning on two cores: by then the records are rare enough
// that the remainders which can set one are few.
constexpr std::uint64_t kDefaultJumpFromPass = std::uint64_t(1) << 22;

std::atomic<unsigned> configuredThreads{0};
std::atomic<std::uint64_t> configuredStretchPasses{0};
std::atomic<std::uint64_t> configuredJumpFromPass{0};
std::atomic<bool> configuredJumpAlways{false};

unsigned long numberFromEnvironment(const char *name)
{
    const char *text = std::getenv(name);
    if (text == nullptr)
        return 0;
    try {
        return std::stoul(text);
    } catch (const std::exception &) {
        return 0;
    }
}

}  // namespace

void setParallelSettings(ParallelSettings settings)
{
    configuredThreads = settings.threads;
    configuredStretchPasses = settings.stretchPasses;
    configuredJumpFromPass = settings.jumpFromPass;
    configuredJumpAlways = settings.jumpAlways;
}

unsigned threadCount()
{
    if (const unsigned threads = configuredThreads)
        return threads;
    static const auto fromEnvironment = static_cast<unsigned>(numberFromEnvironment("ZORVELAN_THREADS"));
    if (fromEnvironment != 0)
        return fromEnvironment;
    return std::max(1u, std::thread::hardware_concurrency());
}

std::uint64_t stretchPasses()
{
    const std::uint64_t passes = configuredStretchPasses;
    return passes != 0 ? passes : kDefaultStretchPasses;
}

std::uint64_t jumpFromPass()
{
    if (const std::uint64_t pass = configuredJumpFromPass)
        return pass;
    static const bool scanOnly = numberFromEnvironment("ZORVELAN_SCAN_ONLY") == 1;
    return scanOnly ? kNeverJump : kDefaultJumpFromPass;
}

bool jumpAlways() { return configuredJumpAlways; }

StretchPool::StretchPool(unsigned workers, std::uint64_t stretchCount, Scan scan, bool endAtFirstDivisor)
    : stretchCount_(stretchCount), scan_(std::move(scan)), endAtFirstDivisor_(endAtFirstDivisor),
      lookAhead_(kLookAheadPerWorker * std::uint64_t(workers))
{
    for (unsigned i = 0; i < workers && i < stretchCount; ++i)
        workers_.emplace_back([this](const std::stop_token &stop) {
            // The scans factorise, and a pool's workers end with its run.
            const FlintThreadCleanup flintCleanup;
            work(stop);
        });
}

StretchPool::~StretchPool()
{
    for (auto &worker : workers_)
        worker.request_stop();
    changed_.notify_all();
    workers_.clear();
}

bool StretchPool::mayTake(std::uint64_t stretch) const
{
    return stretch < stretchCount_ && stretch <= firstWithDivisor_.load();
}

void StretchPool::work(const std::stop_token &stop)
{
    while (!stop.stop_requested()) {
        std::uint64_t stretch = 0;
        {
            std::unique_lock lock(mutex_);
            // Not too far ahead of the reader, who may stop at any stretch.
            if (!changed_.wait(lock, stop, [this] { return nextToScan_.load() < taken_ + lookAhead_; }))
                return;
            stretch = nextToScan_.fetch_add(1);
        }
        if (!mayTake(stretch))
            return;
        StretchResult result = scan_(stretch, stop);
        if (endAtFirstDivisor_ && !result.divisorPasses.empty()) {
            std::uint64_t first = firstWithDivisor_.load();
            while (stretch < first && !firstWithDivisor_.compare_exchange_weak(first, stretch)) {
            }
        }
        {
            std::lock_guard lock(mutex_);
            done_.emplace(stretch, std::move(result));
        }
        changed_.notify_all();
    }
}

std::optional<StretchResult> StretchPool::next(std::chrono::milliseconds timeout)
{
    if (finished())
        return std::nullopt;
    if (workers_.empty())
        return scan_(taken_++, {});
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [this] { return done_.contains(taken_); }))
        return std::nullopt;
    auto found = done_.extract(taken_++);
    lock.unlock();
    changed_.notify_all();
    return std::move(found.mapped());
}

}  // namespace core
