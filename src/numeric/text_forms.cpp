// Conversions between numbers and text: parsing decimal text, the signed and
// trimmed forms of DecimalNum and of doubles, the plain form of doubles and
// the fixed fractional patterns.

#include <algorithm>
#include <charconv>
#include <cmath>

#include "numeric/decimal_internal.h"
#include "numeric/decimal_num.h"

using decimal_detail::digitsOf;
using decimal_detail::pow10;

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char digitChar(unsigned digit) { return static_cast<char>('0' + digit); }

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

namespace decimal_detail {

std::string digitsOf(uint128 value)
{
    char buffer[40];
    char *end = buffer + sizeof buffer;
    char *p = end;
    do {
        *--p = digitChar(unsigned(value % 10));
        value /= 10;
    } while (value != 0);
    return std::string(p, end);
}

RoundedDouble roundTo15Digits(double value)
{
    // "d.dddddddddddddde+XX", correctly rounded and independent of the locale.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::abs(value), std::chars_format::scientific,
                                      14);
    const std::string_view text(buffer, std::size_t(result.ptr - buffer));

    RoundedDouble rounded;
    if (value == 0)
        return rounded;
    rounded.negative = value < 0;
    const std::size_t ePos = text.find('e');
    for (std::size_t i = 0; i < ePos; ++i)
        if (text[i] != '.')
            rounded.digits[rounded.count++] = text[i];
    while (rounded.count > 1 && rounded.digits[rounded.count - 1] == '0')
        --rounded.count;
    std::from_chars(text.data() + ePos + 2, text.data() + text.size(), rounded.exponent);
    if (text[ePos + 1] == '-')
        rounded.exponent = -rounded.exponent;
    return rounded;
}

}  // namespace decimal_detail

DecimalNum DecimalNum::fromText(std::string_view text)
{
    text = trimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    // Integer digits beyond 29 significant ones mean a value of at least
    // 10^29, too large; fractional digits beyond 29 places only matter as a
    // sticky bit for rounding at 28 places. So `value` stays below 10^58.
    constexpr int kMaxDigits = kMaxScale + 1;
    WideUInt value;
    int integerDigits = 0;
    int scale = 0;
    bool sticky = false;
    bool seenDigit = false;
    bool seenPoint = false;
    bool tooLarge = false;
    for (const char c : text) {
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (c < '0' || c > '9')
            throw ConversionError();
        seenDigit = true;
        const auto digit = unsigned(c - '0');
        if (!seenPoint) {
            if (integerDigits == 0 && digit == 0)
                continue;
            if (++integerDigits > kMaxDigits) {
                tooLarge = true;  // keep scanning: malformed text wins
                continue;
            }
        } else if (scale == kMaxDigits) {
            sticky |= digit != 0;
            continue;
        } else {
            ++scale;
        }
        value.multiplyAdd(10, digit);
    }
    if (!seenDigit)
        throw ConversionError();
    if (tooLarge)
        throw OverflowError();
    const auto fitted = decimal_detail::fitCoefficient(value, scale, sticky);
    return DecimalNum(fitted.coefficient, fitted.scale, negative);
}

std::string DecimalNum::signedText() const
{
    // Trailing zeros of the fraction are not shown: 2.50 reads " 2.5".
    uint128 coefficient = coefficient_;
    int scale = scale_;
    while (scale > 0 && coefficient % 10 == 0) {
        coefficient /= 10;
        --scale;
    }
    std::string text(1, negative_ ? '-' : ' ');
    const std::string digits = digitsOf(coefficient);
    if (scale == 0)
        return text + digits;
    const auto fractionLength = std::size_t(scale);
    if (digits.size() > fractionLength)
        text.append(digits, 0, digits.size() - fractionLength);
    text += '.';
    if (digits.size() < fractionLength)
        text.append(fractionLength - digits.size(), '0');
    text.append(digits, digits.size() - std::min(digits.size(), fractionLength));
    return text;
}

