#pragma once

#include <cstdint>
#include <vector>

#include "core/best_nonfactors.h"
#include "core/fast_fraction.h"
#include "numeric/uint128.h"

// The trial-division kernel: the remainders of n by one stretch of a divisor
// sequence, reported as the passes that a loop on the window has to act on.
namespace core {

// A trial divisor whose fraction beat the best one seen before it in the
// stretch, the stretch starting from a given best. The records that a loop
// finds with its own, possibly smaller best are among these.
struct RatioCandidate {
    std::uint64_t pass;
    double fraction;
    bool operator==(const RatioCandidate &) const = default;
};

struct StretchResult {
    std::vector<std::uint64_t> divisorPasses;  // passes whose divisor divides n
    std::vector<RatioCandidate> ratioCandidates;
    bool operator==(const StretchResult &) const = default;
};

struct StretchRequest {
    std::uint64_t firstPass;
    std::uint64_t endPass;
    bool withRatios;      // look for ratio candidates as well
    bool stopAtDivisor;   // the loop ends at the first divisor
    double bestFraction;  // the best fraction known before the stretch
};

template <class Sequence, class Dividend>
void scanWith(const Sequence &divisors, const Dividend &remainderOf, uint128 n, const StretchRequest &request,
              StretchResult &result)
{
    auto cursor = divisors.cursor(request.firstPass);
    BestNonfactors ratios(n, request.bestFraction);
    // The divisors grow, so the stretch's last one bounds the remainders that
    // can matter: a pass with a remainder at or above `notable` is only counted.
    const std::uint64_t lastDivisor = divisors.at(request.endPass - 1);
    auto notableBelow = [&] { return request.withRatios ? ratios.remainderBound(lastDivisor) : 1; };
    std::uint64_t notable = notableBelow();
    for (std::uint64_t pass = request.firstPass; pass < request.endPass; ++pass) {
        const std::uint64_t d = cursor.next();
        const std::uint64_t r = remainderOf(d);
        if (r >= notable) [[likely]]
            continue;
        if (r == 0) {
            result.divisorPasses.push_back(pass);
            if (request.stopAtDivisor)
                return;
        } else if (ratios.isRecord(d, r)) {
            result.ratioCandidates.push_back({pass, ratios.best()});
            notable = notableBelow();
        }
    }
}

// Scans the passes [firstPass, endPass) of a divisor sequence (a type with
// cursor(pass) whose next() gives one divisor after the other).
template <class Sequence>
StretchResult scanStretch(const Sequence &divisors, uint128 n, const StretchRequest &request)
{
    StretchResult result;
    fastfrac::withDividend(n, [&](const auto &remainderOf) { scanWith(divisors, remainderOf, n, request, result); });
    return result;
}

}  // namespace core
