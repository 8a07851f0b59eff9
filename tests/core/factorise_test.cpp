// The factoriser against factorisations worked out independently, and the
// divisors up to a limit. Random numbers are the jump fuzzer's, which
// checks the divisors they give against scanning; the kernel's tests
// factorise on several threads at once.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

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
        {"28-digit prime", "7000000000000000000000000019", " 7000000000000000000000000019^1"},
        {"square of a 14-digit prime", "900000000000660000000000121", " 30000000000011^2"},
        {"two 14-digit primes", "1800000000003430000000001617", " 20000000000021^1 90000000000077^1"},
        {"2^93", "9903520314283042199192993792", " 2^93"},
        {"Carmichael number", "9999109081", " 13^1 19^1 61^1 73^1 9091^1"},
        {"2^64 - 1", "18446744073709551615", " 3^1 5^1 17^1 257^1 641^1 65537^1 6700417^1"},
        {"2^64 + 1", "18446744073709551617", " 274177^1 67280421310721^1"},
        {"four 7-digit primes", "90000713002033002475001089", " 1000003^1 2000003^1 5000011^1 9000011^1"},
    };
    for (const auto &[name, number, expected] : rows) {
        EXPECT_LT(parse(number), uint128(1) << 96) << name;
        EXPECT_EQ(text(core::factorise(parse(number)).value()), expected) << name;
    }
}

TEST(Factorise, ARequestedStopEndsWithoutAnAnswer)
{
    std::stop_source source;
    source.request_stop();
    EXPECT_FALSE(core::factorise(parse("1800000000003430000000001617"), source.get_token()).has_value());
}

// Pruned at the limit and sorted; the divisors of small numbers are checked
// by every comparison of jumping with scanning.
TEST(DivisorsUpTo, KeepsThoseUpToTheLimitAscending)
{
    EXPECT_EQ(core::divisorsUpTo(core::factorise(360).value(), 20),
              (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 6, 8, 9, 10, 12, 15, 18, 20}));
    // 2^7 3^4 5^3 7^2 11^2 13 ... 53 has 2949120 divisors, 1083556 of them up to 10^12.
    const auto many = core::divisorsUpTo(core::factorise(parse("108404576758524964789872000")).value(), 1000000000000);
    EXPECT_EQ(many.size(), 1083556u);
    EXPECT_TRUE(std::is_sorted(many.begin(), many.end()));
}

}  // namespace
