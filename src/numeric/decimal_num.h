#pragma once

#include <compare>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "numeric/uint128.h"

// Errors raised by the arithmetic; what() is the text a command shows.
class NumericError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class OverflowError : public NumericError {
public:
    OverflowError() : NumericError("Overflow") {}
};
class DivisionByZeroError : public NumericError {
public:
    DivisionByZeroError() : NumericError("Division by zero") {}
};
// Text that is not a decimal number at all.
class ConversionError : public NumericError {
public:
    ConversionError() : NumericError("Type mismatch") {}
};

// Exact decimal number: 96-bit unsigned coefficient, power-of-ten scale 0..28,
// and a sign. Value = (-1)^negative * coefficient / 10^scale.
class DecimalNum {
public:
    static constexpr int kMaxScale = 28;
    static constexpr uint128 kMaxCoefficient = (uint128(1) << 96) - 1;

    DecimalNum() = default;  // zero

    // Throws OverflowError when coefficient > kMaxCoefficient or the scale is
    // outside 0..28. A zero is never negative.
    static DecimalNum fromParts(uint128 coefficient, int scale, bool negative);
    // Decimal text: optional blanks, optional sign, digits with an optional
    // fractional part ("12", "-0.5", ".5", "5."). Fractional digits that do
    // not fit (beyond 28 places or 96 bits) are rounded half to even.
    // Throws ConversionError or OverflowError.
    static DecimalNum fromText(std::string_view text);
    // Rounded to 15 significant digits, then stored exactly at the smallest
    // scale (beyond 28 places rounded half to even). Overflow for magnitudes
    // beyond 96 bits and for NaN and infinities.
    static DecimalNum fromDouble(double value);
    static DecimalNum fromInt(std::int64_t value);
    static DecimalNum fromUInt128(uint128 value);  // throws OverflowError beyond 96 bits

    uint128 coefficient() const { return coefficient_; }
    int scale() const { return scale_; }
    bool isNegative() const { return negative_; }
    bool isZero() const { return coefficient_ == 0; }
    bool isInteger() const;

    // Nearest double.
    double toDouble() const;
    // The value as an unsigned integer when it is a non-negative whole number.
    bool toUInt128(uint128 &out) const;

    friend DecimalNum operator+(const DecimalNum &a, const DecimalNum &b);
    friend DecimalNum operator-(const DecimalNum &a, const DecimalNum &b);
    friend DecimalNum operator*(const DecimalNum &a, const DecimalNum &b);
    friend DecimalNum operator/(const DecimalNum &a, const DecimalNum &b);

    // Largest integer not greater than the value, scale 0.
    DecimalNum integerPart() const;

    friend std::strong_ordering operator<=>(const DecimalNum &a, const DecimalNum &b);
    friend bool operator==(const DecimalNum &a, const DecimalNum &b) { return (a <=> b) == 0; }

    // " 7", "-3.5", " .2": sign position, digits, "." before any fraction.
    // Trailing zeros of the fraction are not written (2.50 gives " 2.5").
    std::string signedText() const;
    // signedText() without the leading blank.
    std::string trimmedText() const;
    // Value between 0 and 1 as "###.000…" with `places` fractional digits
    // (rounded half to even), integer digits without leading zeros.
    std::string fixedPattern(int places, char decimalSeparator) const;

private:
    // Zero is never negative.
    DecimalNum(uint128 coefficient, int scale, bool negative)
        : coefficient_(coefficient), scale_(static_cast<std::uint8_t>(scale)), negative_(negative && coefficient != 0)
    {
    }

    uint128 coefficient_ = 0;
    std::uint8_t scale_ = 0;
    bool negative_ = false;
};

// Text forms of doubles: at most 15 significant digits; exponent form
// ("1E+15", "1.23456789012346E+15", "1.5E-07") for magnitudes from 1e15 up
// and below 1e-5, positional otherwise. signedText: " 7", "-2.5", " .2";
// plainText: "7", "-2.5", "0,2" with the given separator.
std::string signedText(double value);
std::string trimmedText(double value);
std::string plainText(double value, char decimalSeparator);

// Fixed patterns used by the ratio displays.
inline std::string pattern17(const DecimalNum &v, char sep) { return v.fixedPattern(17, sep); }
inline std::string pattern19(const DecimalNum &v, char sep) { return v.fixedPattern(19, sep); }
