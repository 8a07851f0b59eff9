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

uint128 parseUInt128(const char *digits)
{
    uint128 v = 0;
    for (; *digits; ++digits)
        v = v * 10 + unsigned(*digits - '0');
    return v;
}

uint128 pow10(int n)
{
    uint128 v = 1;
    while (n-- > 0)
        v *= 10;
    return v;
}

// Operands that reach the edges: extreme coefficients, every scale, both signs,
// half-way digits for the rounding rules.
class OperandSource {
public:
    explicit OperandSource(std::uint64_t seed) : rng_(seed) {}

    uint128 coefficient()
    {
        static const std::vector<uint128> special = {
            0, 1, 2, 3, 5, 7, 10, kMax, kMax - 1, kMax / 2, kMax / 2 + 1, kMax / 10,
            pow10(28), pow10(28) - 1, pow10(28) + 1, uint128(1) << 64, (uint128(1) << 64) - 1,
            uint128(1) << 53, (uint128(1) << 53) + 1, parseUInt128("9999999999999999999999999998"),
            parseUInt128("5000000000000000000000000000"), parseUInt128("33333333333333333333333333333")};
        switch (below(5)) {
        case 0:
            return special[below(special.size())];
        case 1: {  // random bit length
            const auto bits = unsigned(below(97));
            const uint128 all = (uint128(rng_()) << 64) | rng_();
            return bits == 0 ? 0 : all >> (128 - bits);
        }
        case 2: {  // random decimal digits, up to 29 of them
            uint128 v = 0;
            for (auto n = below(30); n > 0; --n)
                v = v * 10 + below(10);
            return v % (kMax + 1);
        }
        case 3:  // a few digits followed by zeros, or a trailing 5
            return (below(1000) * 10 + (below(2) ? 5 : 0)) * pow10(int(below(25)));
        default:
            return rng_() % 1000;
        }
    }

    DecimalNum operand()
    {
        const int scale = below(3) == 0 ? 0 : int(below(29));
        return DecimalNum::fromParts(coefficient(), scale, below(2) == 0);
    }

    std::uint64_t below(std::uint64_t n) { return rng_() % n; }
    std::mt19937_64 &rng() { return rng_; }

private:
    std::mt19937_64 rng_;
};

using Model = std::optional<ref::Expected> (*)(const DecimalNum &, const DecimalNum &);

// Runs `operation` on random pairs and compares each result, or overflow,
// with the exact model.
template <typename Operation>
void expectMatchesModel(Operation operation, Model model, std::uint64_t seed, int rounds)
{
    OperandSource source(seed);
    int failures = 0;
    for (int i = 0; i < rounds && failures < 5; ++i) {
        const DecimalNum a = source.operand();
        const DecimalNum b = source.operand();
        if (b.isZero())
            continue;  // division by zero is tested on its own
        const auto expected = model(a, b);
        std::string outcome = "overflow";
        bool ok = false;
        try {
            const DecimalNum result = operation(a, b);
            outcome = ref::describe(result);
            ok = expected && ref::matches(result, *expected);
        } catch (const OverflowError &) {
            ok = !expected;
        }
        if (!ok) {
            ++failures;
            ADD_FAILURE() << ref::describe(a) << " and " << ref::describe(b) << " gave " << outcome
                          << ", expected " << (expected ? ref::describe(*expected) : "overflow");
        }
    }
}

TEST(DecimalArithmetic, SumsAndDifferencesFollowTheModel)
{
    expectMatchesModel([](auto a, auto b) { return a + b; }, ref::expectedSum, 1, 200000);
    expectMatchesModel([](auto a, auto b) { return a - b; }, ref::expectedDifference, 2, 200000);
}

TEST(DecimalArithmetic, ProductsFollowTheModel)
{
    expectMatchesModel([](auto a, auto b) { return a * b; }, ref::expectedProduct, 3, 200000);
}

