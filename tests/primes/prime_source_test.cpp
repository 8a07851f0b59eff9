// The prime source against trial division backed by an independent
// probable-prime test, and its refusal of strong pseudoprimes.

#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <boost/multiprecision/miller_rabin.hpp>
#include <numeric>
#include <vector>

#include "primes/prime_source.h"

namespace {

using boost::multiprecision::cpp_int;

uint128 parse(std::string_view digits)
{
    return std::accumulate(digits.begin(), digits.end(), uint128(0), [](uint128 v, char c) { return v * 10 + (c - '0'); });
}

cpp_int wide(uint128 n) { return (cpp_int(static_cast<std::uint64_t>(n >> 64)) << 64) | static_cast<std::uint64_t>(n); }

// Trial division settles every number below 2^20 and every number with a
// divisor below 2^10; the rest get a probable-prime test of a library that
// shares no code with the source.
bool isPrimeChecked(uint128 n)
{
    if (n < 2 || (n > 2 && n % 2 == 0))
        return false;
    for (uint128 d = 3; d < (1 << 10); d += 2) {
        if (d * d > n)
            return true;
        if (n % d == 0)
            return false;
    }
    return boost::multiprecision::miller_rabin_test(wide(n), 10);
}

// Strong probable prime to base a.
bool isStrongProbablePrime(const cpp_int &n, unsigned a)
{
    const auto twos = static_cast<unsigned>(lsb(cpp_int(n - 1)));
    cpp_int x = powm(cpp_int(a), (n - 1) >> twos, n);
    for (unsigned i = 0; i < twos; ++i, x = x * x % n)
        if (x == n - 1 || (i == 0 && x == 1))
            return true;
    return false;
}

using Window = std::pair<const char *, unsigned>;  // first number, length
class PrimeSourceWindow : public testing::TestWithParam<Window> {};

TEST_P(PrimeSourceWindow, YieldsExactlyThePrimes)
{
    const uint128 first = parse(GetParam().first);
    const uint128 last = first + GetParam().second;
    std::vector<uint128> expected, yielded;
    for (uint128 n = first; n <= last && n <= primes::kLimit; ++n)
        if (isPrimeChecked(n))
            expected.push_back(n);
    primes::PrimeSource source(first - 1, last);
    for (uint128 p = source.next(); p != 0 && p <= last; p = source.next())
        yielded.push_back(p);
    EXPECT_TRUE(!expected.empty() && yielded == expected) << yielded.size() << " primes yielded, " << expected.size() << " expected";
}

// From 2^40 on primes are proven instead of sieved; the row across 2^64 also
// crosses the proofs' sieving window of 2^16 numbers.
INSTANTIATE_TEST_SUITE_P(Ranges, PrimeSourceWindow,
                         testing::Values(Window("1", 100000), Window("4294966796", 1000),
                                         Window("9007199254740692", 600), Window("18014398509481684", 600),
                                         Window("18446744073709551216", 70000),
                                         Window("999999999999999999999999700", 600),
                                         Window("79228162514264337593543949735", 600)));

TEST(PrimeSource, EndsAtTheNumberTypesLimit)
{
    primes::PrimeSource source(primes::kLimit - 20);  // 2^96 - 17 is the last prime
    EXPECT_TRUE(source.next() == primes::kLimit - 16 && source.next() == 0 && source.next() == 0);
}

// Strong pseudoprimes to every prime base up to 37 and up to 41: probable-
// prime tests with those bases pass them, a proof must not.
TEST(PrimeSource, RefusesStrongPseudoprimes)
{
    const struct { const char *n; std::uint64_t factor; unsigned bases; } rows[] = {
        {"318665857834031151167461", 399165290221, 12}, {"3317044064679887385961981", 1287836182261, 13}};
    const unsigned primeBases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41};
    for (const auto &row : rows) {
        const uint128 n = parse(row.n);
        ASSERT_TRUE(n % row.factor == 0 && n > uint128(1) << 64);
        for (unsigned i = 0; i < row.bases; ++i)
            ASSERT_TRUE(isStrongProbablePrime(wide(n), primeBases[i])) << row.n << " base " << primeBases[i];
        EXPECT_FALSE(primes::isProvenPrime(n)) << row.n;
        primes::PrimeSource source(n - 2);
        for (uint128 p = source.next(); p <= n + 2; p = source.next())
            EXPECT_TRUE(p != n) << row.n;
    }
}

}  // namespace
