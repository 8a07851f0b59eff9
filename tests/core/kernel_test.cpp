// The trial-division kernel against the rules it stands in for: the fraction
// formed from the remainder is the decimal quotient's (DivFraction's) double
// bit for bit, the divisor sequences try exactly the divisors of the stepwise
// rule, the ratio filter keeps every record, and the thread pool hands out
// the same stretches in the same order with any number of workers. The bulk
// of random fractions is left to fraction_fuzz.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <random>
#include <ranges>
#include <vector>

#include "core/stretch_pool.h"
#include "core/trial_divisors.h"
#include "numeric/decimal_num.h"

namespace {

// DivFraction: the fractional part of the decimal quotient, as a double.
double divFraction(uint128 n, std::uint64_t d)
{
    const DecimalNum q = DecimalNum::fromUInt128(n) / DecimalNum::fromUInt128(d);
    return (q - q.integerPart()).toDouble();
}

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
        const double exact = divFraction(n, d);
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
    for (int i = 0; i < 20000; ++i)
        check.expectSame(check.below(kTenTo28 - 2) + 2, check.divisor(i % 4 ? kEngineDivisorMax : ~0ull >> 1));
    for (int i = 0; i < 4000; ++i) {
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
            for (int i = 0; d >= 2 && i < 20; ++i)
                check.expectSame(i < 10 ? check.below(kTenTo28 - 2) + 2 : kTenTo28 - 1 - check.below(uint128(1000000)),
                                 static_cast<std::uint64_t>(d));
    }
    for (int i = 0; i < 3000; ++i) {
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
            for (int i = 0; dMax >= 2 && i < 30; ++i) {
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

// By position, and walked from any pass: the same divisors as the walk.
TEST(TrialSequence, HoldsTheDivisorsOfTheWalk)
{
    for (std::uint64_t bound = 1; bound < 700; ++bound) {
        const std::uint64_t step = bound <= 4 ? 1 : 2;
        const std::vector<std::uint64_t> walked = walkedDivisors(bound, step);
        const trial::TrialSequence sequence(bound, step);
        ASSERT_EQ(sequence.size(), walked.size()) << bound;
        for (std::uint64_t from = 0; from < walked.size(); from += 7) {
            auto cursor = sequence.cursor(from);
            for (std::uint64_t pass = from; pass < walked.size(); ++pass)
                ASSERT_EQ(cursor.next(), walked[pass]) << bound << " from " << from;
        }
    }
    EXPECT_EQ(trial::TrialSequence(3000001, 2).size(), walkedDivisors(3000001, 2).size());
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

// The record filter lets through every record of the rule: a nonzero
// fraction strictly below every one before it (or below a given start).
TEST(BestNonfactors, RecordsFollowTheRule)
{
    const std::vector<std::pair<const char *, std::uint64_t>> cases = {
        {"360", 2}, {"30000000000000183", 2}, {"9999999999999999999999999999", 2},
        {"7922816251426433759354395033", 2}, {"1237940039285380274899124224", 99999000000}};
    for (const auto &[digits, from] : cases) {
        uint128 n = 0;
        ASSERT_TRUE(DecimalNum::fromText(digits).toUInt128(n));
        for (double start : {1.0, 0.001}) {
            BestNonfactors filter(n, start);
            double best = start;
            for (std::uint64_t d = from; d < from + 20000; ++d) {
                const auto r = static_cast<std::uint64_t>(n % d);
                const double fraction = divFraction(n, d);
                const bool record = fraction != 0 && fraction < best;
                ASSERT_EQ(r != 0 && filter.isRecord(d, r), record) << digits << " / " << d;
                if (record) {
                    ASSERT_EQ(filter.best(), fraction);
                    best = fraction;
                }
            }
        }
    }
}

// Every stretch of 2, 3, 4, ... as the pool hands them out.
std::vector<core::StretchResult> pooled(unsigned workers, uint128 n, std::uint64_t passes, bool endAtDivisor,
                                        std::uint64_t stretchPasses = 97)
{
    const trial::EvenlySpaced divisors{2, 1, passes};
    const std::uint64_t stretches = (passes + stretchPasses - 1) / stretchPasses;
    core::StretchPool pool(workers, stretches, [&](std::uint64_t stretch) {
        const std::uint64_t first = stretch * stretchPasses;
        return core::scanStretch(divisors, n, {first, std::min(first + stretchPasses, passes), true, endAtDivisor, 1.0});
    }, endAtDivisor);
    std::vector<core::StretchResult> results;
    while (!pool.finished() && (results.empty() || !endAtDivisor || results.back().divisorPasses.empty()))
        if (auto result = pool.next(std::chrono::milliseconds(10)))
            results.push_back(std::move(*result));
    return results;
}

// The divisors, then the records that a reader confirms from the candidates.
std::vector<std::uint64_t> confirmed(const std::vector<core::StretchResult> &results)
{
    std::vector<std::uint64_t> divisors, records;
    double best = 1.0;
    for (const auto &result : results) {
        divisors.insert(divisors.end(), result.divisorPasses.begin(), result.divisorPasses.end());
        for (const auto &candidate : result.ratioCandidates)
            if (candidate.fraction < best) {
                best = candidate.fraction;
                records.push_back(candidate.pass);
            }
    }
    divisors.push_back(0);
    divisors.insert(divisors.end(), records.begin(), records.end());
    return divisors;
}

TEST(StretchPool, HandsOutTheSameStretchesInOrder)
{
    const uint128 n = 30000000000000183ull;
    const auto alone = pooled(0, n, 100000, false, 100000);
    std::vector<std::uint64_t> divisors, records;
    for (double best = 1.0; std::uint64_t pass : std::views::iota(0u, 100000u)) {
        const double fraction = divFraction(n, pass + 2);
        if (fraction == 0)
            divisors.push_back(pass);
        else if (fraction < best && (best = fraction))
            records.push_back(pass);
    }
    divisors.push_back(0);
    divisors.insert(divisors.end(), records.begin(), records.end());
    EXPECT_EQ(confirmed(alone), divisors);
    EXPECT_EQ(confirmed(pooled(1, n, 100000, false)), confirmed(alone));
    EXPECT_EQ(confirmed(pooled(4, n, 100000, false)), confirmed(alone));
    // Ending at the first divisor: 10000000000000061 * 99991 has none below.
    const uint128 product = uint128(10000000000000061ull) * 99991;
    const auto first = pooled(4, product, 200000, true);
    EXPECT_EQ(first.size(), 99989u / 97 + 1);
    EXPECT_EQ(first.back().divisorPasses, std::vector<std::uint64_t>{99989});
}

// The reader leaves early: the workers stop and are joined.
TEST(StretchPool, StopsWhenTheReaderLeaves)
{
    for (int run = 0; run < 20; ++run) {
        std::atomic<int> scanned{0};
        {
            core::StretchPool pool(4, 1u << 20, [&](std::uint64_t) {
                ++scanned;
                return core::StretchResult{};
            }, false);
            for (int i = 0; i < run; ++i)
                ASSERT_TRUE(pool.next(std::chrono::seconds(10)).has_value());
        }
        EXPECT_LE(scanned.load(), run + 4 * 4 + 4);
    }
}

}  // namespace
