#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <stop_token>

#include "core/best_chain.h"
#include "core/neighbour_table.h"
#include "core/stretch_jump.h"
#include "core/stretch_plan.h"
#include "core/stretch_pool.h"
#include "core/stretch_scan.h"
#include "core/trial_divisors.h"

namespace core {

struct LoopOptions {
    bool withRatios;     // look for ratio candidates as well
    bool stopAtDivisor;  // the loop ends at the first divisor
    bool mayJump;        // false: every stretch is scanned
};

// The findings of every stretch of one loop over a divisor sequence, for the
// threads that divide: it cuts the loop into stretches, starts each from the
// best known before it, and scans or jumps it, whichever is cheaper. The
// findings are those of scanning either way.
template <class Sequence>
class LoopKernel {
public:
    LoopKernel(const Sequence &divisors, uint128 n, LoopOptions options)
        : divisors_(divisors), n_(n), options_(options),
          plan_(trial::passesOf(divisors), stretchPasses(), options.mayJump ? jumpFromPass() : kNeverJump),
          chain_(plan_.firstJump() == 0 ? 0 : plan_.firstJump() - 1, plan_.count() - plan_.firstJump() + 1)
    {
        if (plan_.hasJumps())
            table_ = neighbourTableOf(n);
    }

    const StretchPlan &plan() const { return plan_; }

    // Thread-safe. Empty findings when `stop` was requested first.
    StretchResult stretch(std::uint64_t index, const std::stop_token &stop)
    {
        const auto best = bestBefore(index, stop);
        if (!best)
            return {};
        const StretchRequest request{plan_.firstPass(index), plan_.endPass(index), options_.withRatios,
                                     options_.stopAtDivisor, *best};
        StretchResult result = jumps(index, request) ? jumpStretch(divisors_, *table_, request, stop)
                                                     : scanInParts(request, stop);
        if (chain_.covers(index))
            chain_.publish(index, result.ratioCandidates.empty() ? *best : result.ratioCandidates.back().fraction);
        return result;
    }

    // The best the loop reading the findings has reached so far.
    void publishBest(double best) { published_.store(best, std::memory_order_relaxed); }

private:
    // The loop's own best, or the best after the stretch before when that is
    // smaller; a stretch that may jump waits for the latter, as it decides
    // how many remainders it has to look at.
    std::optional<double> bestBefore(std::uint64_t index, const std::stop_token &stop)
    {
        double best = published_.load(std::memory_order_relaxed);
        if (index == 0 || !chain_.covers(index - 1))
            return best;
        std::optional<double> before;
        if (options_.withRatios && table_ && plan_.mayJump(index))
            before = chain_.waitFor(index - 1, stop, [&] { return table_->helpOnce(stop); });
        else if (!(before = chain_.known(index - 1)))
            return best;
        if (!before)
            return std::nullopt;
        return std::min(best, *before);
    }

    bool jumps(std::uint64_t index, const StretchRequest &request) const
    {
        if (!table_ || !plan_.mayJump(index))
            return false;
        const std::uint64_t high = divisors_.at(request.endPass - 1);
        if (high > table_->divisorLimit())
            return false;
        return jumpAlways() || jumpIsCheaper(n_, request.endPass - request.firstPass,
                                             notableRemainders(n_, request, high), table_->taken());
    }

    // A long stretch in parts of the usual length, so that a stop request
    // ends it soon; each part starts from the best of the parts before.
    StretchResult scanInParts(StretchRequest request, const std::stop_token &stop) const
    {
        if (request.endPass - request.firstPass <= stretchPasses())
            return scanStretch(divisors_, n_, request);
        StretchResult whole;
        const std::uint64_t end = request.endPass;
        for (std::uint64_t first = request.firstPass; first < end && !stop.stop_requested();) {
            request.firstPass = first;
            request.endPass = std::min(end, first + stretchPasses());
            StretchResult part = scanStretch(divisors_, n_, request);
            whole.divisorPasses.insert(whole.divisorPasses.end(), part.divisorPasses.begin(), part.divisorPasses.end());
            whole.ratioCandidates.insert(whole.ratioCandidates.end(), part.ratioCandidates.begin(),
                                         part.ratioCandidates.end());
            if (!part.ratioCandidates.empty())
                request.bestFraction = part.ratioCandidates.back().fraction;
            if (request.stopAtDivisor && !part.divisorPasses.empty())
                break;
            first = request.endPass;
        }
        return whole;
    }

    const Sequence divisors_;
    const uint128 n_;
    const LoopOptions options_;
    const StretchPlan plan_;
    BestChain chain_;
    std::shared_ptr<NeighbourTable> table_;  // only where a stretch may jump
    std::atomic<double> published_{1.0};
};

}  // namespace core
