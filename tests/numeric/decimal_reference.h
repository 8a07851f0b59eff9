#pragma once

// An exact model of DecimalNum's rules on top of boost's big integers, for
// checking the real implementation (tests and fuzzers).

#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include <boost/multiprecision/cpp_int.hpp>

#include "numeric/decimal_num.h"

namespace decimal_reference {

using boost::multiprecision::cpp_int;

inline cpp_int pow10(int n)
{
    cpp_int result = 1;
    for (int i = 0; i < n; ++i)
        result *= 10;
    return result;
}

inline const cpp_int &maxCoefficient()
{
    static const cpp_int max = (cpp_int(1) << 96) - 1;
    return max;
}

inline cpp_int toBig(uint128 v)
{
    return (cpp_int(std::uint64_t(v >> 64)) << 64) | cpp_int(std::uint64_t(v));
}

// A signed rational num / den with den > 0 (not necessarily reduced).
struct Rational {
    cpp_int num;
    cpp_int den = 1;
};

inline Rational valueOf(const DecimalNum &d)
{
    const cpp_int magnitude = toBig(d.coefficient());
    return {d.isNegative() ? cpp_int(-magnitude) : magnitude, pow10(d.scale())};
}

inline Rational add(const Rational &a, const Rational &b) { return {a.num * b.den + b.num * a.den, a.den * b.den}; }
inline Rational negate(const Rational &a) { return {-a.num, a.den}; }
inline Rational multiply(const Rational &a, const Rational &b) { return {a.num * b.num, a.den * b.den}; }
// b must be non-zero.
inline Rational divide(const Rational &a, const Rational &b)
{
    return b.num < 0 ? Rational{-a.num * b.den, -b.num * a.den} : Rational{a.num * b.den, b.num * a.den};
}
inline int compare(const Rational &a, const Rational &b)
{
    const cpp_int left = a.num * b.den, right = b.num * a.den;
    return left < right ? -1 : (left > right ? 1 : 0);
}

// num / den rounded half to even; num >= 0, den > 0.
inline cpp_int roundHalfEven(const cpp_int &num, const cpp_int &den)
{
    cpp_int quotient = num / den;
    const cpp_int twiceRemainder = 2 * (num % den);
    if (twiceRemainder > den || (twiceRemainder == den && (quotient & 1) != 0))
        ++quotient;
    return quotient;
}

// What DecimalNum should hold: coefficient, scale, sign.
struct Expected {
    cpp_int coefficient;
    int scale = 0;
    bool negative = false;
};

// The value rounded half to even at the largest scale <= maxScale whose
// coefficient fits 96 bits; nothing when not even scale 0 fits (overflow).
inline std::optional<Expected> roundToLargestScale(const Rational &v, int maxScale)
{
    const cpp_int magnitude = v.num < 0 ? cpp_int(-v.num) : v.num;
    for (int scale = maxScale; scale >= 0; --scale) {
        cpp_int coefficient = roundHalfEven(magnitude * pow10(scale), v.den);
        if (coefficient <= maxCoefficient())
            return Expected{coefficient, scale, v.num < 0 && coefficient != 0};
    }
    return std::nullopt;
}

inline std::optional<Expected> expectedSum(const DecimalNum &a, const DecimalNum &b)
{
    return roundToLargestScale(add(valueOf(a), valueOf(b)), std::max(a.scale(), b.scale()));
}

inline std::optional<Expected> expectedDifference(const DecimalNum &a, const DecimalNum &b)
{
    return roundToLargestScale(add(valueOf(a), negate(valueOf(b))), std::max(a.scale(), b.scale()));
}

inline std::optional<Expected> expectedProduct(const DecimalNum &a, const DecimalNum &b)
{
    return roundToLargestScale(multiply(valueOf(a), valueOf(b)),
                               std::min(DecimalNum::kMaxScale, a.scale() + b.scale()));
}

// b must be non-zero. An exact quotient comes at its smallest scale.
inline std::optional<Expected> expectedQuotient(const DecimalNum &a, const DecimalNum &b)
{
    const Rational q = divide(valueOf(a), valueOf(b));
    auto result = roundToLargestScale(q, DecimalNum::kMaxScale);
    if (!result)
        return result;
    const cpp_int magnitude = q.num < 0 ? cpp_int(-q.num) : q.num;
    if (result->coefficient * q.den == magnitude * pow10(result->scale)) {
        while (result->scale > 0 && result->coefficient % 10 == 0) {
            result->coefficient /= 10;
            --result->scale;
        }
    }
    return result;
}

inline bool matches(const DecimalNum &actual, const Expected &expected)
{
    return toBig(actual.coefficient()) == expected.coefficient &&
           actual.scale() == expected.scale && actual.isNegative() == expected.negative;
}

inline std::string describe(const Expected &e)
{
    return (e.negative ? "-" : "+") + e.coefficient.str() + "e-" + std::to_string(e.scale);
}

inline std::string describe(const DecimalNum &d)
{
    return describe(Expected{toBig(d.coefficient()), d.scale(), d.isNegative()});
}

// The exact value of a finite double.
inline Rational exactValue(double d)
{
    int exponent = 0;
    const double fraction = std::frexp(d, &exponent);
    const auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
    exponent -= 53;
    if (exponent >= 0)
        return {cpp_int(mantissa) << exponent, 1};
    return {cpp_int(mantissa), cpp_int(1) << -exponent};
}

// Whether d is the double nearest to v, ties going to the even significand.
inline bool isNearestDouble(const Rational &v, double d)
{
    const auto distance = [&v](double x) {
        Rational diff = add(v, negate(exactValue(x)));
        if (diff.num < 0)
            diff.num = -diff.num;
        return diff;
    };
    const Rational own = distance(d);
    for (const double neighbour : {std::nextafter(d, -INFINITY), std::nextafter(d, INFINITY)}) {
        const int order = compare(own, distance(neighbour));
        if (order > 0 || (order == 0 && (std::bit_cast<std::uint64_t>(d) & 1) != 0))
            return false;
    }
    return true;
}

// A non-zero finite double rounded half to even to 15 significant digits.
inline Rational roundedTo15Digits(double d)
{
    const Rational exact = exactValue(std::fabs(d));
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(d))));
    const auto power = [](int n) { return n >= 0 ? Rational{pow10(n), 1} : Rational{1, pow10(-n)}; };
    while (compare(exact, power(exponent)) < 0)
        --exponent;
    while (compare(exact, power(exponent + 1)) >= 0)
        ++exponent;
    // digits = exact * 10^(14 - exponent), rounded.
    const Rational scaled = multiply(exact, power(14 - exponent));
    const cpp_int digits = roundHalfEven(scaled.num, scaled.den);
    Rational result = multiply(Rational{digits, 1}, power(exponent - 14));
    return d < 0 ? negate(result) : result;
}

}  // namespace decimal_reference
