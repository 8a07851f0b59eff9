#pragma once

#include <QString>
#include <string>

#include "numeric/uint128.h"

// Decimal digits of exact integers for the generator's lists, captions and
// file lines. They run once per prime, so they work on the native integer
// instead of going through DecimalNum.
void appendDigits(std::string &out, uint128 value);
// 9973
QString digitsText(uint128 value);
// " 9973": a blank in the sign's place, then the digits.
QString signedDigitsText(uint128 value);
