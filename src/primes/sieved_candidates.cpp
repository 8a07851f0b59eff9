#include "primes/sieved_candidates.h"

#include <algorithm>
#include <primesieve.hpp>

namespace primes {

namespace {

// Candidates sieved at a time (odd numbers), and the primes that sieve them.
constexpr std::size_t kWindowLength = 1 << 15;
constexpr std::uint32_t kSmallPrimeLimit = 1 << 17;

}  // namespace

uint128 SievedCandidates::next(uint128 limit)
{
    for (;; next_ += 2) {
        if (next_ > limit)
            return 0;
        if (smallPrimes_.empty() || next_ >= base_ + 2 * kWindowLength)
            sieveFrom(next_);
        if (!struckOut_[static_cast<std::size_t>((next_ - base_) / 2)]) {
            const uint128 candidate = next_;
            next_ += 2;
            return candidate;
        }
    }
}

// Strikes out the odd multiples of the small odd primes. Every candidate
// lies far above the small primes, so none of them is struck out for being one.
void SievedCandidates::sieveFrom(uint128 firstOdd)
{
    if (smallPrimes_.empty()) {
        primesieve::generate_primes(3, kSmallPrimeLimit, &smallPrimes_);
        struckOut_.resize(kWindowLength);
    }
    base_ = firstOdd;
    std::fill(struckOut_.begin(), struckOut_.end(), false);
    for (const std::uint32_t p : smallPrimes_) {
        // base_ + 2i is a multiple of p for i = (p - base_ mod p) / 2 mod p.
        const std::uint64_t rest = static_cast<std::uint64_t>(base_ % p);
        std::uint64_t i = rest == 0 ? 0 : p - rest;
        if (i % 2 != 0)
            i += p;
        for (i /= 2; i < kWindowLength; i += p)
            struckOut_[i] = true;
    }
}

}  // namespace primes
