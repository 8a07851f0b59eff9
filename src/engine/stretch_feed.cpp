#include "engine/stretch_feed.h"

namespace {

// Below this many stretches the workers' start would cost more than they save.
constexpr std::uint64_t kMinStretchesForPool = 2;

}  // namespace

StretchFeed::StretchFeed(EventPump &pump, const core::StretchPlan &plan, Scan scan, bool endAtFirstDivisor,
                         std::function<void()> letEventsRun)
    : pump_(pump), plan_(plan), scan_(std::move(scan)),
      letEventsRun_(letEventsRun ? std::move(letEventsRun) : [&pump] { pump.pumpNow(); })
{
    const unsigned available = core::threadCount();
    const bool mayJump = plan.hasJumps();
    if (mayJump || (available > 1 && plan.count() >= kMinStretchesForPool))
        pool_ = std::make_unique<core::StretchPool>(available, plan.count(), scan_, endAtFirstDivisor);
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
    return scan_(next_, {});
}

std::optional<FedStretch> StretchFeed::next(const std::function<bool()> &stopped)
{
    if (finished())
        return std::nullopt;
    // Like a loop that pumps every so many passes, the first stretch is
    // done before any window event runs.
    const bool first = next_ == 0;
    for (;;) {
        if (!first && letEventsRunWhenDue() && stopped())
            return std::nullopt;
        if (auto found = nextFound()) {
            const std::uint64_t stretch = next_++;
            return FedStretch{plan_.firstPass(stretch), plan_.endPass(stretch), std::move(*found)};
        }
    }
}
