// The factoriser against factorisations worked out independently, against
// FLINT's general factoriser on random numbers, and from two threads at
// once; the divisors against brute force.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <flint/fmpz.h>
#include <flint/fmpz_factor.h>
#include <random>
#include <string>
#include <thread>

#include "core/factorise.h"
#include "numeric/decimal_num.h"

namespace {

using core::PrimePower;
using Factors = std::vector<PrimePower>;

uint128 parse(const char *digits)
{
    uint128 n = 0;
    EXPECT_TRUE(DecimalNum::fromText(digits).toUInt128(n)) << digits;
    return n;
}

std::string text(const Factors &factors)
{
    std::string out;
    for (const auto &[prime, exponent] : factors) {
        out += ' ';
        out += DecimalNum::fromUInt128(prime).trimmedText();
        out += '^';
        out += std::to_string(exponent);
    }
    return out;
}

TEST(Factorise, KnownFactorisations)
{
    const std::vector<std::array<const char *, 3>> rows{
        {"one", "1", ""},
        {"two", "2", " 2^1"},
        {"28-digit prime", "7000000000000000000000000019", " 7000000000000000000000000019^1"},
        {"square of a 14-digit prime", "900000000000660000000000121", " 30000000000011^2"},
        {"two 14-digit primes", "1800000000003430000000001617", " 20000000000021^1 90000000000077^1"},
        {"2^93", "9903520314283042199192993792", " 2^93"},
        {"3^58", "4710128697246244834921603689", " 3^58"},
        {"Carmichael number", "9999109081", " 13^1 19^1 61^1 73^1 9091^1"},
        {"highly composite", "897612484786617600", " 2^8 3^4 5^2 7^2 11^1 13^1 17^1 19^1 23^1 29^1 31^1 37^1"},
        {"2^64 - 1", "18446744073709551615", " 3^1 5^1 17^1 257^1 641^1 65537^1 6700417^1"},
        {"2^64 + 1", "18446744073709551617", " 274177^1 67280421310721^1"},
        {"10^27", "1000000000000000000000000000", " 2^27 5^27"},
        {"10^28 - 1", "9999999999999999999999999999",
         " 3^2 11^1 29^1 101^1 239^1 281^1 4649^1 909091^1 121499449^1"},
        {"four 7-digit primes", "90000713002033002475001089", " 1000003^1 2000003^1 5000011^1 9000011^1"},
    };
    for (const auto &[name, number, expected] : rows) {
        EXPECT_LT(parse(number), uint128(1) << 96) << name;
        EXPECT_EQ(text(core::factorise(parse(number)).value()), expected) << name;
    }
}

// FLINT's general factoriser, its primes put in ascending order.
Factors flintFactors(uint128 m)
{
    fmpz_t n;
    fmpz_init(n);
    fmpz_set_uiui(n, static_cast<mp_limb_t>(m >> 64), static_cast<mp_limb_t>(m));
    fmpz_factor_t factors;
    fmpz_factor_init(factors);
    fmpz_factor(factors, n);
    Factors out;
    for (slong i = 0; i < factors->num; ++i) {
        mp_limb_t high = 0, low = 0;
        fmpz_get_uiui(&high, &low, factors->p + i);
        out.push_back({(uint128(high) << 64) | low, static_cast<int>(factors->exp[i])});
    }
    fmpz_factor_clear(factors);
    fmpz_clear(n);
    std::ranges::sort(out, {}, &PrimePower::prime);
    return out;
}

// Random numbers of 20 to 28 digits; each with its successor, as the kernel
// asks for runs of consecutive numbers.
std::vector<uint128> randomNumbers(int count, std::uint64_t seed)
{
    std::mt19937_64 random{seed};
    std::vector<uint128> numbers;
    for (int i = 0; i < count; ++i) {
        uint128 low = 1;
        for (std::uint64_t digits = 20 + random() % 9; --digits > 0;)
            low *= 10;
        const uint128 n = low + ((uint128(random()) << 64) | random()) % (9 * low);
        numbers.insert(numbers.end(), {n, n + 1});
    }
    return numbers;
}

TEST(Factorise, AgreesWithFlintOnRandomNumbers)
{
    for (const uint128 n : randomNumbers(100, 20240612))
        ASSERT_EQ(text(core::factorise(n).value()), text(flintFactors(n))) << DecimalNum::fromUInt128(n).trimmedText();
}

TEST(Factorise, GivesTheSameAnswersFromTwoThreadsAtOnce)
{
    const std::vector<uint128> numbers = randomNumbers(20, 7);
    std::vector<Factors> alone, together(numbers.size());
    for (const uint128 n : numbers)
        alone.push_back(core::factorise(n).value());
    const auto half = [&](std::size_t from) {
        for (std::size_t i = from; i < numbers.size(); i += 2)
            together[i] = core::factorise(numbers[i]).value();
    };
    std::thread other(half, 1);
    half(0);
    other.join();
    EXPECT_EQ(together, alone);
}

TEST(Factorise, ARequestedStopEndsWithoutAnAnswer)
{
    std::stop_source source;
    source.request_stop();
    EXPECT_FALSE(core::factorise(parse("1800000000003430000000001617"), source.get_token()).has_value());
}

TEST(DivisorsUpTo, EqualsBruteForce)
{
    for (std::uint64_t m = 1; m <= 400; ++m)
        for (const std::uint64_t limit : {std::uint64_t(0), std::uint64_t(1), m / 3, m - 1, m, std::uint64_t(1) << 40}) {
            std::vector<std::uint64_t> expected;
            for (std::uint64_t d = 1; d <= std::min(m, limit); ++d)
                if (m % d == 0)
                    expected.push_back(d);
            ASSERT_EQ(core::divisorsUpTo(core::factorise(m).value(), limit), expected) << m << " up to " << limit;
        }
    // 2^7 3^4 5^3 7^2 11^2 13 ... 53 has 2949120 divisors, 1083556 of them up to 10^12.
    const auto many = core::divisorsUpTo(core::factorise(parse("108404576758524964789872000")).value(), 1000000000000);
    EXPECT_EQ(many.size(), 1083556u);
    EXPECT_TRUE(std::is_sorted(many.begin(), many.end()));
}

}  // namespace
