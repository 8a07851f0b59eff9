#pragma once

#include <cmath>
#include <cstdint>

#include "core/fast_fraction.h"
#include "numeric/uint128.h"

// Picks out the best nonfactors of n (below 10^28) while the trial divisors d
// grow: the divisors whose quotient n / d has a fraction strictly below every
// fraction before it, the fraction being the double that DivFraction gives.
//
// That fraction is r / d (r = n mod d) rounded in the quotient's last decimal
// place. The quotient keeps as many places as fit 96 bits, one fewer when
// rounding would carry past them, so half a unit of its last place is below
// 50 (n / d) / 2^96 < 6.4 / d. A ratio with r >= best * d + 8 thus cannot set
// a record, and the fraction itself is computed only for the few others.
class BestNonfactors {
public:
    // best: the record to beat, 1.0 before any.
    explicit BestNonfactors(uint128 n, double best = 1.0) : n_(n), best_(best) {}

    // d: a trial divisor below 2^53; r = n mod d, not 0. True when d sets a
    // new record, whose fraction best() then gives.
    bool isRecord(std::uint64_t d, std::uint64_t r)
    {
        // Both values are below 2^53, so the signed conversions are exact.
        const auto remainder = static_cast<double>(static_cast<std::int64_t>(r));
        const auto divisor = static_cast<double>(static_cast<std::int64_t>(d));
        if (remainder >= best_ * divisor + 8.0)
            return false;
        const double fraction = fastfrac::quotientFraction(n_, d, r);
        if (!(fraction < best_))
            return false;
        best_ = fraction;
        return true;
    }

    // An integer that no remainder setting a record reaches while the
    // divisors stay up to maxDivisor: with it a loop tests each remainder with
    // one integer comparison and calls isRecord only for the few below it.
    // Recompute it after each record.
    std::uint64_t remainderBound(std::uint64_t maxDivisor) const
    {
        // isRecord's first test rounds best * d + 8 upwards monotonically in d.
        const double bound = best_ * static_cast<double>(static_cast<std::int64_t>(maxDivisor)) + 8.0;
        return static_cast<std::uint64_t>(std::ceil(bound));
    }

    // The fraction of the latest record; 1.0 before the first.
    double best() const { return best_; }

private:
    uint128 n_;
    double best_;
};