std::string DecimalNum::trimmedText() const
{
    std::string text = signedText();
    if (text.front() == ' ')
        text.erase(0, 1);
    return text;
}

std::string DecimalNum::fixedPattern(int places, char decimalSeparator) const
{
    places = std::max(places, 0);
    // Round to `places` decimals when the value has more, half to even.
    uint128 coefficient = coefficient_;
    int scale = scale_;
    if (scale > places) {
        const uint128 divisor = pow10(scale - places);
        const uint128 remainder = coefficient % divisor;
        coefficient /= divisor;
        if (remainder * 2 > divisor || (remainder * 2 == divisor && (coefficient & 1) != 0))
            ++coefficient;
        scale = places;
    }
    const std::string digits = digitsOf(coefficient);
    const auto fractionLength = std::size_t(scale);

    std::string text = negative_ && coefficient != 0 ? "-" : "";
    if (digits.size() > fractionLength) {
        const std::string whole = digits.substr(0, digits.size() - fractionLength);
        if (whole != "0")
            text += whole;
    }
    text += decimalSeparator;
    if (digits.size() < fractionLength)
        text.append(fractionLength - digits.size(), '0');
    text.append(digits, digits.size() - std::min(digits.size(), fractionLength));
    text.append(std::size_t(places - scale), '0');
    return text;
}

namespace {

struct DoubleTextStyle {
    bool signPosition;     // a blank stands in for the sign of positive values
    bool zeroBeforePoint;  // "0.5" rather than ".5"
    char separator;
};

// Magnitudes from 1e-5 up to below 1e15 (after rounding to 15 significant
// digits) are written in positional notation, which then needs at most
// 19 decimal places; outside that range the exponent form keeps the text
// short: " 1E+15", " 1.5E-07".
constexpr int kMinPositionalExponent = -5;
constexpr int kMaxPositionalExponent = 14;

std::string exponentForm(const decimal_detail::RoundedDouble &r, char separator)
{
    std::string text(1, r.digits[0]);
    if (r.count > 1) {
        text += separator;
        text.append(r.digits + 1, std::size_t(r.count - 1));
    }
    text += r.exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(r.exponent);
    if (magnitude < 10)
        text += '0';
    text += std::to_string(magnitude);
    return text;
}

std::string positionalForm(const decimal_detail::RoundedDouble &r, const DoubleTextStyle &style)
{
    const std::string_view digits(r.digits, std::size_t(r.count));
    std::string whole;
    std::string fraction;
    if (r.exponent >= 0) {
        const auto wholeLength = std::size_t(r.exponent + 1);
        whole = digits.substr(0, wholeLength);
        whole.append(wholeLength - whole.size(), '0');
        if (digits.size() > wholeLength)
            fraction = digits.substr(wholeLength);
    } else {
        whole = style.zeroBeforePoint ? "0" : "";
        fraction.assign(std::size_t(-r.exponent - 1), '0');
        fraction += digits;
    }
    return fraction.empty() ? whole : whole + style.separator + fraction;
}

std::string formatDouble(double value, const DoubleTextStyle &style)
{
    const std::string positiveSign = style.signPosition ? " " : "";
    if (std::isnan(value))
        return positiveSign + "NaN";
    if (std::isinf(value))
        return (value < 0 ? "-" : positiveSign) + "Inf";

    const auto rounded = decimal_detail::roundTo15Digits(value);
    if (rounded.count == 0)
        return positiveSign + "0";
    const std::string sign = rounded.negative ? "-" : positiveSign;
    if (rounded.exponent < kMinPositionalExponent || rounded.exponent > kMaxPositionalExponent)
        return sign + exponentForm(rounded, style.separator);
    return sign + positionalForm(rounded, style);
}

}  // namespace

std::string signedText(double value) { return formatDouble(value, {true, false, '.'}); }

std::string trimmedText(double value)
{
    std::string text = signedText(value);
    if (text.front() == ' ')
        text.erase(0, 1);
    return text;
}

std::string plainText(double value, char decimalSeparator)
{
    return formatDouble(value, {false, true, decimalSeparator});
}
