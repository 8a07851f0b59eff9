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
#include <span>
#include <vector>

#include "core/best_nonfactors.h"
#include "core/loop_kernel.h"
#include "core/neighbour_table.h"
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

void expectSameFraction(uint128 n, std::uint64_t d)
{
    const std::uint64_t r = fastfrac::remainder(n, d);
    ASSERT_EQ(r, static_cast<std::uint64_t>(n % d));
    const double fast = fastfrac::quotientFraction(n, d, r), exact = divFraction(n, d);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(fast), std::bit_cast<std::uint64_t>(exact))
        << DecimalNum::fromUInt128(n).trimmedText() << " / " << d << ": fast " << fast << ", DivFraction " << exact;
}

// Random pairs are fraction_fuzz's; here the structured cases that random
// inputs rarely hit.
TEST(QuotientFraction, EqualsDivFractionAtRoundingBorders)
{
    std::mt19937_64 random{20240611};
    const auto below = [&](uint128 limit) { return ((uint128(random()) << 64) | random()) % limit; };
    // Divisors made of twos and fives end their quotients exactly or on a half,
    // where rounding to even decides; n near 10^28 uses the fewest places.
    for (int twos = 0; twos <= 63; ++twos)
        for (uint128 d = uint128(1) << twos; d <= uint128(100000000000006ull) * 1000; d *= 5)
            for (int i = 0; d >= 2 && i < 20 && !HasFailure(); ++i)  // the first difference is enough
                expectSameFraction(i < 10 ? below(kTenTo28 - 2) + 2 : kTenTo28 - 1 - below(1000000),
                                   static_cast<std::uint64_t>(d));
    // Quotients whose digits reach the last of the 96 bits: the whole part is
    // 2^96 / 10^s cut to an integer (or one less) and the fraction's first s
    // digits lie next to those of 2^96 - 1, so that the s-th place fits only
    // truncated, or fits and then rounds past 2^96 - 1. Divisors spread evenly
    // over their number of digits.
    const uint128 max = DecimalNum::kMaxCoefficient;
    for (uint128 tenToS = 10; tenToS <= kTenTo28; tenToS *= 10) {
        const double edgeFraction = static_cast<double>(max % tenToS) / static_cast<double>(tenToS);
        for (uint128 whole : {max / tenToS, max / tenToS - 1}) {
            const auto dMax = static_cast<std::uint64_t>(std::min<uint128>((kTenTo28 - 1) / (whole + 1), ~0ull >> 1));
            std::uniform_real_distribution<double> logD(std::log(2.0), std::log(static_cast<double>(dMax) + 2));
            for (int i = 0; dMax >= 2 && i < 30 && !HasFailure(); ++i) {
                const std::uint64_t d =
                    i == 0 ? dMax : std::clamp<std::uint64_t>(std::uint64_t(std::exp(logD(random))), 2, dMax);
                const auto near = static_cast<std::int64_t>(edgeFraction * static_cast<double>(d));
                for (std::int64_t r = std::max<std::int64_t>(near - 3, 1); r <= near + 3 && r < std::int64_t(d); ++r)
                    expectSameFraction(whole * d + static_cast<std::uint64_t>(r), d);
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
    for (std::uint64_t d = 2, passes = 0; d <= bound; d += step) {
        d = ++passes == 2 ? 3 : d;
        for (std::uint64_t p : {3, 5, 7})
            d += d > 10 && d % p == 0 ? 2 : 0;
        divisors.push_back(d);
    }
    return divisors;
}

// By position, walked from any pass, and walked one by one (which the tests
// of the window take as their list), the trial divisors of the rule.
TEST(TrialSequence, HoldsTheDivisorsOfTheStepwiseRule)
{
    // 25 -> 27; 33 -> 35 -> 37; 49 -> 51; 15 is within a bound of 15 and tried as 17.
    EXPECT_EQ(stepwiseDivisors(52, 2),
              (std::vector<std::uint64_t>{2, 3, 5, 7, 9, 11, 13, 17, 19, 23, 27, 29, 31, 37, 41, 43, 47, 51}));
    for (std::uint64_t bound = 1; bound < 3000002; bound += bound < 700 ? 1 : 2999300) {
        const std::vector<std::uint64_t> divisors = stepwiseDivisors(bound, bound <= 4 ? 1 : 2);
        const trial::TrialSequence sequence(bound, bound <= 4 ? 1 : 2);
        ASSERT_EQ(sequence.size(), divisors.size()) << bound;
        trial::DivisorWalk walk(bound, bound <= 4 ? 1 : 2);
        for (std::uint64_t d : divisors)
            ASSERT_TRUE(walk.next() && walk.divisor() == d) << bound;
        ASSERT_FALSE(walk.next()) << bound;
        for (std::uint64_t from = 0; from < divisors.size(); from += bound < 700 ? 7 : 100003)
            for (auto cursor = sequence.cursor(from); std::uint64_t d : std::span(divisors).subspan(from))
                ASSERT_EQ(cursor.next(), d) << bound << " from " << from;
    }
}

TEST(Bound, RoundsTheRootOfTheNearestDoubleHalfToEven)
{
    for (const auto &[n, root] : std::vector<std::pair<double, std::uint64_t>>{
             {6.25, 2}, {12.25, 4}, {15, 4}, {10000000000000061.0, 100000000}})
        EXPECT_EQ(trial::bound(n), root) << n;
    // Squares of primes near 10^13 and 10^14 keep their root, although n
    // itself is rounded to a double.
    for (std::uint64_t p : {9999999999971ull, 99999999999973ull})
        for (uint128 square = uint128(p) * p; uint128 n : {square, square - 1})
            EXPECT_EQ(trial::bound(static_cast<double>(n)), p);
}

// A record's fraction is strictly below those before it.
TEST(BestNonfactors, AnEqualFractionIsNoRecord)
{
    BestNonfactors ratios(360);
    EXPECT_TRUE(ratios.isRecord(7, 3) && !ratios.isRecord(7, 3));
}

// The passes with a divisor, then 0, then the passes with a new best
// fraction, over the divisors first, first + 1, ...
using Findings = std::vector<std::uint64_t>;
Findings byTheRule(uint128 n, std::uint64_t first, std::uint64_t passes)
{
    Findings divisors, records;
    double best = 1.0;
    for (std::uint64_t pass = 0; pass < passes; ++pass)
        if (const double fraction = divFraction(n, first + pass); fraction == 0)
            divisors.push_back(pass);
        else if (fraction < best && (best = fraction))
            records.push_back(pass);
    divisors.push_back(0);
    divisors.insert(divisors.end(), records.begin(), records.end());
    return divisors;
}

// The findings of a pool's stretches read in order as the engine reads them:
// records confirmed against the best so far, which is published for the
// workers to start from; at most `stretches` stretches are read.
template <class Publish>
Findings readInOrder(core::StretchPool &pool, bool endAtDivisor, const Publish &publish,
                     std::uint64_t stretches = UINT64_MAX)
{
    Findings found, records;
    double best = 1.0;
    for (std::uint64_t read = 0; read < stretches && !pool.finished() && (found.empty() || !endAtDivisor);)
        if (const auto result = pool.next(std::chrono::milliseconds(10))) {
            ++read;
            found.insert(found.end(), result->divisorPasses.begin(), result->divisorPasses.end());
            for (const auto &candidate : result->ratioCandidates)
                if (candidate.fraction < best)
                    publish(best = candidate.fraction), records.push_back(candidate.pass);
        }
    found.push_back(0);
    found.insert(found.end(), records.begin(), records.end());
    return found;
}

// The walk from `first` in the pool's stretches of 97 passes.
Findings pooled(unsigned workers, uint128 n, std::uint64_t first, std::uint64_t passes, bool endAtDivisor = false)
{
    const trial::EvenlySpaced divisors{first, 1, passes};
    std::atomic<double> published{1.0};
    core::StretchPool pool(
        workers, (passes + 96) / 97,
        [&](std::uint64_t stretch, const std::stop_token &) {
            return core::scanStretch(
                divisors, n, {stretch * 97, std::min(stretch * 97 + 97, passes), true, endAtDivisor, published.load()});
        },
        endAtDivisor);
    return readInOrder(pool, endAtDivisor, [&](double best) { published = best; });
}

// Near 10^28 the quotient keeps few decimal places: its rounded fraction,
// not r / d, decides, and ties between rounded fractions are common.
TEST(StretchPool, FindsWhatTheRuleFindsWithAnyNumberOfWorkers)
{
    for (const auto &[digits, from] :
         std::vector<std::pair<const char *, std::uint64_t>>{{"360", 2},
                                                             {"1000575", 2},
                                                             {"30000000000000183", 2},
                                                             {"9999999999999999999999999999", 2},
                                                             {"7922816251426433759354395033", 2},
                                                             {"1237940039285380274899124224", 99999000000}}) {
        uint128 n = 0;
        ASSERT_TRUE(DecimalNum::fromText(digits).toUInt128(n));
        const Findings expected = byTheRule(n, from, 20000);
        for (unsigned workers : {0, 1, 4})
            EXPECT_EQ(pooled(workers, n, from, 20000), expected) << digits << ", workers " << workers;
    }
    // Ending at the first divisor: 10000000000000061 * 99991 has none below.
    EXPECT_EQ(pooled(4, uint128(10000000000000061ull) * 99991, 2, 200000, true).front(), 99989u);
}

// The divisor walk 1, 2, ... up to `last` from a pool over a loop kernel.
Findings fromKernel(unsigned workers, uint128 n, std::uint64_t last, std::uint64_t stretches = UINT64_MAX)
{
    core::LoopKernel kernel(trial::EvenlySpaced{1, 1, last}, n, {true, false, true});
    core::StretchPool pool(
        workers, kernel.plan().count(),
        [&](std::uint64_t k, const std::stop_token &stop) { return kernel.stretch(k, stop); }, false);
    return readInOrder(
        pool, false, [&](double best) { kernel.publishBest(best); }, stretches);
}

// Workers that jump share the factorisations of the neighbours and chain
// their bests; they find what one thread scanning finds, and a reader that
// leaves while they factorise stops them.
TEST(LoopKernel, JumpingWorkersFindWhatScanningFinds)
{
    for (const char *digits : {"999962000357", "963761198401", "1000000000039"}) {
        uint128 n = 0;
        ASSERT_TRUE(DecimalNum::fromText(digits).toUInt128(n));
        const std::uint64_t last = core::wholeRoot(n);
        core::setParallelSettings({1, 97, core::kNeverJump, false});
        const Findings scanned = fromKernel(0, n, last);
        core::setParallelSettings({4, 97, 200, true});
        core::forgetNeighbourTables();
        EXPECT_EQ(fromKernel(4, n, last), scanned) << digits;
        core::forgetNeighbourTables();
        fromKernel(4, n, last, 4);
    }
    core::setParallelSettings({});
}

// The reader leaves early: the workers stop and are joined.
TEST(StretchPool, StopsWhenTheReaderLeaves)
{
    for (int run = 0; run < 20; ++run) {
        std::atomic<int> scanned{0};
        {
            core::StretchPool pool(
                4, 1u << 20, [&](std::uint64_t, const std::stop_token &) { return ++scanned, core::StretchResult{}; },
                false);
            for (int i = 0; i < run; ++i)
                ASSERT_TRUE(pool.next(std::chrono::seconds(10)).has_value());
        }
        EXPECT_LE(scanned.load(), run + core::StretchPool::kLookAheadPerWorker * 4 + 4);
    }
}

}  // namespace