TEST(DecimalArithmetic, QuotientsFollowTheModel)
{
    expectMatchesModel([](auto a, auto b) { return a / b; }, ref::expectedQuotient, 4, 200000);
}

TEST(DecimalArithmetic, OverflowOnBothSidesOfTheLimit)
{
    const DecimalNum max = DecimalNum::fromUInt128(kMax);
    const DecimalNum one = DecimalNum::fromInt(1);
    const DecimalNum nines = num("9999999999999999999999999999");
    EXPECT_EQ((nines + one).coefficient(), pow10(28));
    EXPECT_EQ((nines + one).scale(), 0);
    EXPECT_THROW(max + one, OverflowError);
    EXPECT_EQ(max - one + one, max);
    EXPECT_THROW(DecimalNum() - max - one, OverflowError);
    EXPECT_EQ(DecimalNum() - max + one - one, DecimalNum() - max);

    // A fraction pushes the sum to a smaller scale; half of the last unit
    // rounds the odd maximum up and out of range.
    EXPECT_EQ(max + num("0.4999999999999"), max);
    EXPECT_THROW(max + num("0.5"), OverflowError);
    EXPECT_THROW(DecimalNum() - max - num("0.5"), OverflowError);

    const DecimalNum half = DecimalNum::fromUInt128(kMax / 2);  // odd maximum: 2 * half = max - 1
    EXPECT_EQ(half * DecimalNum::fromInt(2), max - one);
    EXPECT_THROW((half + one) * DecimalNum::fromInt(2), OverflowError);
    EXPECT_THROW(max / num("0.1"), OverflowError);
    EXPECT_EQ(max / one, max);
    EXPECT_EQ(max / num("1.0000000000000000000000000000"), max);
    EXPECT_THROW(DecimalNum::fromParts(kMax + 1, 0, false), OverflowError);
    EXPECT_THROW(DecimalNum::fromParts(1, 29, false), OverflowError);
}

TEST(DecimalDivision, ScalesAndRoundingOfQuotients)
{
    const auto quotient = [](const char *a, const char *b) { return num(a) / num(b); };
    EXPECT_EQ(quotient("6", "3").scale(), 0);
    EXPECT_EQ(quotient("6", "3").coefficient(), 2);
    EXPECT_EQ(quotient("1", "4").scale(), 2);
    EXPECT_EQ(quotient("1", "4").coefficient(), 25);
    EXPECT_EQ(quotient("20", "0.5").scale(), 0);
    EXPECT_EQ(quotient("2", "3").signedText(), " .6666666666666666666666666667");
    EXPECT_EQ(quotient("-7", "2").signedText(), "-3.5");

    // The digits reach the coefficient limit and round past it: one place fewer.
    EXPECT_EQ(quotient("5545971375998503631548076523.5", "7").signedText(), " 792281625142643375935439503.4");

    const DecimalNum whole = quotient("9999999999999999999999999999", "3");
    EXPECT_EQ(whole.scale(), 0);
    EXPECT_EQ((whole - whole.integerPart()).toDouble(), 0.0);
    const DecimalNum rounded = quotient("9999999999999999999999999998", "3");
    EXPECT_EQ(rounded.signedText(), " 3333333333333333333333333332.7");
    EXPECT_EQ((rounded - rounded.integerPart()).toDouble(), 0.7);

    EXPECT_THROW(num("1") / DecimalNum(), DivisionByZeroError);
    EXPECT_THROW(DecimalNum() / num("0.000"), DivisionByZeroError);
    EXPECT_STREQ(DivisionByZeroError().what(), "Division by zero");
    EXPECT_STREQ(OverflowError().what(), "Overflow");
}

