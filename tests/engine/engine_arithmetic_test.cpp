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
#include "stepwise_divisors.h"
#include "ui/form1.h"

namespace {

const uint128 kTenTo28 = uint128(10000000000000000000ull) * 1000000000ull;

class FractionCheck {
public:
    void expectSame(uint128 n, std::uint64_t d)
    {
        const std::uint64_t r = fastfrac::remainder(n, d);
        ASSERT_EQ(r, static_cast<std::uint64_t>(n % d));
        const double fast = fastfrac::quotientFraction(n, d, r);
        const double exact = Form1::DivFraction(DecimalNum::fromUInt128(n), DecimalNum::fromUInt128(d));
        ++checked_;
        if (std::bit_cast<std::uint64_t>(fast) != std::bit_cast<std::uint64_t>(exact) &&
            failures_++ < 10) {
            ADD_FAILURE() << "n = " << DecimalNum::fromUInt128(n).trimmedText() << ", d = " << d
                          << ": fast " << fast << ", DivFraction " << exact;
        }
    }
    long checked() const { return checked_; }

private:
    long checked_ = 0;
    int failures_ = 0;
};

class Random {
public:
    std::uint64_t below(std::uint64_t limit) { return std::uniform_int_distribution<std::uint64_t>(0, limit - 1)(engine_); }
    uint128 below(uint128 limit)
    {
        const uint128 wide = (uint128(engine_()) << 64) | engine_();
        return wide % limit;
    }
    // Spread evenly over the number of digits, as the engine meets them.
    std::uint64_t divisor(std::uint64_t max)
    {
        const double logMax = std::log(static_cast<double>(max));
        const auto d = static_cast<std::uint64_t>(std::exp(std::uniform_real_distribution<double>(std::log(2.0), logMax)(engine_)));
        return std::clamp<std::uint64_t>(d, 2, max);
    }
    uint128 number(int maxDigits)
    {
        uint128 limit = 1;
        for (int i = 0, digits = 1 + int(below(std::uint64_t(maxDigits))); i < digits; ++i)
            limit *= 10;
        return below(limit);
    }

private:
    std::mt19937_64 engine_{20240611};
};

constexpr std::uint64_t kEngineDivisorMax = 100000000000006ull;  // beyond the largest bound 10^14

TEST(QuotientFraction, EqualsDivFractionOnRandomPairs)
{
    FractionCheck check;
    Random random;
    for (int i = 0; i < 1500000; ++i) {
        check.expectSame(random.below(kTenTo28 - 2) + 2, random.divisor(kEngineDivisorMax));
    }
    for (int i = 0; i < 500000; ++i) {
        const uint128 n = random.number(28) + 2;
        check.expectSame(n, random.divisor(~0ull >> 1));
    }
    EXPECT_EQ(check.checked(), 2000000);
}

// n = q * d + r with r tiny or next to d, q spread so that every number of
// decimal places occurs, from 28 down to a handful.
TEST(QuotientFraction, EqualsDivFractionForExtremeRemainders)
{
    FractionCheck check;
    Random random;
    for (int i = 0; i < 250000; ++i) {
        const std::uint64_t d = random.divisor(kEngineDivisorMax);
        const uint128 maxQuotient = (kTenTo28 - 1 - d) / d;
        const uint128 q = random.below((maxQuotient >> random.below(std::uint64_t(90))) + 1);
        for (std::uint64_t r : {std::uint64_t(1), std::uint64_t(2), d / 2, d - 2, d - 1}) {
            if (r == 0 || r >= d)
                continue;
            check.expectSame(q * d + r, d);
        }
    }
    EXPECT_GT(check.checked(), 1000000);
}

// Divisors made of twos and fives end their quotients exactly or on a half,
// where rounding to even decides; n near 10^28 uses the fewest places.
TEST(QuotientFraction, EqualsDivFractionOnHalfwayAndExactQuotients)
{
    FractionCheck check;
    Random random;
    for (int twos = 0; twos <= 63; ++twos) {
        for (int fives = 0; fives <= 27; ++fives) {
            uint128 d = uint128(1) << twos;
            for (int i = 0; i < fives; ++i)
                d *= 5;
            if (d < 2 || d > kEngineDivisorMax * 1000)
                continue;
            for (int i = 0; i < 200; ++i) {
                const uint128 n = i < 100 ? random.below(kTenTo28 - 2) + 2 : kTenTo28 - 1 - random.below(uint128(1000000));
                check.expectSame(n, static_cast<std::uint64_t>(d));
            }
        }
    }
    EXPECT_GT(check.checked(), 100000);
}

// Different divisors with the same exact ratio r / d reach it at different
// numbers of places; the doubles must still agree with DivFraction for each.
// With d = a * b, r = a * c and k = 1 + t * b, n = m * k * d + k * r leaves
// r by d and k * r by k * d: both ratios are c / b.
TEST(QuotientFraction, EqualsDivFractionForEqualRatiosOfDifferentDivisors)
{
    FractionCheck check;
    Random random;
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t a = 1 + random.below(std::uint64_t(100000));
        const std::uint64_t b = 2 + random.below(std::uint64_t(100000));
        const std::uint64_t c = 1 + random.below(b - 1);
        const std::uint64_t k = 1 + (1 + random.below(std::uint64_t(1000))) * b;
        const std::uint64_t d = a * b;
        const uint128 step = uint128(k) * d;
        const uint128 n = random.below((kTenTo28 - 1) / step) * step + uint128(k) * a * c;
        ASSERT_EQ(n % d, a * c);
        check.expectSame(n, d);
        check.expectSame(n, static_cast<std::uint64_t>(step));
    }
    EXPECT_EQ(check.checked(), 200000);
}

