#pragma once

#include <algorithm>
#include <cstdint>
#include <stop_token>
#include <vector>

#include "core/best_nonfactors.h"
#include "core/neighbour_table.h"
#include "core/stretch_scan.h"

// The kernel that jumps: the same StretchResult as scanStretch, from the
// divisors of n's neighbours instead of a remainder per pass.
//
// A pass whose remainder r is at or above the bound that BestNonfactors gives
// for the stretch's last divisor can be neither a divisor nor a record, and
// scanStretch only counts it. Every other pass has r below that bound, and
// its divisor d divides n - r with d > r. So the divisors of n, n - 1, ...,
// n - (bound - 1) that lie in the stretch and in the sequence are exactly the
// passes that scanStretch acts on; taken in order through the same tests,
// they give the same findings.
namespace core {

struct NearPass {
    std::uint64_t pass;
    std::uint64_t d;
    std::uint64_t r;
};

// The passes in [firstPass, endPass) whose remainder is below `notable`, in
// order, after table.ensure(notable).
template <class Sequence>
std::vector<NearPass> nearPasses(const Sequence &divisors, const NeighbourTable &table, std::uint64_t firstPass,
                                 std::uint64_t endPass, std::uint64_t notable)
{
    const std::uint64_t low = divisors.at(firstPass);
    const std::uint64_t high = divisors.at(endPass - 1);
    std::vector<NearPass> near;
    const auto lists = table.divisorLists(notable);
    for (std::uint64_t r = 0; r < notable; ++r) {
        const std::vector<std::uint64_t> &list = *lists[r];
        // n mod d is r only for the divisors of n - r above r.
        for (auto d = std::lower_bound(list.begin(), list.end(), std::max(low, r + 1)); d != list.end() && *d <= high;
             ++d)
            if (const auto pass = divisors.passOf(*d))
                near.push_back({*pass, *d, r});
    }
    std::sort(near.begin(), near.end(), [](const NearPass &a, const NearPass &b) { return a.pass < b.pass; });
    return near;
}

// The remainders below this bound are the ones a stretch ending at divisor
// `high` has to look at, starting from `best`.
inline std::uint64_t notableRemainders(uint128 n, const StretchRequest &request, std::uint64_t high)
{
    return request.withRatios ? BestNonfactors(n, request.bestFraction).remainderBound(high) : 1;
}

// The findings of one stretch, as scanStretch gives them. The table must
// reach the stretch's last divisor. Empty when `stop` was requested first.
template <class Sequence>
StretchResult jumpStretch(const Sequence &divisors, NeighbourTable &table, const StretchRequest &request,
                          const std::stop_token &stop)
{
    StretchResult result;
    const uint128 n = table.n();
    const std::uint64_t notable = notableRemainders(n, request, divisors.at(request.endPass - 1));
    if (!table.ensure(notable, stop))
        return result;
    BestNonfactors ratios(n, request.bestFraction);
    for (const NearPass &near : nearPasses(divisors, table, request.firstPass, request.endPass, notable)) {
        if (near.r == 0) {
            result.divisorPasses.push_back(near.pass);
            if (request.stopAtDivisor)
                return result;
        } else if (ratios.isRecord(near.d, near.r)) {
            result.ratioCandidates.push_back({near.pass, ratios.best()});
        }
    }
    return result;
}

// Whether jumping a stretch is likely cheaper than scanning it, by rough
// costs on this kind of machine: a remainder takes a nanosecond or two below
// 2^64 and several above; a factorisation of a neighbour a tenth of a
// millisecond below 2^64 and a millisecond or two above, and each is made
// once for all the stretches of every loop over n.
inline bool jumpIsCheaper(uint128 n, std::uint64_t passes, std::uint64_t notable, std::uint64_t factorised)
{
    const bool wide = (n >> 64) != 0;
    const double scanNs = static_cast<double>(passes) * (wide ? 8.0 : 1.5);
    const double newNeighbours = notable > factorised ? static_cast<double>(notable - factorised) : 0.0;
    const double jumpNs = newNeighbours * (wide ? 2e6 : 1.5e5) + static_cast<double>(notable) * 200.0;
    return jumpNs < scanNs;
}

}  // namespace core
