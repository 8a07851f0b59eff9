#include "primes/prime_source.h"

#include <algorithm>
#include <flint/fmpz.h>
#include <limits>

namespace primes {

namespace {

// Candidates sieved at a time (odd numbers), and the primes that sieve them.
constexpr std::size_t kWindowLength = 1 << 15;
constexpr std::uint32_t kSmallPrimeLimit = 1 << 17;

class Fmpz {
public:
    explicit Fmpz(uint128 value)
    {
        fmpz_init(value_);
        fmpz_set_uiui(value_, static_cast<mp_limb_t>(value >> 64), static_cast<mp_limb_t>(value));
    }
    ~Fmpz() { fmpz_clear(value_); }
    Fmpz(const Fmpz &) = delete;
    Fmpz &operator=(const Fmpz &) = delete;
    const fmpz *get() const { return value_; }

private:
    fmpz_t value_;
};

}  // namespace

bool isProvenPrime(uint128 n)
{
    // 1 is a proof of primality; 0 (composite) and anything else (no proof
    // found) are refusals.
    return fmpz_is_prime(Fmpz(n).get()) == 1;
}

uint128 ProvenWindow::nextAbove(uint128 after)
{
    uint128 candidate = after + 1 + (after & 1);  // the next odd number
    for (;; candidate += 2) {
        if (candidate > kLimit)
            return 0;
        if (smallPrimes_.empty() || candidate < base_ || candidate >= base_ + 2 * kWindowLength)
            sieveFrom(candidate);
        if (!struckOut_[static_cast<std::size_t>((candidate - base_) / 2)] && isProvenPrime(candidate))
            return candidate;
    }
}

// Strikes out the odd multiples of the small odd primes. Every candidate
// lies far above the small primes, so none of them is struck out for being one.
void ProvenWindow::sieveFrom(uint128 firstOdd)
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

PrimeSource::PrimeSource(uint128 after, uint128 stopHint)
    : sieving_(after < kLargestSieveStart), last_(after)
{
    if (sieving_) {
        constexpr uint128 kTop = std::numeric_limits<std::uint64_t>::max();
        sieve_.jump_to(static_cast<std::uint64_t>(after) + 1, static_cast<std::uint64_t>(std::min(stopHint, kTop)));
    }
}

uint128 PrimeSource::nextProven()
{
    if (last_ == 0)
        return 0;
    last_ = window_.nextAbove(last_);
    return last_;
}

}  // namespace primes
