#include "generator/exact_text.h"

QString digitsText(uint128 value)
{
    std::string digits;
    appendDigits(digits, value);
    return QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
}

QString signedDigitsText(uint128 value) { return QLatin1Char(' ') + digitsText(value); }
