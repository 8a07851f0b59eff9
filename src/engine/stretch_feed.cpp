#include "engine/stretch_feed.h"

namespace {

// Below this many stretches the workers' start would cost more than they save.
constexpr std::uint64_t kMinStretchesForPool = 2;

}  // namespace

StretchFeed::StretchFeed(EventPump &pump, std::uint64_t passes, Scan scan, bool endAtFirstDivisor,
                         std::function<void()> letEventsRun)
    : pump_(pump), passes_(passes), stretchPasses_(core::stretchPasses()), scan_(std::move(scan)),
      letEventsRun_(letEventsRun ? std::move(letEventsRun) : [&pump] { pump.pumpNow(); })
{
    const std::uint64_t stretches = (passes + stretchPasses_ - 1) / stretchPasses_;
    const unsigned available = core::threadCount();
    if (available > 1 && stretches >= kMinStretchesForPool)
        pool_ = std::make_unique<core::StretchPool>(available, stretches, [this](std::uint64_t stretch) {
            const std::uint64_t first = stretch * stretchPasses_;
            return scan_(first, std::min(first + stretchPasses_, passes_));
        }, endAtFirstDivisor);
}

bool StretchFeed::letEventsRunWhenDue()
{
    if (!pump_.intervalPassed())
        return false;
    letEventsRun_();
    return true;
}

std::optional<core::StretchResult> StretchFeed::nextFound()
{
    if (pool_)
        return pool_->next(EventPump::kInterval);
    return scan_(nextFirstPass_, std::min(nextFirstPass_ + stretchPasses_, passes_));
}

std::optional<FedStretch> StretchFeed::next(const std::function<bool()> &stopped)
{
    if (finished())
        return std::nullopt;
    // Like a loop that pumps every so many passes, the first stretch is
    // done before any window event runs.
    const bool first = nextFirstPass_ == 0;
    for (;;) {
        if (!first && letEventsRunWhenDue() && stopped())
            return std::nullopt;
        if (auto found = nextFound()) {
            const std::uint64_t firstPass = nextFirstPass_;
            nextFirstPass_ = std::min(firstPass + stretchPasses_, passes_);
            return FedStretch{firstPass, nextFirstPass_, std::move(*found)};
        }
    }
}