// Quotients whose digits reach the last of the 96 bits: the whole part is
// 2^96 / 10^s cut to an integer (or one less) and the remainder puts the
// fraction's first s digits next to those of 2^96 - 1, so that the s-th place
// fits only truncated, or fits and then rounds past 2^96 - 1.
TEST(QuotientFraction, EqualsDivFractionAtTheEdgeOf96Bits)
{
    FractionCheck check;
    Random random;
    const uint128 max = DecimalNum::kMaxCoefficient;
    uint128 tenToS = 1;
    for (int s = 1; s <= 28; ++s) {
        tenToS *= 10;
        const double edgeFraction = static_cast<double>(max % tenToS) / static_cast<double>(tenToS);
        for (uint128 whole : {max / tenToS, max / tenToS - 1}) {
            const uint128 dMax = std::min<uint128>((kTenTo28 - 1) / (whole + 1), ~0ull >> 1);
            if (dMax < 2)
                continue;
            for (int i = 0; i < 300; ++i) {
                const std::uint64_t d =
                    i == 0 ? static_cast<std::uint64_t>(dMax) : random.divisor(static_cast<std::uint64_t>(dMax));
                const auto near = static_cast<std::int64_t>(edgeFraction * static_cast<double>(d));
                for (std::int64_t r = near - 3; r <= near + 3; ++r)
                    if (r >= 1 && r < static_cast<std::int64_t>(d))
                        check.expectSame(whole * d + static_cast<std::uint64_t>(r), d);
            }
        }
    }
    EXPECT_GT(check.checked(), 100000);
}

TEST(QuotientFraction, KnownValues)
{
    EXPECT_EQ(fastfrac::quotientFraction(7, 2, 1), 0.5);
    EXPECT_EQ(fastfrac::quotientFraction(97, 3, 1), 1.0 / 3);
    EXPECT_EQ(fastfrac::quotientFraction(91, 7, 0), 0.0);
    // 9999999999999999999999999998 / 3: one place fits, .666... rounds to .7.
    const uint128 nines = kTenTo28 - 2;
    EXPECT_EQ(fastfrac::quotientFraction(nines, 3, static_cast<std::uint64_t>(nines % 3)), 0.7);
}

std::vector<std::uint64_t> walkedDivisors(std::uint64_t bound, std::uint64_t step)
{
    std::vector<std::uint64_t> divisors;
    trial::DivisorWalk walk(bound, step);
    while (walk.next())
        divisors.push_back(walk.divisor());
    return divisors;
}

TEST(DivisorWalk, TriesTheDivisorsOfTheStepwiseRule)
{
    EXPECT_EQ(walkedDivisors(1, 1), std::vector<std::uint64_t>{});
    EXPECT_EQ(walkedDivisors(3, 1), (std::vector<std::uint64_t>{2, 3}));
    EXPECT_EQ(walkedDivisors(4, 1), (std::vector<std::uint64_t>{2, 3, 4}));
    EXPECT_EQ(walkedDivisors(3, 2), (std::vector<std::uint64_t>{2}));
    EXPECT_EQ(walkedDivisors(4, 2), (std::vector<std::uint64_t>{2, 3}));
    EXPECT_EQ(walkedDivisors(10, 2), (std::vector<std::uint64_t>{2, 3, 5, 7, 9}));
    // 25 -> 27 is tried; 33 -> 35 -> 37; 49 -> 51; 15 is within a bound of
    // 15 and tried as 17.
    EXPECT_EQ(walkedDivisors(52, 2), (std::vector<std::uint64_t>{2, 3, 5, 7, 9, 11, 13, 17, 19, 23,
                                                               27, 29, 31, 37, 41, 43, 47, 51}));
    EXPECT_EQ(walkedDivisors(15, 2), (std::vector<std::uint64_t>{2, 3, 5, 7, 9, 11, 13, 17}));
    for (std::uint64_t bound : {11ull, 12ull, 209ull, 210ull, 211ull, 221ull, 3000000ull, 3000001ull})
        EXPECT_EQ(walkedDivisors(bound, 2), stepwiseDivisors(bound, 2)) << bound;
}

TEST(Bound, RoundsTheRootOfTheNearestDoubleHalfToEven)
{
    EXPECT_EQ(trial::roundHalfEven(2.5), 2);
    EXPECT_EQ(trial::roundHalfEven(3.5), 4);
    EXPECT_EQ(trial::roundHalfEven(1.5), 2);
    EXPECT_EQ(trial::roundHalfEven(2.4999), 2);
    EXPECT_EQ(trial::bound(2), 1u);
    EXPECT_EQ(trial::bound(15), 4u);
    EXPECT_EQ(trial::bound(91), 10u);
    EXPECT_EQ(trial::bound(10000000000000061.0), 100000000u);
    // Squares of primes near 10^13 and 10^14 (28 digits) keep their root,
    // although n itself is rounded to a double.
    for (std::uint64_t p : {9999999999971ull, 99999999999973ull}) {
        const uint128 square = uint128(p) * p;
        EXPECT_EQ(trial::bound(static_cast<double>(square)), p);
        EXPECT_EQ(trial::bound(static_cast<double>(square - 1)), p);
    }
}

}  // namespace