// The program decides divisibility by the fraction of a quotient; it must be
// 0 exactly for divisors and strictly between 0 and 1 otherwise.
TEST(DecimalDivision, FractionOfQuotientDecidesDivisibility)
{
    OperandSource source(5);
    const uint128 limit = pow10(28);
    for (int i = 0; i < 100000; ++i) {
        const uint128 n = 2 + source.coefficient() % (limit - 2);
        uint128 d = 0;
        switch (source.below(3)) {
        case 0:
            d = 2 + source.below(1000000);
            break;
        case 1:
            d = 2 + source.coefficient() % (n - 1);
            break;
        default:  // a divisor by construction
            d = n / (1 + source.below(1000));
            break;
        }
        if (d < 2 || d > n)
            continue;
        const DecimalNum q = DecimalNum::fromUInt128(n) / DecimalNum::fromUInt128(d);
        const double fraction = (q - q.integerPart()).toDouble();
        if (n % d == 0) {
            ASSERT_EQ(fraction, 0.0) << ref::toBig(n) << " / " << ref::toBig(d);
            ASSERT_TRUE(q.isInteger());
        } else {
            ASSERT_GT(fraction, 0.0) << ref::toBig(n) << " / " << ref::toBig(d);
            ASSERT_LT(fraction, 1.0) << ref::toBig(n) << " / " << ref::toBig(d);
        }
    }
}

TEST(DecimalValue, IntegerPartAndComparison)
{
    EXPECT_EQ(num("7").integerPart(), num("7"));
    EXPECT_EQ(num("3.5").integerPart(), num("3"));
    EXPECT_EQ(num("-3.5").integerPart(), num("-4"));
    EXPECT_EQ(num("-0.0000000000000000000000000001").integerPart(), num("-1"));
    EXPECT_FALSE(num("-0.5").integerPart().isZero());
    EXPECT_EQ(num("12.000").integerPart().scale(), 0);

    EXPECT_EQ(num("2"), num("2.0"));
    EXPECT_EQ(num("-0.00"), DecimalNum());
    EXPECT_FALSE(num("-0.00").isNegative());
    EXPECT_LT(num("-1"), num("-0.5"));
    EXPECT_LT(num("0.0000000000000000000000000001"), num("0.000000000000000000000000001"));

    OperandSource source(6);
    for (int i = 0; i < 20000; ++i) {
        const DecimalNum a = source.operand();
        const DecimalNum b = i % 4 == 0 ? DecimalNum::fromParts(a.coefficient() / 10, a.scale() - (a.scale() > 0), a.isNegative())
                                        : source.operand();
        ASSERT_EQ((a <=> b) < 0, ref::compare(ref::valueOf(a), ref::valueOf(b)) < 0) << ref::describe(a) << " " << ref::describe(b);
        ASSERT_EQ(a == b, ref::compare(ref::valueOf(a), ref::valueOf(b)) == 0) << ref::describe(a) << " " << ref::describe(b);
        const ref::Rational value = ref::valueOf(a);
        const ref::Rational floor = ref::valueOf(a.integerPart());
        ASSERT_TRUE(ref::compare(floor, value) <= 0 && ref::compare(value, ref::add(floor, {1, 1})) < 0) << ref::describe(a);
        ASSERT_EQ(a.integerPart().scale(), 0);
    }

    uint128 out = 0;
    EXPECT_TRUE(num("120.00").toUInt128(out));
    EXPECT_EQ(out, 120);
    EXPECT_TRUE(DecimalNum::fromUInt128(kMax).toUInt128(out));
    EXPECT_EQ(out, kMax);
    EXPECT_FALSE(num("1.5").toUInt128(out));
    EXPECT_FALSE(num("-1").toUInt128(out));
}

TEST(DecimalConversion, ToDoubleIsCorrectlyRounded)
{
    // Binary ties go to the even neighbour.
    EXPECT_EQ(num("9007199254740993").toDouble(), 9007199254740992.0);
    EXPECT_EQ(num("9007199254740995").toDouble(), 9007199254740996.0);
    EXPECT_EQ(num("4503599627370496.5").toDouble(), 4503599627370496.0);
    EXPECT_EQ(num("4503599627370497.5").toDouble(), 4503599627370498.0);
    EXPECT_EQ(num("0.1").toDouble(), 0.1);
    EXPECT_EQ(num("-2.5").toDouble(), -2.5);
    EXPECT_EQ(DecimalNum().toDouble(), 0.0);

    OperandSource source(7);
    for (int i = 0; i < 50000; ++i) {
        const DecimalNum d = source.operand();
        ASSERT_TRUE(ref::isNearestDouble(ref::valueOf(d), d.toDouble())) << ref::describe(d);
    }
}

