#pragma once

#include "numeric/decimal_num.h"

// One prime factor of a number and how often it divides it. Held exactly:
// the last cofactor may be a prime of up to 28 digits.
struct FactorEntry {
    DecimalNum prime;
    int exponent = 1;
};
