// The divisor report's record filter against the rule it stands in for: a
// trial divisor is a new best nonfactor when DivFraction of n and d is not 0
// and strictly below every fraction before it.

#include <gtest/gtest.h>

#include <vector>

#include "analysis/best_nonfactors.h"
#include "numeric/decimal_num.h"

namespace {

struct Record {
    std::uint64_t d;
    double fraction;
    bool operator==(const Record &) const = default;
};

double divFraction(uint128 n, std::uint64_t d)
{
    const DecimalNum q = DecimalNum::fromUInt128(n) / DecimalNum::fromUInt128(d);
    return (q - q.integerPart()).toDouble();
}

// The records over the trial divisors `from` to `to`, both ways.
void expectSameRecords(uint128 n, std::uint64_t from, std::uint64_t to)
{
    BestNonfactors filtered(n);
    std::vector<Record> fromFilter;
    std::vector<Record> fromRule;
    double best = 1.0;
    for (std::uint64_t d = from; d <= to; ++d) {
        const auto r = static_cast<std::uint64_t>(n % d);
        if (r != 0 && filtered.isRecord(d, r))
            fromFilter.push_back({d, filtered.best()});
        const double fraction = divFraction(n, d);
        if (fraction != 0 && fraction < best) {
            best = fraction;
            fromRule.push_back({d, fraction});
        }
    }
    EXPECT_EQ(fromFilter, fromRule) << "n = " << DecimalNum::fromUInt128(n).trimmedText();
}

uint128 parse(const char *digits)
{
    uint128 n = 0;
    DecimalNum::fromText(digits).toUInt128(n);
    return n;
}

TEST(BestNonfactors, SmallNumbers)
{
    BestNonfactors records(9);
    EXPECT_TRUE(records.isRecord(2, 1));
    EXPECT_EQ(records.best(), 0.5);
    EXPECT_FALSE(records.isRecord(6, 3));  // 9 / 6 = 1.5 only ties the record
    EXPECT_TRUE(records.isRecord(8, 1));
    EXPECT_EQ(records.best(), 0.125);
    for (const char *n : {"360", "97", "1000000007", "30000000000000183"})
        expectSameRecords(parse(n), 2, 30000);
}

// Near 10^28 the quotient keeps few decimal places: its rounded fraction,
// not r / d, decides, and ties between rounded fractions are common.
TEST(BestNonfactors, NumbersWithCoarseQuotients)
{
    for (const char *n : {"9999999999999999999999999999", "9999999999999999999999999998",
                          "7922816251426433759354395033", "1237940039285380274899124224"}) {
        expectSameRecords(parse(n), 2, 100000);
        expectSameRecords(parse(n), 99999000000, 99999100000);
    }
}

}  // namespace