TEST(DecimalConversion, FromDoubleKeepsFifteenSignificantDigits)
{
    EXPECT_EQ(DecimalNum::fromDouble(0.1 / 3), num("0.0333333333333333"));
    EXPECT_EQ(DecimalNum::fromDouble(1.0 / 3).signedText(), " .333333333333333");
    EXPECT_EQ(DecimalNum::fromDouble(99999999999999.0), num("99999999999999"));
    EXPECT_EQ(DecimalNum::fromDouble(99999999999999.0).scale(), 0);
    EXPECT_EQ(DecimalNum::fromDouble(1234567890123456.0), num("1234567890123460"));
    EXPECT_EQ(DecimalNum::fromDouble(-0.5), num("-0.5"));
    EXPECT_EQ(DecimalNum::fromDouble(1e28), num("10000000000000000000000000000"));
    EXPECT_EQ(DecimalNum::fromDouble(1.5e-28), num("0.0000000000000000000000000002"));
    EXPECT_TRUE(DecimalNum::fromDouble(1e-300).isZero());
    EXPECT_FALSE(DecimalNum::fromDouble(-0.0).isNegative());
    EXPECT_THROW(DecimalNum::fromDouble(8e28), OverflowError);
    EXPECT_THROW(DecimalNum::fromDouble(NAN), OverflowError);
    EXPECT_THROW(DecimalNum::fromDouble(-INFINITY), OverflowError);
    EXPECT_EQ(DecimalNum::fromInt(INT64_MIN), num("-9223372036854775808"));

    std::mt19937_64 rng(8);
    for (int i = 0; i < 20000; ++i) {
        const double mantissa = std::uniform_real_distribution<double>(0.5, 1.0)(rng);
        const double v = std::ldexp(rng() % 2 ? mantissa : -mantissa, int(rng() % 200) - 103);
        const auto expected = ref::roundToLargestScale(ref::roundedTo15Digits(v), DecimalNum::kMaxScale);
        if (!expected) {
            ASSERT_THROW(DecimalNum::fromDouble(v), OverflowError) << v;
            continue;
        }
        const DecimalNum d = DecimalNum::fromDouble(v);
        const ref::Rational wanted{expected->negative ? ref::cpp_int(-expected->coefficient) : expected->coefficient, ref::pow10(expected->scale)};
        ASSERT_EQ(ref::compare(ref::valueOf(d), wanted), 0) << v << " gave " << ref::describe(d);
    }
}

TEST(DecimalText, ParsesDecimalText)
{
    const DecimalNum padded = num("  -012.50\t");
    EXPECT_EQ(padded.coefficient(), 1250);
    EXPECT_EQ(padded.scale(), 2);
    EXPECT_TRUE(padded.isNegative());
    EXPECT_EQ(num("+.5"), num("0.5"));
    EXPECT_EQ(num("5."), num("5"));
    EXPECT_EQ(num("79228162514264337593543950335").coefficient(), kMax);
    EXPECT_EQ(num("00000000000000000000000000000000000001"), num("1"));
    EXPECT_THROW(num("79228162514264337593543950336"), OverflowError);
    EXPECT_THROW(num("-100000000000000000000000000000000000000000"), OverflowError);

    // Beyond what fits, fractional digits round half to even.
    EXPECT_EQ(num("79228162514264337593543950335.4"), num("79228162514264337593543950335"));
    EXPECT_THROW(num("79228162514264337593543950335.5"), OverflowError);
    EXPECT_EQ(num("7922816251426433759354395033.56"), num("7922816251426433759354395034"));
    EXPECT_TRUE(num("0.00000000000000000000000000005").isZero());
    EXPECT_EQ(num("0.000000000000000000000000000051"), num("0.0000000000000000000000000001"));
    EXPECT_EQ(num("0.00000000000000000000000000015"), num("0.0000000000000000000000000002"));

    for (const char *garbage : {"", "  ", "-", "+", ".", "-.", "1.2.3", "1e5", "12a", "0x10", "1,000",
                                "--1", "+-1", "1 2", "- 1", "99999999999999999999999999999999x"}) {
        EXPECT_THROW(num(garbage), ConversionError) << '"' << garbage << '"';
    }
    EXPECT_THROW(DecimalNum::fromText(std::string_view("1\0" "2", 3)), ConversionError);
    EXPECT_STREQ(ConversionError().what(), "Type mismatch");
}

