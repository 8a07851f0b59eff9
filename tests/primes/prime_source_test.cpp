// The prime source against trial division backed by an independent
// probable-prime test, and its refusal of strong pseudoprimes.

#include <gtest/gtest.h>

#include <boost/multiprecision/cpp_int.hpp>
#include <boost/multiprecision/miller_rabin.hpp>
#include <vector>

#include "numeric/decimal_num.h"
#include "primes/prime_source.h"

namespace {

uint128 parse(std::string_view digits) { return DecimalNum::fromText(digits).coefficient(); }

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
    using boost::multiprecision::cpp_int;
    const auto high = static_cast<std::uint64_t>(n >> 64), low = static_cast<std::uint64_t>(n);
    return boost::multiprecision::miller_rabin_test((cpp_int(high) << 64) | low, 10);
}

using Window = std::pair<const char *, unsigned>;  // first number, length
class PrimeSourceWindow : public testing::TestWithParam<Window> {};

// The row that reaches the number type's limit also checks that the source
// stays ended there.
TEST_P(PrimeSourceWindow, YieldsExactlyThePrimes)
{
    const uint128 first = parse(GetParam().first), last = first + GetParam().second;
    std::vector<uint128> expected, yielded;
    for (uint128 n = first; n <= last && n <= primes::kLimit; ++n)
        if (isPrimeChecked(n))
            expected.push_back(n);
    primes::PrimeSource source(first - 1, last);
    for (uint128 p = source.next(); p != 0 && p <= last; p = source.next())
        yielded.push_back(p);
    EXPECT_TRUE(!expected.empty() && yielded == expected)
        << yielded.size() << " primes yielded, " << expected.size() << " expected";
    EXPECT_TRUE(last < primes::kLimit || (source.next() == 0 && source.next() == 0));
}

// From 2^40 on primes are proven instead of sieved; the row across 2^64 also
// crosses the proofs' sieving window of 2^16 numbers; the last ends at 2^96 - 1.
INSTANTIATE_TEST_SUITE_P(Ranges, PrimeSourceWindow,
                         testing::Values(Window("1", 100000), Window("4294966796", 1000),
                                         Window("9007199254740692", 600), Window("18014398509481684", 600),
                                         Window("18446744073709551216", 70000),
                                         Window("999999999999999999999999700", 600),
                                         Window("79228162514264337593543949735", 600)));

// Strong pseudoprimes to every prime base up to 37 and up to 41, each with
// one of its factors: probable-prime tests with those bases pass them, a
// proof must not.
TEST(PrimeSource, RefusesStrongPseudoprimes)
{
    const std::pair<const char *, std::uint64_t> rows[] = {{"318665857834031151167461", 399165290221},
                                                           {"3317044064679887385961981", 1287836182261}};
    for (const auto &[digits, factor] : rows) {
        const uint128 n = parse(digits);
        ASSERT_TRUE(n % factor == 0 && n > uint128(1) << 64);
        EXPECT_FALSE(primes::isProvenPrime(n)) << digits;
        primes::PrimeSource source(n - 2);
        for (uint128 p = source.next(); p <= n + 2; p = source.next())
            EXPECT_TRUE(p != n) << digits;
    }
}

}  // namespace
