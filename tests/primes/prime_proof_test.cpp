// The proofs against fmpz_is_prime alone, which proves or refutes every
// number, and composites that fool weaker tests.

#include <gtest/gtest.h>

#include <flint/fmpz.h>
#include <vector>

#include "numeric/decimal_num.h"
#include "primes/prime_source.h"

namespace {

uint128 parse(std::string_view digits) { return DecimalNum::fromText(digits).coefficient(); }

int slowProof(uint128 n)
{
    fmpz_t number;
    fmpz_init(number);
    fmpz_set_uiui(number, static_cast<mp_limb_t>(n >> 64), static_cast<mp_limb_t>(n));
    const int proof = fmpz_is_prime(number);
    fmpz_clear(number);
    return proof;
}

struct Window {
    const char *name;
    const char *first;
    unsigned length;
};
class ProvenPrimeWindow : public testing::TestWithParam<Window> {};

// Every odd number of the window: accepted exactly when fmpz_is_prime proves
// it prime, refused only when fmpz_is_prime proves it composite; and the
// prime source yields the accepted ones.
TEST_P(ProvenPrimeWindow, AgreesWithTheSlowProof)
{
    const uint128 first = parse(GetParam().first) | 1, last = first + GetParam().length;
    std::vector<uint128> accepted, yielded;
    for (uint128 n = first; n <= last; n += 2) {
        const bool fast = primes::isProvenPrime(n);
        ASSERT_EQ(slowProof(n), fast ? 1 : 0) << static_cast<unsigned long long>(n - first);
        if (fast)
            accepted.push_back(n);
    }
    primes::PrimeSource source(first - 1, last);
    for (uint128 p = source.next(); p != 0 && p <= last; p = source.next())
        yielded.push_back(p);
    EXPECT_TRUE(accepted.size() > 5 && yielded == accepted) << yielded.size() << " yielded, " << accepted.size();
}

// Below 2^81.5 the 13-base test proves; above it the pseudosquares test, up to
// about 2^94.7, where fmpz_is_prime takes over again.
INSTANTIATE_TEST_SUITE_P(Sizes, ProvenPrimeWindow,
                         testing::Values(Window{"below_13_bases_bound", "3317044064679887385900000", 1500},
                                         Window{"at_10_25", "10000000000000000000000000", 1500},
                                         Window{"at_10_27", "1000000000000000000000000000", 1500},
                                         Window{"near_10_28", "9999999999999999999999998500", 1500},
                                         Window{"beyond_pseudosquares", "33600000000000000000000000000", 1000}),
                         [](const auto &info) { return std::string(info.param.name); });

// Composites in 2^64 to 2^94, each with a factor that shows it. The
// Carmichael numbers pass every Fermat test; those marked base 2 are strong
// pseudoprimes to 2, and 1 mod 8, so that they reach the pseudosquares test.
TEST(ProvenPrime, RefusesCompositesThatFoolWeakerTests)
{
    struct Row {
        const char *name;
        const char *digits;
        std::uint64_t factor;
    };
    const Row rows[] = {
        {"strong pseudoprime to the bases up to 37", "318665857834031151167461", 399165290221},
        {"strong pseudoprime to the bases up to 41", "3317044064679887385961981", 1287836182261},
        {"Carmichael, 67 bits", "100147095286703777089", 2555617},
        {"Carmichael, 84 bits", "10000178756862299681418289", 118563817},
        {"Carmichael, base 2, 84 bits", "10005751574318855994065209", 118585837},
        {"Carmichael, bases 2 and 3, 84 bits", "10009017265411092004240609", 118598737},
        {"Carmichael, 90 bits", "1000012257229923082104380929", 550323457},
        {"Carmichael, bases 2, 5 and 29, 90 bits", "1000188696920041256932939321", 550355821},
        {"Carmichael, bases 2 and 23, 90 bits", "1000775539202279326474322809", 550463437},
        {"Carmichael, 93 bits", "9000193036071043819758863449", 1144722427},
        {"close primes, 87 bits", "100000000000880000000001887", 10000000000037},
        {"close primes, 90 bits", "900000000000720000000000143", 30000000000011},
        {"close primes, 94 bits", "10000000000009800000000002077", 100000000000031},
    };
    for (const Row &row : rows) {
        const uint128 n = parse(row.digits);
        ASSERT_TRUE(n % row.factor == 0 && n > uint128(1) << 64) << row.name;
        EXPECT_FALSE(primes::isProvenPrime(n)) << row.name;
        primes::PrimeSource source(n - 2);
        for (uint128 p = source.next(); p <= n + 2; p = source.next())
            EXPECT_NE(p, n) << row.name;
    }
}

}  // namespace
