// The divisor report's record filter against the rule it stands in for: a
// trial divisor is a new best nonfactor when DivFraction of n and d is not 0
// and strictly below every fraction before it.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "analysis/best_nonfactors.h"
#include "numeric/decimal_num.h"

// The records over the trial divisors `from` to `to`, both ways.
static void expectSameRecords(const char *digits, std::uint64_t from, std::uint64_t to)
{
    uint128 n = 0;
    ASSERT_TRUE(DecimalNum::fromText(digits).toUInt128(n));
    BestNonfactors filtered(n);
    std::vector<std::pair<std::uint64_t, double>> fromFilter, fromRule;
    double best = 1.0;
    for (std::uint64_t d = from; d <= to; ++d) {
        const auto r = static_cast<std::uint64_t>(n % d);
        if (r != 0 && filtered.isRecord(d, r))
            fromFilter.emplace_back(d, filtered.best());
        const DecimalNum q = DecimalNum::fromUInt128(n) / DecimalNum::fromUInt128(d);
        const double fraction = (q - q.integerPart()).toDouble();
        if (fraction != 0 && fraction < best)
            fromRule.emplace_back(d, best = fraction);
    }
    EXPECT_EQ(fromFilter, fromRule) << "n = " << digits;
}

TEST(BestNonfactors, RecordsFollowTheRule)
{
    BestNonfactors records(9);
    EXPECT_TRUE(records.isRecord(2, 1) && records.best() == 0.5);
    EXPECT_FALSE(records.isRecord(6, 3));  // 9 / 6 = 1.5 only ties the record
    EXPECT_TRUE(records.isRecord(8, 1) && records.best() == 0.125);
    for (const char *n : {"360", "97", "1000000007", "30000000000000183"})
        expectSameRecords(n, 2, 30000);

    // Near 10^28 the quotient keeps few decimal places: its rounded fraction,
    // not r / d, decides, and ties between rounded fractions are common.
    for (const char *n : {"9999999999999999999999999999", "9999999999999999999999999998",
                          "7922816251426433759354395033", "1237940039285380274899124224"}) {
        expectSameRecords(n, 2, 100000);
        expectSameRecords(n, 99999000000, 99999100000);
    }
}
