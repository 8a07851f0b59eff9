#include "core/factorise.h"

#include <algorithm>
#include <array>
#include <bit>
#include <flint/fmpz.h>
#include <flint/fmpz_factor.h>
#include <flint/ulong_extras.h>
#include <limits>
#include <stdexcept>

namespace core {

namespace {

constexpr uint128 kWordLimit = uint128(1) << 64;
constexpr std::uint32_t kTrialLimit = 1u << 16;

class Fmpz {
public:
    Fmpz() { fmpz_init(value_); }
    explicit Fmpz(uint128 value) : Fmpz() { set(value); }
    ~Fmpz() { fmpz_clear(value_); }
    Fmpz(const Fmpz &) = delete;
    Fmpz &operator=(const Fmpz &) = delete;

    void set(uint128 value)
    {
        fmpz_set_uiui(value_, static_cast<mp_limb_t>(value >> 64), static_cast<mp_limb_t>(value));
    }
    // Only for values in [0, 2^128), which every divisor of the input is.
    uint128 value() const
    {
        mp_limb_t high = 0, low = 0;
        fmpz_get_uiui(&high, &low, value_);
        return (uint128(high) << 64) | low;
    }
    fmpz *get() { return value_; }
    const fmpz *get() const { return value_; }

private:
    fmpz_t value_;
};

// Seeded the same way on every call, so that a number always takes the same path.
class RandomState {
public:
    RandomState() { flint_randinit(state_); }
    ~RandomState() { flint_randclear(state_); }
    RandomState(const RandomState &) = delete;
    RandomState &operator=(const RandomState &) = delete;
    flint_rand_s *get() { return state_; }

private:
    flint_rand_t state_;
};

// An odd trial prime p with its inverse modulo 2^128: p divides c exactly
// when c * inverse mod 2^128 is at most (2^128 - 1) / p, and that product is
// then the quotient (c * inverse is a bijection of the residues, and the
// multiples of p are mapped onto 0 .. (2^128 - 1) / p).
struct TrialPrime {
    uint128 inverse;
    uint128 maxQuotient;
    std::uint32_t p;
    std::uint64_t square;
};

std::vector<TrialPrime> makeTrialPrimes()
{
    std::vector<bool> composite(kTrialLimit);
    std::vector<TrialPrime> primes;
    for (std::uint32_t p = 3; p < kTrialLimit; p += 2) {
        if (composite[p])
            continue;
        for (std::uint32_t q = p * p; q < kTrialLimit; q += 2 * p)
            composite[q] = true;
        // p * p = 1 mod 8 for odd p: 3 correct bits, each Newton step doubles them.
        uint128 inverse = p;
        for (int bits = 3; bits < 128; bits *= 2)
            inverse *= 2 - p * inverse;
        primes.push_back({inverse, ~uint128(0) / p, p, std::uint64_t(p) * p});
    }
    return primes;
}

const std::vector<TrialPrime> &trialPrimes()
{
    static const std::vector<TrialPrime> primes = makeTrialPrimes();
    return primes;
}

// Divides out the primes below 2^16 and returns what is left for the work
// list: 1, or a number of at least 2^32 without prime factors below 2^16. A
// cofactor below p^2 with no prime factor below p has no room for two prime
// factors, so it is recorded as a prime instead.
uint128 divideOutSmallPrimes(uint128 m, std::vector<PrimePower> &found)
{
    const auto low = static_cast<std::uint64_t>(m);
    if (const int twos = low != 0 ? std::countr_zero(low) : 64 + std::countr_zero(static_cast<std::uint64_t>(m >> 64));
        twos > 0) {
        found.push_back({2, twos});
        m >>= twos;
    }
    // The prime after the last trial prime is 65537, whose square exceeds 2^32.
    uint128 nextSquare = uint128(1) << 32;
    for (const TrialPrime &trial : trialPrimes()) {
        if (trial.square > m) {
            nextSquare = trial.square;
            break;
        }
        int exponent = 0;
        for (uint128 quotient; (quotient = m * trial.inverse) <= trial.maxQuotient; ++exponent)
            m = quotient;
        if (exponent > 0)
            found.push_back({trial.p, exponent});
    }
    if (m < nextSquare) {
        if (m > 1)
            found.push_back({m, 1});
        return 1;
    }
    return m;
}

// Rounds of elliptic curves with bounds growing from round to round, each
// under 4 ms below 2^96 (a curve costs about 0.8 us per unit of B1 there).
// They find factors of up to about 12 digits; after them come rounds of the
// same cost with larger bounds until a factor turns up. Below 2^96 a
// composite part without factors below 2^16 has one of at most 15 digits,
// which such rounds find in some tens of milliseconds. (FLINT's quadratic
// sieve would be quicker for some, but it writes its relations to a file in
// the working folder and is not safe on two threads at once.)
struct EcmRound {
    mp_limb_t curves;
    mp_limb_t b1;
    mp_limb_t b2;
};
// clang-format off
constexpr std::array<EcmRound, 5> kEcmRounds{{{4, 150, 3750},
                                               {4, 300, 7500},
                                               {4, 600, 15000},
                                               {4, 1000, 25000},
                                               {4, 1000, 25000}}};
// clang-format on
// One try of Brent's rho (about 0.5 ms) finds most factors below about 10^6.
constexpr mp_limb_t kRhoIterations = 2048;

// The deeper rounds: the bound grows by half each round up to a ceiling, the
// curves shrink with it so that each round costs the same.
constexpr mp_limb_t kFirstDeepB1 = 2000;
constexpr mp_limb_t kCeilingB1 = 50000;
constexpr mp_limb_t kDeepCurveBudget = 4000;  // curves * B1 per round

// The stages a part above 2^64 goes through, one piece of work each; the
// deep rounds repeat at the last stage.
enum Stage : int { kProve = 0, kRho = 1, kFirstEcm = 2, kFirstDeepEcm = kFirstEcm + int(kEcmRounds.size()) };

EcmRound ecmRound(int stage)
{
    if (stage < kFirstDeepEcm)
        return kEcmRounds[static_cast<std::size_t>(stage - kFirstEcm)];
    mp_limb_t b1 = kFirstDeepB1;
    for (int deeper = stage - kFirstDeepEcm; deeper > 0 && b1 < kCeilingB1; --deeper)
        b1 += b1 / 2;
    b1 = std::min(b1, kCeilingB1);
    return {std::max<mp_limb_t>(1, kDeepCurveBudget / b1), b1, 25 * b1};
}

// A number still to be factored whose `exponent`-th power divides the input;
// it has no prime factor below 2^16.
struct Part {
    uint128 value;
    int exponent;
    int stage;
};

bool isProperFactor(uint128 f, uint128 of) { return f > 1 && f < of && of % f == 0; }

// The root when value is an exact k-th power, else 0.
uint128 exactRoot(uint128 value, int k)
{
    Fmpz root, power;
    const Fmpz n(value);
    fmpz_root(root.get(), n.get(), k);
    fmpz_pow_ui(power.get(), root.get(), static_cast<ulong>(k));
    return fmpz_equal(power.get(), n.get()) ? root.value() : 0;
}

// Splits the parts until only primes are left, one piece of work per step.
class Factoriser {
public:
    explicit Factoriser(std::vector<PrimePower> &found) : found_(found) {}

