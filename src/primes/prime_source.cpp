#include "primes/prime_source.h"

#include <algorithm>
#include <limits>

#include "core/stretch_pool.h"

namespace primes {

PrimeSource::PrimeSource(uint128 after, uint128 stopHint) : sieving_(after < kLargestSieveStart), last_(after)
{
    if (sieving_) {
        constexpr uint128 kTop = std::numeric_limits<std::uint64_t>::max();
        sieve_.jump_to(static_cast<std::uint64_t>(after) + 1, static_cast<std::uint64_t>(std::min(stopHint, kTop)));
    }
}

// One thread proves on the reader's thread, more on as many workers.
uint128 PrimeSource::nextProven()
{
    if (!proofs_) {
        const unsigned threads = core::threadCount();
        proofs_ = std::make_unique<ProofPool>(last_, kLimit, threads > 1 ? threads : 0);
    }
    return proofs_->next();
}

}  // namespace primes
