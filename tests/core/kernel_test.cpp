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

// Random pairs are fraction_fuzz's; here the structured cases that random
// inputs rarely hit.
TEST(QuotientFraction, EqualsDivFractionAtRoundingBorders)
{
    FractionCheck check;
// Divisors made of twos and fives end their quotients exactly or on a half,
// where rounding to even decides; n near 10^28 uses the fewest places.
    for (int twos = 0; twos <= 63; ++twos) {
        uint128 d = uint128(1) << twos;
        for (int fives = 0; fives <= 27 && d <= kEngineDivisorMax * 1000; ++fives, d *= 5)
            for (int i = 0; d >= 2 && i < 20; ++i)
                check.expectSame(i < 10 ? check.below(kTenTo28 - 2) + 2 : kTenTo28 - 1 - check.below(uint128(1000000)),
                                 static_cast<std::uint64_t>(d));
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

// By position, and walked from any pass, the trial divisors of the rule.
TEST(TrialSequence, HoldsTheDivisorsOfTheStepwiseRule)
{
    // 25 -> 27; 33 -> 35 -> 37; 49 -> 51; 15 is within a bound of 15 and tried as 17.
    EXPECT_EQ(stepwiseDivisors(52, 2), (std::vector<std::uint64_t>{2, 3, 5, 7, 9, 11, 13, 17, 19, 23, 27, 29, 31, 37,
                                                                 41, 43, 47, 51}));
    for (std::uint64_t bound = 1; bound < 3000002; bound += bound < 700 ? 1 : 2999300) {
        const std::uint64_t step = bound <= 4 ? 1 : 2;
        const std::vector<std::uint64_t> divisors = stepwiseDivisors(bound, step);
        const trial::TrialSequence sequence(bound, step);
        ASSERT_EQ(sequence.size(), divisors.size()) << bound;
        for (std::uint64_t from = 0; from < divisors.size(); from += bound < 700 ? 7 : 100003) {
            auto cursor = sequence.cursor(from);
            for (std::uint64_t pass = from; pass < divisors.size(); ++pass)
                ASSERT_EQ(cursor.next(), divisors[pass]) << bound << " from " << from;
        }
    }
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

// The passes with a divisor, then 0, then the passes with a new best
// fraction, over the divisors first, first + 1, ...
using Findings = std::vector<std::uint64_t>;
Findings byTheRule(uint128 n, std::uint64_t first, std::uint64_t passes)
{
    Findings divisors, records;
    for (double best = 1.0; std::uint64_t pass : std::views::iota(std::uint64_t(0), passes)) {
        const double fraction = divFraction(n, first + pass);
        if (fraction == 0)
            divisors.push_back(pass);
        else if (fraction < best && (best = fraction))
            records.push_back(pass);
    }
    divisors.push_back(0);
    divisors.insert(divisors.end(), records.begin(), records.end());
    return divisors;
}

// The same from the pool's stretches, read in order as the engine reads them:
// records confirmed against the best so far, which the workers start from.
Findings pooled(unsigned workers, uint128 n, std::uint64_t first, std::uint64_t passes, bool endAtDivisor = false,
                std::uint64_t stretchPasses = 97)
{
    const trial::EvenlySpaced divisors{first, 1, passes};
    std::atomic<double> published{1.0};
    core::StretchPool pool(workers, (passes + stretchPasses - 1) / stretchPasses, [&](std::uint64_t stretch) {
        const std::uint64_t from = stretch * stretchPasses, end = std::min(from + stretchPasses, passes);
        return core::scanStretch(divisors, n, {from, end, true, endAtDivisor, published.load()});
    }, endAtDivisor);
    Findings found, records;
    while (!pool.finished() && (found.empty() || !endAtDivisor))
        if (const auto result = pool.next(std::chrono::milliseconds(10))) {
            found.insert(found.end(), result->divisorPasses.begin(), result->divisorPasses.end());
            for (const auto &candidate : result->ratioCandidates)
                if (candidate.fraction < published) {
                    published = candidate.fraction;
                    records.push_back(candidate.pass);
                }
        }
    found.push_back(0);
    found.insert(found.end(), records.begin(), records.end());
    return found;
}

// Near 10^28 the quotient keeps few decimal places: its rounded fraction,
// not r / d, decides, and ties between rounded fractions are common.
TEST(StretchPool, FindsWhatTheRuleFindsWithAnyNumberOfWorkers)
{
    const std::vector<std::pair<const char *, std::uint64_t>> cases = {
        {"360", 2}, {"30000000000000183", 2}, {"9999999999999999999999999999", 2},
        {"7922816251426433759354395033", 2}, {"1237940039285380274899124224", 99999000000}};
    for (const auto &[digits, from] : cases) {
        uint128 n = 0;
        ASSERT_TRUE(DecimalNum::fromText(digits).toUInt128(n));
        const Findings expected = byTheRule(n, from, 20000);
        for (unsigned workers : {0, 1, 4})
            EXPECT_EQ(pooled(workers, n, from, 20000), expected) << digits << ", workers " << workers;
    }
    // Ending at the first divisor: 10000000000000061 * 99991 has none below.
    const uint128 product = uint128(10000000000000061ull) * 99991;
    EXPECT_EQ(pooled(4, product, 2, 200000, true).front(), 99989u);
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
