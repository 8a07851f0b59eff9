// The engine's integer arithmetic against the decimal arithmetic it stands
// in for: the fraction formed from the remainder must be DivFraction's double
// bit for bit, and the divisor walk must try exactly the divisors of the
// stepwise rule.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>
#include <vector>

#include "engine/fast_fraction.h"
#include "engine/trial_divisors.h"
#include "ui/form1.h"

namespace {

const uint128 kTenTo28 = uint128(10000000000000000000ull) * 1000000000ull;
constexpr std::uint64_t kEngineDivisorMax = 100000000000006ull;  // beyond the largest bound 10^14

struct FractionCheck {
    int failures_ = 0;
    std::mt19937_64 engine_{20240611};

    void expectSame(uint128 n, std::uint64_t d)
    {
        const std::uint64_t r = fastfrac::remainder(n, d);
        ASSERT_EQ(r, static_cast<std::uint64_t>(n % d));
        const double fast = fastfrac::quotientFraction(n, d, r);
        const double exact = Form1::DivFraction(DecimalNum::fromUInt128(n), DecimalNum::fromUInt128(d));
        if (std::bit_cast<std::uint64_t>(fast) != std::bit_cast<std::uint64_t>(exact) && failures_++ < 10)
            ADD_FAILURE() << "n = " << DecimalNum::fromUInt128(n).trimmedText() << ", d = " << d << ": fast " << fast
                          << ", DivFraction " << exact;
    }

    std::uint64_t below(std::uint64_t limit) { return engine_() % limit; }
    uint128 below(uint128 limit) { return ((uint128(engine_()) << 64) | engine_()) % limit; }
    // Spread evenly over the number of digits, as the engine meets them.
    std::uint64_t divisor(std::uint64_t max)
    {
        const double logMax = std::log(static_cast<double>(max));
        const auto d = std::exp(std::uniform_real_distribution<double>(std::log(2.0), logMax)(engine_));
        return std::clamp<std::uint64_t>(static_cast<std::uint64_t>(d), 2, max);
    }
};

// Random pairs; remainders tiny or next to d with quotients of every length,
// so that every number of decimal places occurs.
TEST(QuotientFraction, EqualsDivFractionOnRandomPairsAndBorders)
{
    FractionCheck check;
    for (int i = 0; i < 1000000; ++i)
        check.expectSame(check.below(kTenTo28 - 2) + 2, check.divisor(i % 4 ? kEngineDivisorMax : ~0ull >> 1));
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t d = check.divisor(kEngineDivisorMax);
        const uint128 q = check.below((((kTenTo28 - 1 - d) / d) >> check.below(std::uint64_t(90))) + 1);
        for (std::uint64_t r : {std::uint64_t(1), std::uint64_t(2), d / 2, d - 2, d - 1})
            if (r != 0 && r < d)
                check.expectSame(q * d + r, d);
    }

// Divisors made of twos and fives end their quotients exactly or on a half,
// where rounding to even decides; n near 10^28 uses the fewest places.
// Different divisors with the same ratio reach it at different numbers of
// places: with d = a * b and k = 1 + t * b, n = m * k * d + k * a * c leaves
// the ratio c / b by both d and k * d.
    for (int twos = 0; twos <= 63; ++twos) {
        uint128 d = uint128(1) << twos;
        for (int fives = 0; fives <= 27 && d <= kEngineDivisorMax * 1000; ++fives, d *= 5)
            for (int i = 0; d >= 2 && i < 200; ++i)
                check.expectSame(i < 100 ? check.below(kTenTo28 - 2) + 2 : kTenTo28 - 1 - check.below(uint128(1000000)),
                                 static_cast<std::uint64_t>(d));
    }
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t a = 1 + check.below(std::uint64_t(100000)), b = 2 + check.below(std::uint64_t(100000));
        const std::uint64_t c = 1 + check.below(b - 1), k = 1 + (1 + check.below(std::uint64_t(1000))) * b;
        const uint128 step = uint128(k) * a * b;
        const uint128 n = check.below((kTenTo28 - 1) / step) * step + uint128(k) * a * c;
        check.expectSame(n, a * b);
        check.expectSame(n, static_cast<std::uint64_t>(step));
    }