TEST(DecimalText, ParsedDigitStringsFollowTheModel)
{
    OperandSource source(9);
    for (int i = 0; i < 20000; ++i) {
        std::string whole, fraction;
        for (auto n = source.below(32); n > 0; --n)
            whole += char('0' + source.below(10));
        for (auto n = source.below(36); n > 0; --n)
            fraction += char('0' + source.below(10));
        if (whole.empty() && fraction.empty())
            continue;
        const bool negative = source.below(2);
        const std::string text = (negative ? "-" : "") + whole + "." + fraction;
        ref::Rational exact{0, ref::pow10(int(fraction.size()))};
        for (const char c : whole + fraction)
            exact.num = exact.num * 10 + (c - '0');
        if (negative)
            exact = ref::negate(exact);
        const auto expected = ref::roundToLargestScale(exact, std::min<int>(28, int(fraction.size())));
        if (!expected) {
            ASSERT_THROW(num(text.c_str()), OverflowError) << text;
            continue;
        }
        const DecimalNum d = num(text.c_str());
        ASSERT_TRUE(ref::matches(d, *expected)) << text << " gave " << ref::describe(d);
    }
}

TEST(DecimalText, ArbitraryBytesEitherParseOrFailCleanly)
{
    std::mt19937_64 rng(10);
    const std::string alphabet = "0123456789.+- \t\x80\xff" "e";
    for (int i = 0; i < 50000; ++i) {
        std::string text(rng() % 40, ' ');
        for (char &c : text)
            c = rng() % 8 == 0 ? char(rng()) : alphabet[rng() % alphabet.size()];
        try {
            const DecimalNum d = DecimalNum::fromText(text);
            ASSERT_LE(d.coefficient(), kMax);
            ASSERT_LE(d.scale(), DecimalNum::kMaxScale);
        } catch (const NumericError &) {
        }
    }
    EXPECT_TRUE(num(("0." + std::string(100000, '0')).c_str()).isZero());
    EXPECT_EQ(num(("0." + std::string(100000, '9')).c_str()), num("1"));
    EXPECT_THROW(num(std::string(100000, '9').c_str()), OverflowError);
}

TEST(DecimalText, SignedAndTrimmedForms)
{
    EXPECT_EQ(num("7").signedText(), " 7");
    EXPECT_EQ(num("0.2").signedText(), " .2");
    EXPECT_EQ(num("-3.50").signedText(), "-3.5");
    EXPECT_EQ(num("-0.0000000000000000000000000001").signedText(), "-.0000000000000000000000000001");
    EXPECT_EQ(num("0.000").signedText(), " 0");
    EXPECT_EQ(num("120.00").signedText(), " 120");
    EXPECT_EQ(DecimalNum::fromUInt128(kMax).signedText(), " 79228162514264337593543950335");
    EXPECT_EQ(num("7").trimmedText(), "7");
    EXPECT_EQ(num("0.2").trimmedText(), ".2");
    EXPECT_EQ(num("-0.2").trimmedText(), "-.2");

    OperandSource source(11);
    for (int i = 0; i < 20000; ++i) {
        const DecimalNum d = source.operand();
        ASSERT_EQ(num(d.signedText().c_str()), d) << ref::describe(d);
        ASSERT_EQ(num(d.trimmedText().c_str()), d) << ref::describe(d);
    }
}

