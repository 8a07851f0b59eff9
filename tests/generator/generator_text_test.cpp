// Exact digits of the generator's numbers past 64 bits, which no window test
// reaches in reasonable time.

#include <gtest/gtest.h>

#include "generator/exact_text.h"

TEST(ExactText, DigitsOfEveryWidth)
{
    for (const char *digits : {"0", "7", "18446744073709551615", "18446744073709551616", "10000000000000000000",
                               "10000000000000000000000000000", "79228162514264337593543950335",
                               "340282366920938463463374607431768211455", "100000000000000000000000000000000000007"}) {
        uint128 value = 0;
        for (const char *c = digits; *c; ++c)
            value = value * 10 + static_cast<unsigned>(*c - '0');
        EXPECT_EQ(digitsText(value).toStdString(), digits);
    }
    EXPECT_EQ(signedDigitsText(36).toStdString(), " 36");
}
