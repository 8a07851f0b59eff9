#include "numeric/decimal_num.h"

#include <algorithm>
#include <cmath>

#include "numeric/decimal_internal.h"

using decimal_detail::fitCoefficient;
using decimal_detail::Fitted;
using decimal_detail::pow10;

namespace {

constexpr uint128 kMax = DecimalNum::kMaxCoefficient;
constexpr std::uint64_t kPow10Word = 10000000000000000000ull;  // 10^19, largest in 64 bits

// Truncating division by 10^n; returns whether a non-zero remainder was dropped.
bool divideByPow10(WideUInt &value, int n)
{
    bool dropped = false;
    for (; n >= 19; n -= 19)
        dropped |= value.divideBy(kPow10Word) != 0;
    if (n > 0)
        dropped |= value.divideBy(std::uint64_t(pow10(n))) != 0;
    return dropped;
}

// A lower bound for how many decimal digits must go before `value` fits 96
// bits: with b bits, value >= 2^(b-1) still exceeds 2^96 after dropping
// floor((b - 97) * log10(2)) digits. 1233 / 4096 is just below log10(2).
int digitsToDropAtLeast(const WideUInt &value)
{
    const int excessBits = value.bitLength() - 97;
    return excessBits > 0 ? ((excessBits * 1233) >> 12) + 1 : 0;
}

bool roundsUp(unsigned droppedDigit, bool sticky, bool odd)
{
    return droppedDigit > 5 || (droppedDigit == 5 && (sticky || odd));
}

// The coefficient at `addedScale` more places, exactly.
WideUInt scaledUp(uint128 coefficient, int addedScale)
{
    return addedScale == 0 ? WideUInt(coefficient) : WideUInt::product(coefficient, pow10(addedScale));
}

}  // namespace

namespace decimal_detail {

Fitted fitCoefficient(WideUInt value, int scale, bool sticky)
{
    const int minDrop = std::max(0, scale - DecimalNum::kMaxScale);
    if (minDrop == 0 && value.fitsIn96())
        return {value.low(), scale};

    int drop = std::max({minDrop, digitsToDropAtLeast(value), 1});
    if (drop > scale)
        throw OverflowError();
    sticky |= divideByPow10(value, drop - 1);
    auto lastDigit = unsigned(value.divideBy(10));
    for (;;) {
        WideUInt rounded = value;
        if (roundsUp(lastDigit, sticky, value.isOdd()))
            rounded = rounded + WideUInt(1);
        if (rounded.fitsIn96())
            return {rounded.low(), scale - drop};
        if (++drop > scale)
            throw OverflowError();
        sticky |= lastDigit != 0;
        lastDigit = unsigned(value.divideBy(10));
    }
}

}  // namespace decimal_detail

DecimalNum DecimalNum::fromParts(uint128 coefficient, int scale, bool negative)
{
    if (coefficient > kMaxCoefficient || scale < 0 || scale > kMaxScale)
        throw OverflowError();
    return DecimalNum(coefficient, scale, negative);
}

DecimalNum DecimalNum::fromInt(std::int64_t value)
{
    // Negating in unsigned arithmetic also covers the most negative value.
    const auto magnitude = value < 0 ? 0 - std::uint64_t(value) : std::uint64_t(value);
    return DecimalNum(magnitude, 0, value < 0);
}

DecimalNum DecimalNum::fromUInt128(uint128 value) { return fromParts(value, 0, false); }

DecimalNum DecimalNum::fromDouble(double value)
{
    if (!std::isfinite(value))
        throw OverflowError();
    // Whole numbers below 10^15, such as every trial divisor, are exact already.
    if (std::fabs(value) < 1e15 && std::trunc(value) == value) {
        const auto magnitude = static_cast<std::uint64_t>(std::fabs(value));
        return DecimalNum(magnitude, 0, value < 0);
    }
    const auto rounded = decimal_detail::roundTo15Digits(value);
    if (rounded.count == 0)
        return DecimalNum();

    uint128 digits = 0;
    for (int i = 0; i < rounded.count; ++i)
        digits = digits * 10 + unsigned(rounded.digits[i] - '0');
    // value = digits * 10^power
    const int power = rounded.exponent - (rounded.count - 1);
    if (power >= 0) {
        // At least 10^power > 2^96 from 29 places on.
        if (power > kMaxScale)
            throw OverflowError();
        const WideUInt coefficient = WideUInt::product(digits, pow10(power));
        if (!coefficient.fitsIn96())
            throw OverflowError();
        return DecimalNum(coefficient.low(), 0, rounded.negative);
    }
    // Below half of 10^-28 (at most 15 digits at 44 places or more) rounds to zero.
    if (-power > kMaxScale + 15)
        return DecimalNum();
    const Fitted fitted = fitCoefficient(digits, -power);
    return DecimalNum(fitted.coefficient, fitted.scale, rounded.negative);
}

