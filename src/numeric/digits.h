#pragma once

#include <string>

#include "numeric/uint128.h"

// The decimal digits of an exact integer, appended to `out`. The lists, the
// list file and the captions use it once per prime or divisor, so it works on
// the native integer instead of going through DecimalNum.
void appendDigits(std::string &out, uint128 value);

// How many decimal digits appendDigits() writes for `value`.
int digitCount(uint128 value);
