#include "core/best_chain.h"

#include <chrono>

namespace core {

BestChain::BestChain(std::uint64_t first, std::uint64_t count) : first_(first), ends_(count) {}

void BestChain::publish(std::uint64_t stretch, double best)
{
    {
        std::lock_guard lock(mutex_);
        ends_[stretch - first_] = best;
    }
    published_.notify_all();
}

std::optional<double> BestChain::known(std::uint64_t stretch) const
{
    std::lock_guard lock(mutex_);
    return ends_[stretch - first_];
}

std::optional<double> BestChain::waitFor(std::uint64_t stretch, const std::stop_token &stop,
                                         const std::function<bool()> &meanwhile)
{
    // Short waits: work that `meanwhile` could take up may arrive without a
    // notification from here.
    constexpr std::chrono::milliseconds kRecheck{1};
    const auto isKnown = [&] { return ends_[stretch - first_].has_value(); };
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (isKnown())
                return ends_[stretch - first_];
            if (stop.stop_requested())
                return std::nullopt;
        }
        if (meanwhile())
            continue;
        std::unique_lock lock(mutex_);
        published_.wait_for(lock, stop, kRecheck, isKnown);
    }
}

}  // namespace core