bool DecimalNum::isInteger() const { return coefficient_ % pow10(scale_) == 0; }

bool DecimalNum::toUInt128(uint128 &out) const
{
    if (negative_ || !isInteger())
        return false;
    out = coefficient_ / pow10(scale_);
    return true;
}

double DecimalNum::toDouble() const
{
    // Both operands exact as doubles: one correctly rounded division.
    if (coefficient_ < (uint128(1) << 53) && scale_ <= 22) {
        const double magnitude = static_cast<double>(coefficient_) / static_cast<double>(pow10(scale_));
        return negative_ ? -magnitude : magnitude;
    }
    // Long division of coefficient by 10^scale in binary, until the quotient
    // holds at least 64 significant bits; the remainder becomes a sticky bit.
    // Rounding that once to 53 bits gives the correctly rounded double.
    const uint128 divisor = pow10(scale_);
    uint128 quotient = coefficient_ / divisor;
    uint128 remainder = coefficient_ % divisor;
    int binaryExponent = 0;
    // quotient < 2^64 before each step, so it stays below 2^96; the remainder
    // is below 10^28 < 2^94, so shifting it by 32 bits cannot overflow.
    while ((quotient >> 64) == 0 && remainder != 0) {
        const uint128 shifted = remainder << 32;
        quotient = (quotient << 32) | (shifted / divisor);
        remainder = shifted % divisor;
        binaryExponent -= 32;
    }
    if (quotient == 0)
        return 0.0;

    const bool sticky = remainder != 0;
    const int bits = WideUInt(quotient).bitLength();
    const int excess = std::max(0, bits - 53);
    auto mantissa = std::uint64_t(quotient >> excess);
    if (excess > 0) {
        const uint128 half = uint128(1) << (excess - 1);
        const uint128 rest = quotient & ((uint128(1) << excess) - 1);
        if (rest > half || (rest == half && (sticky || (mantissa & 1) != 0)))
            ++mantissa;  // may reach 2^53, which a double still holds exactly
    }
    const double magnitude = std::ldexp(static_cast<double>(mantissa), binaryExponent + excess);
    return negative_ ? -magnitude : magnitude;
}

// The sum of a and b, with b's sign flipped when `subtract` is set.
static DecimalNum addSigned(const DecimalNum &a, const DecimalNum &b, bool subtract)
{
    const int scale = std::max(a.scale(), b.scale());
    const WideUInt x = scaledUp(a.coefficient(), scale - a.scale());
    const WideUInt y = scaledUp(b.coefficient(), scale - b.scale());
    const bool bNegative = b.isNegative() != subtract;

    bool negative = a.isNegative();
    WideUInt magnitude;
    if (a.isNegative() == bNegative) {
        magnitude = x + y;
    } else if (x >= y) {
        magnitude = x - y;
    } else {
        magnitude = y - x;
        negative = bNegative;
    }
    const Fitted fitted = fitCoefficient(magnitude, scale);
    return DecimalNum::fromParts(fitted.coefficient, fitted.scale, negative);
}

DecimalNum operator+(const DecimalNum &a, const DecimalNum &b) { return addSigned(a, b, false); }

DecimalNum operator-(const DecimalNum &a, const DecimalNum &b) { return addSigned(a, b, true); }

DecimalNum operator*(const DecimalNum &a, const DecimalNum &b)
{
    const Fitted fitted = fitCoefficient(WideUInt::product(a.coefficient_, b.coefficient_), a.scale_ + b.scale_);
    return DecimalNum(fitted.coefficient, fitted.scale, a.negative_ != b.negative_);
}

