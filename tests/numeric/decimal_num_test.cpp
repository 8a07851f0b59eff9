#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "numeric/decimal_num.h"
#include "numeric/decimal_reference.h"

namespace ref = decimal_reference;

void PrintTo(const DecimalNum &d, std::ostream *os) { *os << ref::describe(d); }

namespace {

constexpr uint128 kMax = DecimalNum::kMaxCoefficient;

DecimalNum num(const char *text) { return DecimalNum::fromText(text); }

uint128 pow10(int n) { return n > 0 ? 10 * pow10(n - 1) : 1; }

// Operands that reach the edges: extreme coefficients, every scale, both signs,
// half-way digits for the rounding rules.
struct OperandSource {
    std::mt19937_64 rng_;

    uint128 coefficient()
    {
        static const std::vector<uint128> special = {0, 1, 2, 3, 5, 7, 10, kMax, kMax - 1, kMax / 2, kMax / 2 + 1, kMax / 10,
            pow10(28), pow10(28) - 1, pow10(28) + 1, pow10(28) - 2, 5 * pow10(27), pow10(29) / 3, uint128(1) << 64,
            (uint128(1) << 64) - 1, uint128(1) << 53, (uint128(1) << 53) + 1};
        const auto kind = below(4);
        if (kind == 0)
            return special[below(special.size())];
        if (kind == 1) {  // random bit length
            const auto bits = unsigned(below(97));
            return bits == 0 ? 0 : ((uint128(rng_()) << 64) | rng_()) >> (128 - bits);
        }
        // a few digits followed by zeros, or a trailing 5
        return kind == 2 ? (below(1000) * 10 + (below(2) ? 5 : 0)) * pow10(int(below(25))) : rng_() % 1000;
    }
    DecimalNum operand() { return DecimalNum::fromParts(coefficient(), below(3) == 0 ? 0 : int(below(29)), below(2) == 0); }
    std::uint64_t below(std::uint64_t n) { return rng_() % n; }
};

// Runs `operation` on random pairs and compares each result, or overflow,
// with the exact model.
void expectMatchesModel(auto operation, auto model, std::uint64_t seed)
{
    OperandSource source{std::mt19937_64(seed)};
    for (int i = 0, failures = 0; i < 200000 && failures < 5; ++i) {
        const DecimalNum a = source.operand(), b = source.operand();
        if (b.isZero())
            continue;
        const auto expected = model(a, b);
        std::string outcome = "overflow";
        bool ok = !expected;
        try {
            const DecimalNum result = operation(a, b);
            outcome = ref::describe(result);
            ok = expected && ref::matches(result, *expected);
        } catch (const OverflowError &) {
        }
        if (!ok && ++failures)
            ADD_FAILURE() << ref::describe(a) << " and " << ref::describe(b) << " gave " << outcome
                          << ", expected " << (expected ? ref::describe(*expected) : "overflow");
    }
}

TEST(DecimalArithmetic, AllFourOperationsFollowTheModel)
{
    expectMatchesModel([](auto a, auto b) { return a + b; }, ref::expectedSum, 1);
    expectMatchesModel([](auto a, auto b) { return a - b; }, ref::expectedDifference, 2);
    expectMatchesModel([](auto a, auto b) { return a * b; }, ref::expectedProduct, 3);
    expectMatchesModel([](auto a, auto b) { return a / b; }, ref::expectedQuotient, 4);
}

TEST(DecimalArithmetic, OverflowOnBothSidesOfTheLimit)
{
    const DecimalNum max = DecimalNum::fromUInt128(kMax), one = DecimalNum::fromInt(1);
    EXPECT_EQ((num("9999999999999999999999999999") + one).coefficient(), pow10(28));
    EXPECT_THROW(max + one, OverflowError);
    EXPECT_THROW(DecimalNum() - max - one, OverflowError);
    // Half of the last unit rounds the odd maximum up and out of range.
    EXPECT_EQ(max + num("0.4999999999999"), max);
    EXPECT_THROW(max + num("0.5"), OverflowError);
    const DecimalNum half = DecimalNum::fromUInt128(kMax / 2);
    EXPECT_EQ(half * DecimalNum::fromInt(2), max - one);
    EXPECT_THROW((half + one) * DecimalNum::fromInt(2), OverflowError);
    EXPECT_THROW(max / num("0.1"), OverflowError);
    EXPECT_THROW(DecimalNum::fromParts(kMax + 1, 0, false), OverflowError);
}

TEST(DecimalDivision, ScalesRoundingAndDivisionByZero)
{
    const auto quotient = [](const char *a, const char *b) { return num(a) / num(b); };
    EXPECT_EQ(quotient("2", "3").signedText(), " .6666666666666666666666666667");
    // The digits reach the coefficient limit and round past it: one place fewer.
    EXPECT_EQ(quotient("5545971375998503631548076523.5", "7").signedText(), " 792281625142643375935439503.4");
    const DecimalNum rounded = quotient("9999999999999999999999999998", "3");
    EXPECT_EQ(rounded.signedText(), " 3333333333333333333333333332.7");
    EXPECT_THROW(DecimalNum() / num("0.000"), DivisionByZeroError);
    EXPECT_STREQ(DivisionByZeroError().what(), "Division by zero");
    EXPECT_STREQ(OverflowError().what(), "Overflow");
}

TEST(DecimalValue, IntegerPartComparisonAndToDouble)
{
    EXPECT_EQ(num("-0.0000000000000000000000000001").integerPart(), num("-1"));
    EXPECT_EQ(num("-0.00"), DecimalNum());
    EXPECT_FALSE(num("-0.00").isNegative());
    // Binary ties go to the even neighbour.
    EXPECT_EQ(num("9007199254740993").toDouble(), 9007199254740992.0);
    EXPECT_EQ(num("4503599627370497.5").toDouble(), 4503599627370498.0);

    OperandSource source{std::mt19937_64(6)};
    for (int i = 0; i < 50000; ++i) {
        const DecimalNum a = source.operand();
        const DecimalNum b = i % 4 ? source.operand()
                                   : DecimalNum::fromParts(a.coefficient() / 10, a.scale() - (a.scale() > 0), a.isNegative());
        const int order = ref::compare(ref::valueOf(a), ref::valueOf(b));
        ASSERT_TRUE(((a <=> b) < 0) == (order < 0) && (a == b) == (order == 0)) << ref::describe(a) << " " << ref::describe(b);
        const ref::Rational floor = ref::valueOf(a.integerPart()), value = ref::valueOf(a);
        ASSERT_TRUE(ref::compare(floor, value) <= 0 && ref::compare(value, ref::add(floor, {1, 1})) < 0 &&
                    a.integerPart().scale() == 0 && ref::isNearestDouble(value, a.toDouble()))
            << ref::describe(a);
    }

    uint128 out = 0;
    EXPECT_TRUE(num("120.00").toUInt128(out) && out == 120);
    EXPECT_FALSE(num("1.5").toUInt128(out) || num("-1").toUInt128(out));
}

TEST(DecimalConversion, FromDoubleKeepsFifteenSignificantDigits)
{
    EXPECT_FALSE(DecimalNum::fromDouble(-0.0).isNegative());
    EXPECT_THROW(DecimalNum::fromDouble(NAN), OverflowError);
    EXPECT_THROW(DecimalNum::fromDouble(-INFINITY), OverflowError);

    std::mt19937_64 rng(8);
    for (int i = 0; i < 20000; ++i) {
        const double mantissa = std::uniform_real_distribution<double>(0.5, 1.0)(rng);
        const double v = std::ldexp(rng() % 2 ? mantissa : -mantissa, int(rng() % 200) - 103);
        const auto expected = ref::roundToLargestScale(ref::roundedTo15Digits(v), DecimalNum::kMaxScale);
        if (!expected) {
            ASSERT_THROW(DecimalNum::fromDouble(v), OverflowError) << v;
            continue;
        }
        const ref::cpp_int c = expected->coefficient;
        ASSERT_EQ(ref::compare(ref::valueOf(DecimalNum::fromDouble(v)), {expected->negative ? -c : c, ref::pow10(expected->scale)}), 0) << v;
    }
}

TEST(DecimalText, ParsesDecimalText)
{
    EXPECT_EQ(ref::describe(num("  -012.50\t")), "-1250e-2");
    EXPECT_EQ(num("+.5"), num("0.5"));
    EXPECT_THROW(num("79228162514264337593543950336"), OverflowError);
    EXPECT_THROW(num("79228162514264337593543950335.5"), OverflowError);
    EXPECT_THROW(num(std::string(100000, '9').c_str()), OverflowError);
    EXPECT_EQ(num(("0." + std::string(100000, '9')).c_str()), num("1"));
    for (const char *garbage : {"", "  ", "-", ".", "-.", "1.2.3", "1e5", "12a", "1,000", "--1", "1 2", "- 1"})
        EXPECT_THROW(num(garbage), ConversionError) << '"' << garbage << '"';
    EXPECT_THROW(DecimalNum::fromText(std::string_view("1\0" "2", 3)), ConversionError);
    EXPECT_STREQ(ConversionError().what(), "Type mismatch");

    // Random digit strings; beyond what fits, fractional digits round half to even.
    OperandSource source{std::mt19937_64(9)};
    for (int i = 0; i < 20000; ++i) {
        const int wholeSize = int(source.below(32)), places = int(source.below(36));
        const bool negative = source.below(2);
        ref::Rational exact{0, ref::pow10(places)};
        std::string text = negative ? "-" : "";
        for (int n = 0; n < wholeSize + places; ++n) {
            text += std::string(n == wholeSize, '.') + char('0' + source.below(10));
            exact.num = exact.num * 10 + (negative ? '0' - text.back() : text.back() - '0');
        }
        const auto expected = ref::roundToLargestScale(exact, std::min(28, places));
        if (wholeSize + places == 0)
            continue;
        if (!expected)
            ASSERT_THROW(num(text.c_str()), OverflowError) << text;
        else
            ASSERT_TRUE(ref::matches(num(text.c_str()), *expected)) << text;
    }
}

TEST(DecimalText, SignedTrimmedAndFixedPatterns)
{
    EXPECT_EQ(num("0.2").signedText(), " .2");
    EXPECT_EQ(num("-3.50").signedText(), "-3.5");
    EXPECT_EQ(num("0.000").signedText(), " 0");
    EXPECT_EQ(num("-0.2").trimmedText(), "-.2");
    EXPECT_EQ(DecimalNum::fromUInt128(kMax).signedText(), " 79228162514264337593543950335");

    EXPECT_EQ(pattern17(num("0.2"), '.'), ".20000000000000000");
    EXPECT_EQ(pattern17(num("12.5"), '.'), "12.50000000000000000");
    // More places than the pattern: round half to even, carrying into the whole part.
    EXPECT_EQ(pattern19(num("0.00000000000000000005"), '.'), ".0000000000000000000");
    EXPECT_EQ(pattern19(num("0.00000000000000000015"), '.'), ".0000000000000000002");
    EXPECT_EQ(pattern19(num("0.99999999999999999999"), '.'), "1.0000000000000000000");
}

TEST(DoubleText, SignedTrimmedAndPlainForms)
{
    EXPECT_EQ(signedText(-0.0), " 0");
    EXPECT_EQ(signedText(-1e15), "-1E+15");
    EXPECT_EQ(signedText(999999999999999.9), " 1E+15");  // rounds up to 15 digits first
    EXPECT_EQ(signedText(1234567890123456.0), " 1.23456789012346E+15");
    EXPECT_EQ(signedText(1e-5), " .00001");
    EXPECT_EQ(signedText(1.5e-7), " 1.5E-07");
    EXPECT_EQ(trimmedText(-0.2), "-.2");
    EXPECT_EQ(plainText(-0.25, ','), "-0,25");
    EXPECT_EQ(plainText(1234567890123456.0, ','), "1,23456789012346E+15");
    EXPECT_EQ(plainText(1e-7, '.'), "1E-07");

    // Any double reads back as its value rounded to 15 significant digits.
    std::mt19937_64 rng(12);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::ldexp(std::uniform_real_distribution<double>(-1.0, 1.0)(rng), int(rng() % 140) - 70);
        char expected[40];
        std::snprintf(expected, sizeof expected, "%.14e", v);
        const double wanted = std::strtod(expected, nullptr);
        const std::string text = signedText(v);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), wanted) << text;
        const double size = std::fabs(wanted);
        ASSERT_EQ(text.find('E') != std::string::npos, size >= 1e15 || (size < 1e-5 && size != 0)) << text;
        ASSERT_EQ(std::strtod(plainText(v, '.').c_str(), nullptr), wanted);
    }
}

}  // namespace
