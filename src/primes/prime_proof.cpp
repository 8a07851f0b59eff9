#include "primes/prime_proof.h"

#include <array>
#include <flint/flint.h>
#include <flint/fmpz.h>
#include <flint/ulong_extras.h>

namespace primes {

namespace {

// Below this fmpz_is_prime proves by strong probable-prime tests to the 13
// prime bases 2 to 41, which no composite below 3317044064679887385961981
// passes (Sorenson and Webster, Math. Comp. 86 (2017)); it switches there.
constexpr uint128 kThirteenBasesBound = uint128(179817) << 64;

// The primes whose pseudosquares FLINT's table holds, and one more: 2 to 379.
constexpr std::size_t kPseudosquarePrimeCount = 75;

constexpr std::array<unsigned, kPseudosquarePrimeCount> firstPrimes()
{
    std::array<unsigned, kPseudosquarePrimeCount> found{};
    std::size_t count = 0;
    for (unsigned n = 2; count < found.size(); ++n) {
        bool prime = true;
        for (unsigned d = 2; d * d <= n; ++d)
            prime = prime && n % d != 0;
        if (prime)
            found[count++] = n;
    }
    return found;
}
constexpr auto kPseudosquarePrimes = firstPrimes();

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

// For a prime n = 1 mod 8 the pseudosquares test needs a prime q <= 379
// that is a non-residue of n; where every one is a residue FLINT aborts
// instead of answering. Such primes exist below 2^95, though about one in
// 2^75: they are sent to fmpz_is_prime. For n = 1 mod 4, (q/n) = (n mod q / q).
bool pseudosquaresMayAbort(uint128 n)
{
    if (n % 8 != 1)
        return false;
    for (const unsigned q : kPseudosquarePrimes)
        if (q != 2 && n_jacobi(static_cast<slong>(n % q), q) == -1)
            return false;
    return true;
}

bool isStrongProbablePrimeToBaseTwo(const fmpz *n)
{
    fmpz_t two;
    fmpz_init_set_ui(two, 2);
    return fmpz_is_strong_probabprime(n, two) == 1;  // a small fmpz needs no clearing
}

}  // namespace

// The fastest proof FLINT offers for each size, after the cheap tests that
// send most composites away:
// - below 179817 * 2^64 (about 81 bits) fmpz_is_prime: below 2^64 FLINT's
//   BPSW test, checked against Feitsma and Galway's list of all base-2
//   pseudoprimes below 2^64; above, the 13 bases of Sorenson and Webster;
// - up to where FLINT's table of pseudosquares reaches (about 94.7 bits)
//   fmpz_is_prime_pseudosquare, a proof by the theorem of Lukes, Patterson
//   and Williams (1 prime, 0 composite, -1 beyond the table);
// - anything it cannot decide: fmpz_is_prime (Pocklington, Morrison,
//   Brillhart-Lehmer-Selfridge, APR-CL), 1 only for a proven prime.
// A strong base-2 test before the pseudosquares test rejects most composites
// with one exponentiation, and a number that passes it cannot reach that
// test's abort for n = 5 mod 8 (a strong pseudoprime to base 2 is an Euler
// pseudoprime to it). A Lucas test as well (BPSW) would cost a fifth of the
// proof and buy nothing: the pseudosquares test takes some seventy more bases.
bool isProvenPrime(uint128 n)
{
    const Fmpz number(n);
    if (n < kThirteenBasesBound)
        return fmpz_is_prime(number.get()) == 1;
    if (n % 2 == 0 || !isStrongProbablePrimeToBaseTwo(number.get()) || fmpz_is_square(number.get()))
        return false;
    if (!pseudosquaresMayAbort(n)) {
        const int byPseudosquares = fmpz_is_prime_pseudosquare(number.get());
        if (byPseudosquares != -1)
            return byPseudosquares == 1;
    }
    return fmpz_is_prime(number.get()) == 1;
}

}  // namespace primes