namespace {

// floor(2^96 / 10^m): (x + 1) * 10^m <= 2^96 exactly when x + 1 <= this.
constexpr uint128 kRoomLimit[10] = {
    (kMax + 1) / pow10(0), (kMax + 1) / pow10(1), (kMax + 1) / pow10(2), (kMax + 1) / pow10(3), (kMax + 1) / pow10(4),
    (kMax + 1) / pow10(5), (kMax + 1) / pow10(6), (kMax + 1) / pow10(7), (kMax + 1) / pow10(8), (kMax + 1) / pow10(9)};

// How many more digits, at most `limit` and 9, can be appended to x while it
// is sure to stay within 96 bits whatever the digits are.
int digitsWithRoom(uint128 x, int limit)
{
    int m = 0;
    while (m < std::min(limit, 9) && x + 1 <= kRoomLimit[m + 1])
        ++m;
    return m;
}

}  // namespace

DecimalNum operator/(const DecimalNum &a, const DecimalNum &b)
{
    if (b.isZero())
        throw DivisionByZeroError();
    const bool negative = a.negative_ != b.negative_;
    const uint128 divisor = b.coefficient_;

    // a / b = (A / B) * 10^shift. Long division of A by B: x holds the
    // quotient carried to `places` decimal places, remainder what is left
    // (x + remainder / B = A * 10^places / B). The result scale is
    // places - shift, so places may go up to 28 + shift.
    const int shift = b.scale_ - a.scale_;
    const int maxPlaces = DecimalNum::kMaxScale + shift;
    uint128 x = a.coefficient_ / divisor;
    uint128 remainder = a.coefficient_ % divisor;
    int places = 0;
    while (remainder != 0 && places < maxPlaces) {
        // remainder < B < 2^96, so remainder * 10^9 stays below 2^126.
        if (const int m = digitsWithRoom(x, maxPlaces - places); m > 0) {
            const uint128 widened = remainder * pow10(m);
            x = x * pow10(m) + widened / divisor;
            remainder = widened % divisor;
            places += m;
            continue;
        }
        // Near the limit: append one digit if it fits after all.
        const uint128 widened = remainder * 10;
        const uint128 digit = widened / divisor;
        if (x > (kMax - digit) / 10)
            break;
        x = x * 10 + digit;
        remainder = widened % divisor;
        ++places;
    }

    if (remainder == 0) {
        // Exact: bring it to scale 0 at least, then to its smallest scale.
        if (places < shift) {
            if (x > kMax / pow10(shift - places))
                throw OverflowError();
            x *= pow10(shift - places);
            places = shift;
        }
        int scale = places - shift;
        while (scale > 0 && x % 10 == 0) {
            x /= 10;
            --scale;
        }
        return DecimalNum(x, scale, negative);
    }

    if (places < shift)
        throw OverflowError();
    const uint128 twiceRemainder = remainder * 2;
    if (twiceRemainder > divisor || (twiceRemainder == divisor && (x & 1) != 0)) {
        ++x;
        if (x > kMax) {
            // x was kMax (ending in 5) plus at least a half: one place fewer
            // it rounds up from kMax / 10.
            if (places == shift)
                throw OverflowError();
            x = kMax / 10 + 1;
            --places;
        }
    }
    return DecimalNum(x, places - shift, negative);
}

DecimalNum DecimalNum::integerPart() const
{
    const uint128 divisor = pow10(scale_);
    uint128 whole = coefficient_ / divisor;
    if (negative_ && coefficient_ % divisor != 0)
        ++whole;  // floor goes away from zero for negative values
    return DecimalNum(whole, 0, negative_);
}

std::strong_ordering operator<=>(const DecimalNum &a, const DecimalNum &b)
{
    // Zero is never negative, so differing signs decide.
    if (a.negative_ != b.negative_)
        return a.negative_ ? std::strong_ordering::less : std::strong_ordering::greater;

    std::strong_ordering magnitudeOrder = std::strong_ordering::equal;
    if (a.scale_ == b.scale_) {
        magnitudeOrder = a.coefficient_ <=> b.coefficient_;
    } else {
        const int scale = std::max(a.scale_, b.scale_);
        magnitudeOrder = scaledUp(a.coefficient_, scale - a.scale_) <=> scaledUp(b.coefficient_, scale - b.scale_);
    }
    return a.negative_ ? 0 <=> magnitudeOrder : magnitudeOrder;
}
