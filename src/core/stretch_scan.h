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
};

struct StretchResult {
    std::vector<std::uint64_t> divisorPasses;  // passes whose divisor divides n
    std::vector<RatioCandidate> ratioCandidates;
};

struct StretchRequest {
    std::uint64_t firstPass;
    std::uint64_t endPass;
    bool withRatios;        // look for ratio candidates as well
    bool stopAtDivisor;     // the loop ends at the first divisor
    double bestFraction;    // the best fraction known before the stretch
};

template <class Sequence, class Dividend>
void scanWith(const Sequence &divisors, const Dividend &remainderOf, uint128 n, const StretchRequest &request,
              StretchResult &result)
{
    auto cursor = divisors.cursor(request.firstPass);
    BestNonfactors ratios(n, request.bestFraction);
    for (std::uint64_t pass = request.firstPass; pass < request.endPass; ++pass) {
        const std::uint64_t d = cursor.next();
        const std::uint64_t r = remainderOf(d);
        if (r == 0) [[unlikely]] {
            result.divisorPasses.push_back(pass);
            if (request.stopAtDivisor)
                return;
        } else if (request.withRatios && ratios.isRecord(d, r)) [[unlikely]] {
            result.ratioCandidates.push_back({pass, ratios.best()});
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