    void add(uint128 value, int exponent) { work_.push_back({value, exponent, kProve}); }
    bool done() const { return work_.empty(); }
    void step();

private:
    void factorWord(const Part &part);
    void proveOrRoot(const Part &part);
    uint128 findFactor(const Part &part);
    void record(uint128 prime, int exponent) { found_.push_back({prime, exponent}); }

    std::vector<PrimePower> &found_;
    std::vector<Part> work_;
    RandomState random_;
};

void Factoriser::step()
{
    const Part part = work_.back();
    work_.pop_back();
    if (part.value < kWordLimit)
        factorWord(part);
    else if (part.stage == kProve)
        proveOrRoot(part);
    else if (const uint128 f = findFactor(part); f != 0) {
        add(f, part.exponent);
        add(part.value / f, part.exponent);
    } else {
        work_.push_back({part.value, part.exponent, part.stage + 1});
    }
}

// Below 2^64 FLINT factors with proof; each prime is checked once more by
// the primality test that is deterministic there.
void Factoriser::factorWord(const Part &part)
{
    n_factor_t factors;
    n_factor_init(&factors);
    n_factor(&factors, static_cast<ulong>(part.value), 1);
    for (int i = 0; i < factors.num; ++i) {
        if (!n_is_prime(factors.p[i]))
            throw std::logic_error("factorise: a factor below 2^64 is not prime");
        record(factors.p[i], factors.exp[i] * part.exponent);
    }
}

// A part without factors below 2^16 that is a k-th power has a root above
// 2^16, so k < 8 for parts below 2^128: the prime powers 2, 3, 5 and 7 cover
// every k (a fourth power comes back as a square to be rooted again). Roots
// go first so that p^2 with a large p is not left to rho and ECM.
void Factoriser::proveOrRoot(const Part &part)
{
    for (const int k : {2, 3, 5, 7})
        if (const uint128 root = exactRoot(part.value, k); root != 0)
            return add(root, part.exponent * k);
    // 1 is a proof of primality, 0 a proof of compositeness.
    switch (fmpz_is_prime(Fmpz(part.value).get())) {
    case 1:
        return record(part.value, part.exponent);
    case 0:
        return work_.push_back({part.value, part.exponent, kRho});
    default:
        throw std::logic_error("factorise: a part could be proven neither prime nor composite");
    }
}

// A proper factor of the composite part found by its stage's method, else 0.
uint128 Factoriser::findFactor(const Part &part)
{
    Fmpz factor, n(part.value);
    int found = 0;
    if (part.stage == kRho) {
        found = fmpz_factor_pollard_brent(factor.get(), random_.get(), n.get(), 1, kRhoIterations);
    } else {
        const EcmRound round = ecmRound(part.stage);
        found = fmpz_factor_ecm(factor.get(), round.curves, round.b1, round.b2, random_.get(), n.get());
    }
    return found != 0 && isProperFactor(factor.value(), part.value) ? factor.value() : 0;
}

// Primes ascending with equal primes merged (splits of p^2 q can meet p
// twice), checked against the input: a product of proven primes equal to m
// is its one factorisation.
std::vector<PrimePower> sortedAndChecked(uint128 m, std::vector<PrimePower> found)
{
    std::sort(found.begin(), found.end(), [](const PrimePower &a, const PrimePower &b) { return a.prime < b.prime; });
    std::vector<PrimePower> merged;
    uint128 product = 1;
    for (const PrimePower &power : found) {
        if (!merged.empty() && merged.back().prime == power.prime)
            merged.back().exponent += power.exponent;
        else
            merged.push_back(power);
        for (int i = 0; i < power.exponent; ++i)
            if (__builtin_mul_overflow(product, power.prime, &product))
                throw std::logic_error("factorise: the factors overflow");
    }
    if (product != m)
        throw std::logic_error("factorise: the factors do not multiply to the number");
    return merged;
}

}  // namespace

std::optional<std::vector<PrimePower>> factorise(uint128 m, const std::stop_token &stop)
{
    if (m == 0)
        throw std::invalid_argument("factorise: 0 has no factorisation");
    if (stop.stop_requested())
        return std::nullopt;
    std::vector<PrimePower> found;
    Factoriser factoriser(found);
    if (const uint128 cofactor = divideOutSmallPrimes(m, found); cofactor > 1)
        factoriser.add(cofactor, 1);
    while (!factoriser.done()) {
        if (stop.stop_requested())
            return std::nullopt;
        factoriser.step();
    }
    return sortedAndChecked(m, std::move(found));
}

// Each prime extends the divisors so far by its powers, as long as they stay
// within the limit; d <= limit / p keeps d * p within it without overflow.
std::vector<std::uint64_t> divisorsUpTo(const std::vector<PrimePower> &factors, std::uint64_t limit)
{
    std::vector<std::uint64_t> divisors;
    if (limit == 0)
        return divisors;
    divisors.push_back(1);
    for (const PrimePower &power : factors) {
        if (power.prime > limit)
            continue;
        const auto p = static_cast<std::uint64_t>(power.prime);
        for (std::size_t i = 0, count = divisors.size(); i < count; ++i) {
            std::uint64_t d = divisors[i];
            for (int k = 0; k < power.exponent && d <= limit / p; ++k)
                divisors.push_back(d *= p);
        }
    }
    std::sort(divisors.begin(), divisors.end());
    return divisors;
}

}  // namespace core
