#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

namespace core {

// The best fraction after each of a run of stretches, as the kernels find
// them: a stretch that jumps waits for the one before it, so that it starts
// from a best that lets it jump to few remainders.
class BestChain {
public:
    // Covers the stretches [first, first + count).
    BestChain(std::uint64_t first, std::uint64_t count);

    bool covers(std::uint64_t stretch) const { return stretch >= first_ && stretch - first_ < ends_.size(); }
    void publish(std::uint64_t stretch, double best);
    std::optional<double> known(std::uint64_t stretch) const;
    // Waits until the best after `stretch` is known, running `meanwhile`
    // (which says whether it found something to do) while it is not; empty
    // when `stop` was requested first.
    std::optional<double> waitFor(std::uint64_t stretch, const std::stop_token &stop,
                                  const std::function<bool()> &meanwhile);

private:
    const std::uint64_t first_;
    mutable std::mutex mutex_;
    std::condition_variable_any published_;
    std::vector<std::optional<double>> ends_;
};

}  // namespace core
