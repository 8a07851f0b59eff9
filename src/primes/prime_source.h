#pragma once

#include <cstdint>
#include <memory>
#include <primesieve.hpp>

#include "numeric/uint128.h"
#include "primes/prime_proof.h"
#include "primes/proof_pool.h"

// Consecutive primes, each one certain, for the whole range of the number
// type. From a start below 2^40 they come from a segmented sieve of
// Eratosthenes (up to 2^64); otherwise, and above 2^64, every candidate that
// survives sieving by small primes is proven prime, on as many threads as
// the trial division uses (ZORVELAN_THREADS or one per core).
namespace primes {

// The largest number a source reaches: the number type's limit, 2^96 - 1.
inline constexpr uint128 kLimit = (uint128(1) << 96) - 1;
// The sieve's first prime costs time in the order of the square root of the
// start (seconds from 10^17 on); from higher starts primes are proven, which
// begins at once.
inline constexpr std::uint64_t kLargestSieveStart = std::uint64_t(1) << 40;
// Where the sieve's range ends and proving takes over.
inline constexpr std::uint64_t kLastPrimeBelowTwoTo64 = 18446744073709551557ULL;  // 2^64 - 59

// Every prime greater than a start, in increasing order, up to kLimit.
class PrimeSource {
public:
    // `stopHint`: no prime much beyond it will be asked for, which lets the
    // sieve size its work to a short list.
    explicit PrimeSource(uint128 after, uint128 stopHint = kLimit);

    // True while primes come from the sieve, false once each is proven.
    bool sieving() const { return sieving_; }
    // The next prime; 0 once none is left up to kLimit.
    uint128 next()
    {
        if (sieving_) [[likely]] {
            const std::uint64_t prime = sieve_.next_prime();
            sieving_ = prime != kLastPrimeBelowTwoTo64;
            last_ = prime;
            return prime;
        }
        return nextProven();
    }

private:
    uint128 nextProven();

    bool sieving_;
    uint128 last_;
    primesieve::iterator sieve_;
    std::unique_ptr<ProofPool> proofs_;  // from the first proven prime on
};

}  // namespace primes
