#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <tuple>

#include "numeric/decimal_reference.h"
#include "numeric/digits.h"

namespace ref = decimal_reference;

namespace {

constexpr uint128 kMax = DecimalNum::kMaxCoefficient;

uint128 pow10(int n) { return n > 0 ? 10 * pow10(n - 1) : 1; }

// The result as the model writes it, or the text of the error raised.
std::string outcome(auto operation)
{
    try {
        return ref::describe(operation());
    } catch (const NumericError &e) {
        return e.what();
    }
}

std::string expected(const std::optional<ref::Expected> &e) { return e ? ref::describe(*e) : "Overflow"; }

// Operands that reach the edges: extreme coefficients, every scale, both signs,
// half-way digits for the rounding rules.
struct OperandSource {
    std::mt19937_64 rng_;

    uint128 coefficient()
    {
        // clang-format off
        static const uint128 special[] = {0, 1, 2, 3, 5, 7, 10, kMax, kMax - 1, kMax / 2, kMax / 2 + 1, kMax / 10,
            pow10(28), pow10(28) - 1, pow10(28) + 1, pow10(28) - 2, 5 * pow10(27), pow10(29) / 3, uint128(1) << 64,
            (uint128(1) << 64) - 1, uint128(1) << 53, (uint128(1) << 53) + 1};
        // clang-format on
        const auto bits = unsigned(below(97));
        switch (below(4)) {
        case 0:
            return special[below(std::size(special))];
        case 1:
            return bits == 0 ? 0 : ((uint128(rng_()) << 64) | rng_()) >> (128 - bits);
        case 2:
            return (below(1000) * 10 + (below(2) ? 5 : 0)) * pow10(int(below(25)));  // trailing 5 or zeros
        default:
            return rng_() % 1000;
        }
    }
    DecimalNum operand()
    {
        return DecimalNum::fromParts(coefficient(), below(3) == 0 ? 0 : int(below(29)), below(2) == 0);
    }
    std::uint64_t below(std::uint64_t n) { return rng_() % n; }
};

// Random pairs against the model: the four operations (or their overflow),
// comparison, integer part and the nearest double.
TEST(DecimalNum, FollowsTheModel)
{
    OperandSource source{std::mt19937_64(1)};
    for (int i = 0; i < 50000; ++i) {
        const DecimalNum a = source.operand();
        // Often a value next to a at one place less, equal when a ends in 0.
        const DecimalNum b = i % 4 ? source.operand()
                                   : DecimalNum::fromParts(a.coefficient() / 10, a.scale() - (a.scale() > 0),
                                                           a.isNegative());
        const auto pair = [&] { return ref::describe(a) + " and " + ref::describe(b); };  // only on failure
        ASSERT_EQ(outcome([&] { return a + b; }), expected(ref::expectedSum(a, b))) << pair();
        ASSERT_EQ(outcome([&] { return a - b; }), expected(ref::expectedSum(a, b, true))) << pair();
        ASSERT_EQ(outcome([&] { return a * b; }), expected(ref::expectedProduct(a, b))) << pair();
        const std::string quotient = b.isZero() ? "Division by zero" : expected(ref::expectedQuotient(a, b));
        ASSERT_EQ(outcome([&] { return a / b; }), quotient) << pair();
        const int order = ref::compare(ref::valueOf(a), ref::valueOf(b));
        ASSERT_TRUE(((a <=> b) < 0) == (order < 0) && (a == b) == (order == 0)) << pair();
        ASSERT_EQ(ref::describe(a.integerPart()), ref::describe(ref::expectedFloor(a))) << pair();
        ASSERT_EQ(a.toDouble(), ref::nearestDouble(a)) << pair();
    }
}

TEST(DecimalNum, EdgesOfTheLimitsAndRounding)
{
    const std::tuple<const char *, char, const char *, const char *> rows[] = {
        // a op b, result; f: a.integerPart()
        {"9999999999999999999999999999", '+', "1", "+10000000000000000000000000000e-0"},
        {"79228162514264337593543950335", '+', "1", "Overflow"},
        {"-79228162514264337593543950335", '-', "1", "Overflow"},
        // Half of the last unit rounds the odd maximum up and out of range.
        {"79228162514264337593543950335", '+', "0.4999999999999", "+79228162514264337593543950335e-0"},
        {"79228162514264337593543950335", '+', "0.5", "Overflow"},
        {"39614081257132168796771975167", '*', "2", "+79228162514264337593543950334e-0"},
        {"39614081257132168796771975168", '*', "2", "Overflow"},
        {"79228162514264337593543950335", '/', "0.1", "Overflow"},
        {"2", '/', "3", "+6666666666666666666666666667e-28"},
        // The digits reach the coefficient limit and round past it: one place fewer.
        {"5545971375998503631548076523.5", '/', "7", "+7922816251426433759354395034e-1"},
        {"9999999999999999999999999998", '/', "3", "+33333333333333333333333333327e-1"},
        {"0", '/', "0.000", "Division by zero"},
        {"-0.0000000000000000000000000001", 'f', "0", "-1e-0"},
        {"-0.00", '+', "0", "+0e-2"}};
    for (const auto &[x, op, y, result] : rows) {
        const DecimalNum a = DecimalNum::fromText(x), b = DecimalNum::fromText(y);
        const auto operation = [&a, &b, op = op] {
            return op == '+' ? a + b : op == '-' ? a - b : op == '*' ? a * b : op == '/' ? a / b : a.integerPart();
        };
        EXPECT_EQ(outcome(operation), result) << x << ' ' << op << ' ' << y;
    }
    EXPECT_THROW(DecimalNum::fromParts(kMax + 1, 0, false), OverflowError);
    EXPECT_EQ(DecimalNum::fromText("9007199254740993").toDouble(), 9007199254740992.0);  // binary ties to even
    EXPECT_EQ(DecimalNum::fromText("4503599627370497.5").toDouble(), 4503599627370498.0);
    uint128 out = 0;
    EXPECT_TRUE(DecimalNum::fromText("120.00").toUInt128(out) && out == 120);
    EXPECT_FALSE(DecimalNum::fromText("1.5").toUInt128(out) || DecimalNum::fromText("-1").toUInt128(out));
}

TEST(DecimalNum, ParsesText)
{
    // clang-format off
    const std::pair<std::string, const char *> rows[] = {
        {"  -012.50\t", "-1250e-2"}, {"+.5", "+5e-1"}, {"5.", "+5e-0"}, {"-0.00", "+0e-2"},
        {"79228162514264337593543950336", "Overflow"}, {"79228162514264337593543950335.5", "Overflow"},
        {std::string(100000, '9'), "Overflow"}, {"0." + std::string(100000, '9'), "+10000000000000000000000000000e-28"},
        {std::string("1\0" "2", 3), "Type mismatch"}};
    // clang-format on
    for (const auto &[text, result] : rows)
        EXPECT_EQ(outcome([&t = text] { return DecimalNum::fromText(t); }), result) << text.substr(0, 40);
    for (const char *garbage : {"", "  ", "-", ".", "-.", "1.2.3", "1e5", "12a", "1,000", "--1", "1 2", "- 1"})
        EXPECT_EQ(outcome([&] { return DecimalNum::fromText(garbage); }), "Type mismatch") << '"' << garbage << '"';

    // Random digit strings; beyond what fits, fractional digits round half to even.
    OperandSource source{std::mt19937_64(9)};
    for (int i = 0; i < 20000; ++i) {
        const int wholeSize = int(source.below(32)), places = int(source.below(36));
        std::string text = source.below(2) ? "-" : "";
        for (int n = 0; n < wholeSize + places; ++n)
            text += std::string(n == wholeSize, '.') + char('0' + source.below(10));
        const auto wanted = ref::roundToLargestScale(ref::parse(text), std::min(28, places));
        ASSERT_EQ(outcome([&] { return DecimalNum::fromText(text); }),
                  wholeSize + places == 0 ? "Type mismatch" : expected(wanted))
            << text;
    }
}

TEST(DecimalNum, TextForms)
{
    // clang-format off
    const std::tuple<const char *, int, const char *> rows[] = {  // places 0: signed text, -1: trimmed
        {"0.2", 0, " .2"}, {"-3.50", 0, "-3.5"}, {"0.000", 0, " 0"}, {"-0.2", -1, "-.2"}, {"7", -1, "7"},
        {"79228162514264337593543950335", 0, " 79228162514264337593543950335"},
        {"0.2", 17, ".20000000000000000"}, {"12.5", 17, "12.50000000000000000"},
        // More places than the pattern: round half to even, carrying into the whole part.
        {"0.00000000000000000005", 19, ".0000000000000000000"}, {"0.00000000000000000015", 19, ".0000000000000000002"},
        {"0.99999999999999999999", 19, "1.0000000000000000000"}};
    // clang-format on
    for (const auto &[text, places, form] : rows) {
        const DecimalNum v = DecimalNum::fromText(text);
        EXPECT_EQ(places > 0    ? v.fixedPattern(places, '.')
                  : places == 0 ? v.signedText()
                                : v.trimmedText(),
                  form)
            << text;
    }
    EXPECT_EQ(pattern17(DecimalNum::fromText("0.25"), ','), ",25000000000000000");
    EXPECT_EQ(pattern19(DecimalNum::fromText("0.25"), '.'), ".2500000000000000000");
}

// Doubles as text and as DecimalNum: both keep 15 significant digits.
TEST(DoubleConversion, FifteenSignificantDigits)
{
    // clang-format off
    const std::tuple<double, char, const char *> rows[] = {  // s signed, t trimmed, p plain with ',', d fromDouble
        {-0.0, 's', " 0"}, {-1e15, 's', "-1E+15"}, {999999999999999.9, 's', " 1E+15"},
        {1234567890123456.0, 's', " 1.23456789012346E+15"}, {1e-5, 's', " .00001"}, {1.5e-7, 's', " 1.5E-07"},
        {-0.2, 't', "-.2"}, {7, 't', "7"}, {-0.25, 'p', "-0,25"}, {1234567890123456.0, 'p', "1,23456789012346E+15"},
        {1e-7, 'p', "1E-07"}, {1e100, 'p', "1E+100"}, {-0.0, 'd', "+0e-0"}, {999999999999999.9, 'd', "+1000000000000000e-0"},
        {INFINITY, 'd', "Overflow"}, {NAN, 'd', "Overflow"}};
    // clang-format on
    for (const auto &[value, form, text] : rows)
        EXPECT_EQ(form == 's'   ? signedText(value)
                  : form == 't' ? trimmedText(value)
                  : form == 'p' ? plainText(value, ',')
                                : outcome([v = value] { return DecimalNum::fromDouble(v); }),
                  text)
            << value;

    // Random doubles against printf's correctly rounded 15 digits.
    std::mt19937_64 rng(8);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::ldexp(std::uniform_real_distribution<double>(-1.0, 1.0)(rng), int(rng() % 200) - 103);
        char digits[40];
        std::snprintf(digits, sizeof digits, "%.14e", v);
        const double wanted = std::strtod(digits, nullptr), size = std::fabs(wanted);
        const std::string text = signedText(v);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), wanted) << text;
        ASSERT_EQ(text.find('E') != std::string::npos, size >= 1e15 || (size < 1e-5 && size != 0)) << text;
        ASSERT_EQ(std::strtod(plainText(v, '.').c_str(), nullptr), wanted);
        // The same value as the rounded digits; the scale may differ.
        const auto model = ref::roundToLargestScale(ref::parse(digits), DecimalNum::kMaxScale);
        const std::string actual = outcome([v] { return DecimalNum::fromDouble(v); });
        ASSERT_TRUE(model ? actual != "Overflow" &&
                                ref::compare(ref::parse(actual), ref::parse(ref::describe(*model))) == 0
                          : actual == "Overflow")
            << v;
    }
}

}  // namespace

// The digit count sizes the copied text of a list, so it must agree with the
// digits written, on either side of every power of ten up to 10^29.
TEST(Digits, CountAgreesWithTheDigitsWritten)
{
    uint128 power = 1;
    for (int exponent = 0; exponent <= 29; ++exponent, power *= 10)
        for (const uint128 value : {power - 1, power, power + 1}) {
            std::string digits;
            appendDigits(digits, value);
            EXPECT_EQ(digitCount(value), static_cast<int>(digits.size())) << digits;
        }
}
