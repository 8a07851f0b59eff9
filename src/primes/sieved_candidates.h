#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "numeric/uint128.h"

namespace primes {

// The odd numbers above a start of at least 2^20, in increasing order, less
// those with a prime factor below 2^17: the candidates that are left to prove.
class SievedCandidates {
public:
    explicit SievedCandidates(uint128 after) : next_(after + 1 + (after & 1)) {}

    // The next candidate, or 0 once they pass `limit`.
    uint128 next(uint128 limit);

private:
    void sieveFrom(uint128 firstOdd);

    std::vector<std::uint32_t> smallPrimes_;
    std::vector<bool> struckOut_;
    uint128 base_ = 0;  // the window's first odd number; entry i is base_ + 2i
    uint128 next_;      // the odd number to look at next
};

}  // namespace primes
