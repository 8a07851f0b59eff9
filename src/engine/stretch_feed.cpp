#include "engine/stretch_feed.h"

namespace {

// Below this many stretches the workers' start would cost more than they save.
constexpr std::uint64_t kMinStretchesForPool = 2;

}  // namespace

StretchFeed::StretchFeed(EventPump &pump, std::uint64_t passes, Scan scan, bool endAtFirstDivisor,
                         Threads threads, std::function<void()> letEventsRun)
    : pump_(pump), passes_(passes), stretchPasses_(core::stretchPasses()),
      letEventsRun_(letEventsRun ? std::move(letEventsRun) : [&pump] { pump.pumpNow(); })
{
    const std::uint64_t stretches = (passes + stretchPasses_ - 1) / stretchPasses_;
    const unsigned available = core::threadCount();
    const bool pooled = threads == Threads::Pool && available > 1 && stretches >= kMinStretchesForPool;
    auto scanStretch = [this, scan = std::move(scan)](std::uint64_t stretch) {
        const std::uint64_t first = stretch * stretchPasses_;
        return scan(first, std::min(first + stretchPasses_, passes_));
    };
    pool_ = std::make_unique<core::StretchPool>(pooled ? available : 0, stretches, std::move(scanStretch),
                                                endAtFirstDivisor);
}

bool StretchFeed::letEventsRunWhenDue()
{
    if (!pump_.intervalPassed())
        return false;
    letEventsRun_();
    return true;
}

std::optional<FedStretch> StretchFeed::next(const std::function<bool()> &stopped)
{
    if (finished())
        return std::nullopt;
    for (;;) {
        if (letEventsRunWhenDue() && stopped())
            return std::nullopt;
        if (auto found = pool_->next(EventPump::kInterval)) {
            const std::uint64_t first = nextFirstPass_;
            nextFirstPass_ = std::min(first + stretchPasses_, passes_);
            return FedStretch{first, nextFirstPass_, std::move(*found)};
        }
    }
}
