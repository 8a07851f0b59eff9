#pragma once

#include <QString>

#include "numeric/digits.h"

// Decimal digits of exact integers for the generator's lists and captions.
// 9973
QString digitsText(uint128 value);
// " 9973": a blank in the sign's place, then the digits.
QString signedDigitsText(uint128 value);