// Quotients whose digits reach the last of the 96 bits: the whole part is
// 2^96 / 10^s cut to an integer (or one less) and the fraction's first s
// digits lie next to those of 2^96 - 1, so that the s-th place fits only
// truncated, or fits and then rounds past 2^96 - 1.
    const uint128 max = DecimalNum::kMaxCoefficient;
    uint128 tenToS = 1;
    for (int s = 1; s <= 28; ++s) {
        tenToS *= 10;
        const double edgeFraction = static_cast<double>(max % tenToS) / static_cast<double>(tenToS);
        for (uint128 whole : {max / tenToS, max / tenToS - 1}) {
            const auto dMax = static_cast<std::uint64_t>(std::min<uint128>((kTenTo28 - 1) / (whole + 1), ~0ull >> 1));
            for (int i = 0; dMax >= 2 && i < 300; ++i) {
                const std::uint64_t d = i == 0 ? dMax : check.divisor(dMax);
                const auto near = static_cast<std::int64_t>(edgeFraction * static_cast<double>(d));
                for (std::int64_t r = std::max<std::int64_t>(near - 3, 1); r <= near + 3 && r < std::int64_t(d); ++r)
                    check.expectSame(whole * d + static_cast<std::uint64_t>(r), d);
            }
        }
    }
}

// The stepwise rule, one candidate at a time: 2, then d + step with the
// second pass set to 3, and above 10 one skip each past a multiple of 3, of 5
// and of 7, while the candidate before its skips is within the bound.
std::vector<std::uint64_t> stepwiseDivisors(std::uint64_t bound, std::uint64_t step)
{
    std::vector<std::uint64_t> divisors;
    int passes = 0;
    for (std::uint64_t d = 2; d <= bound; d += step) {
        if (++passes == 2)
            d = 3;
        for (std::uint64_t p : {3, 5, 7})
            if (d > 10 && d % p == 0)
                d += 2;
        divisors.push_back(d);
    }
    return divisors;
}

std::vector<std::uint64_t> walkedDivisors(std::uint64_t bound, std::uint64_t step)
{
    std::vector<std::uint64_t> divisors;
    for (trial::DivisorWalk walk(bound, step); walk.next();)
        divisors.push_back(walk.divisor());
    return divisors;
}

TEST(DivisorWalk, TriesTheDivisorsOfTheStepwiseRule)
{
    EXPECT_EQ(walkedDivisors(1, 1), std::vector<std::uint64_t>{});
    EXPECT_EQ(walkedDivisors(4, 1), (std::vector<std::uint64_t>{2, 3, 4}));
    // 25 -> 27; 33 -> 35 -> 37; 49 -> 51; 15 is within a bound of 15 and tried as 17.
    EXPECT_EQ(walkedDivisors(52, 2), (std::vector<std::uint64_t>{2, 3, 5, 7, 9, 11, 13, 17, 19, 23, 27, 29, 31, 37, 41,
                                                               43, 47, 51}));
    for (std::uint64_t bound : {11ull, 12ull, 15ull, 209ull, 210ull, 211ull, 221ull, 3000000ull, 3000001ull})
        EXPECT_EQ(walkedDivisors(bound, 2), stepwiseDivisors(bound, 2)) << bound;
}

TEST(Bound, RoundsTheRootOfTheNearestDoubleHalfToEven)
{
    EXPECT_EQ(trial::roundHalfEven(2.5), 2);
    EXPECT_EQ(trial::roundHalfEven(3.5), 4);
    EXPECT_EQ(trial::bound(15), 4u);
    EXPECT_EQ(trial::bound(10000000000000061.0), 100000000u);
    // Squares of primes near 10^13 and 10^14 keep their root, although n
    // itself is rounded to a double.
    for (std::uint64_t p : {9999999999971ull, 99999999999973ull}) {
        EXPECT_EQ(trial::bound(static_cast<double>(uint128(p) * p)), p);
        EXPECT_EQ(trial::bound(static_cast<double>(uint128(p) * p - 1)), p);
    }
}

}  // namespace
