#pragma once

#include "numeric/decimal_num.h"
#include "numeric/uint128.h"

// The factor search and the divisor report work on the entered number as an
// integer, whose remainders decide divisibility exactly.
inline uint128 wholeValueOf(const DecimalNum &number)
{
    uint128 value = 0;
    if (!number.toUInt128(value))
        throw ConversionError();
    return value;
}