TEST(DecimalText, FixedPatterns)
{
    EXPECT_EQ(pattern17(num("0.2"), '.'), ".20000000000000000");
    EXPECT_EQ(pattern19(DecimalNum::fromDouble(1.0 / 3), '.'), ".3333333333333330000");
    EXPECT_EQ(pattern17(DecimalNum(), ','), ",00000000000000000");
    EXPECT_EQ(pattern17(num("12.5"), '.'), "12.50000000000000000");
    // More places than the pattern: round half to even, carrying into the whole part.
    EXPECT_EQ(pattern19(num("0.00000000000000000005"), '.'), ".0000000000000000000");
    EXPECT_EQ(pattern19(num("0.00000000000000000015"), '.'), ".0000000000000000002");
    EXPECT_EQ(pattern19(num("0.000000000000000000051"), '.'), ".0000000000000000001");
    EXPECT_EQ(pattern19(num("0.99999999999999999999"), '.'), "1.0000000000000000000");
    EXPECT_EQ(pattern19(DecimalNum::fromDouble(1.23456789012345e-6), '.'), ".0000012345678901234");
}

TEST(DoubleText, SignedTrimmedAndPlainForms)
{
    EXPECT_EQ(signedText(7.0), " 7");
    EXPECT_EQ(signedText(0.2), " .2");
    EXPECT_EQ(signedText(-2.5), "-2.5");
    EXPECT_EQ(signedText(0.0), " 0");
    EXPECT_EQ(signedText(-0.0), " 0");
    EXPECT_EQ(signedText(1.0 / 3), " .333333333333333");
    EXPECT_EQ(signedText(999999999999999.0), " 999999999999999");
    EXPECT_EQ(signedText(1e15), " 1E+15");
    EXPECT_EQ(signedText(-1e15), "-1E+15");
    EXPECT_EQ(signedText(999999999999999.9), " 1E+15");  // rounds up to 15 digits first
    EXPECT_EQ(signedText(1234567890123456.0), " 1.23456789012346E+15");
    EXPECT_EQ(signedText(1e100), " 1E+100");
    EXPECT_EQ(signedText(1e-5), " .00001");
    EXPECT_EQ(signedText(1.5e-7), " 1.5E-07");
    EXPECT_EQ(trimmedText(0.2), ".2");
    EXPECT_EQ(trimmedText(-0.2), "-.2");
    EXPECT_EQ(trimmedText(12.0), "12");

    EXPECT_EQ(plainText(9973.0, '.'), "9973");
    EXPECT_EQ(plainText(0.5, '.'), "0.5");
    EXPECT_EQ(plainText(-0.25, ','), "-0,25");
    EXPECT_EQ(plainText(1234567890123456.0, '.'), "1.23456789012346E+15");
    EXPECT_EQ(plainText(1234567890123456.0, ','), "1,23456789012346E+15");
    EXPECT_EQ(plainText(2e15, '.'), "2E+15");
    EXPECT_EQ(plainText(1e-7, '.'), "1E-07");

    // Any double reads back as its value rounded to 15 significant digits.
    std::mt19937_64 rng(12);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::ldexp(std::uniform_real_distribution<double>(-1.0, 1.0)(rng), int(rng() % 140) - 70);
        char expected[40];
        std::snprintf(expected, sizeof expected, "%.14e", v);
        const std::string text = signedText(v);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(expected, nullptr)) << text;
        const double rounded = std::fabs(std::strtod(expected, nullptr));
        ASSERT_EQ(text.find('E') != std::string::npos, rounded >= 1e15 || (rounded < 1e-5 && rounded != 0)) << text;
        ASSERT_EQ(std::strtod(plainText(v, '.').c_str(), nullptr), std::strtod(expected, nullptr));
    }
}

}  // namespace
