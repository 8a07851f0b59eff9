#pragma once

// An exact model of DecimalNum's rules on top of boost's big integers, for
// checking the real implementation (tests and fuzzers).

#include <cstdlib>
#include <optional>
#include <string>

#include <boost/multiprecision/cpp_int.hpp>

#include "numeric/decimal_num.h"

namespace decimal_reference {

using boost::multiprecision::cpp_int;

inline cpp_int pow10(int n) { return boost::multiprecision::pow(cpp_int(10), unsigned(n)); }

inline cpp_int toBig(uint128 v) { return (cpp_int(std::uint64_t(v >> 64)) << 64) | cpp_int(std::uint64_t(v)); }

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

// Decimal text with an optional sign, point and exponent: "-12.50", "1.5e-07".
inline Rational parse(const std::string &text)
{
    const std::size_t e = text.find_first_of("eE");
    int exponent = e == std::string::npos ? 0 : std::atoi(text.c_str() + e + 1);
    Rational r{0, 1};
    bool fraction = false;
    for (const char c : text.substr(0, e)) {
        fraction |= c == '.';
        if (c >= '0' && c <= '9') {
            r.num = r.num * 10 + (c - '0');
            if (fraction)
                --exponent;
        }
    }
    if (text.find('-') < e)
        r.num = -r.num;
    (exponent < 0 ? r.den : r.num) *= pow10(std::abs(exponent));
    return r;
}

inline int compare(const Rational &a, const Rational &b)
{
    const cpp_int left = a.num * b.den, right = b.num * a.den;
    return left < right ? -1 : (left > right ? 1 : 0);
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
    const cpp_int magnitude = abs(v.num);
    for (int scale = maxScale; scale >= 0; --scale) {
        const cpp_int scaled = magnitude * pow10(scale);
        cpp_int coefficient = scaled / v.den;
        const cpp_int twiceRemainder = 2 * (scaled % v.den);
        if (twiceRemainder > v.den || (twiceRemainder == v.den && (coefficient & 1) != 0))
            ++coefficient;
        if (coefficient <= (cpp_int(1) << 96) - 1)
            return Expected{coefficient, scale, v.num < 0 && coefficient != 0};
    }
    return std::nullopt;
}

// a + b, or a - b when `subtract` is set.
inline std::optional<Expected> expectedSum(const DecimalNum &a, const DecimalNum &b, bool subtract = false)
{
    const Rational x = valueOf(a), y = valueOf(b);
    return roundToLargestScale({x.num * y.den + (subtract ? -y.num : y.num) * x.den, x.den * y.den},
                               std::max(a.scale(), b.scale()));
}

inline std::optional<Expected> expectedProduct(const DecimalNum &a, const DecimalNum &b)
{
    const Rational x = valueOf(a), y = valueOf(b);
    return roundToLargestScale({x.num * y.num, x.den * y.den}, std::min(DecimalNum::kMaxScale, a.scale() + b.scale()));
}

// b must be non-zero. An exact quotient comes at its smallest scale.
inline std::optional<Expected> expectedQuotient(const DecimalNum &a, const DecimalNum &b)
{
    const Rational x = valueOf(a), y = valueOf(b);
    const Rational q{x.num * y.den * sign(y.num), x.den * abs(y.num)};
    auto result = roundToLargestScale(q, DecimalNum::kMaxScale);
    if (result && result->coefficient * q.den == abs(q.num) * pow10(result->scale)) {
        while (result->scale > 0 && result->coefficient % 10 == 0) {
            result->coefficient /= 10;
            --result->scale;
        }
    }
    return result;
}

// The largest whole number not above the value, at scale 0.
inline Expected expectedFloor(const DecimalNum &a)
{
    const Rational v = valueOf(a);
    cpp_int floor = v.num / v.den;  // truncates toward zero
    if (v.num < 0 && floor * v.den != v.num)
        --floor;
    return {abs(floor), 0, floor < 0};
}

inline std::string describe(const Expected &e)
{
    return (e.negative ? "-" : "+") + e.coefficient.str() + "e-" + std::to_string(e.scale);
}

inline std::string describe(const DecimalNum &d)
{
    return describe(Expected{toBig(d.coefficient()), d.scale(), d.isNegative()});
}

// The double nearest to the value, ties to the even significand: the C
// library reads decimal text correctly rounded.
inline double nearestDouble(const DecimalNum &d) { return std::strtod(describe(d).c_str(), nullptr); }

}  // namespace decimal_reference
