#pragma once

// Helpers shared by the number type's source files; not part of its interface.

#include <array>
#include <cstdint>
#include <string>

#include "numeric/uint128.h"
#include "numeric/wide_uint.h"

namespace decimal_detail {

inline constexpr int kMaxPow10 = 38;  // largest power of ten below 2^128

constexpr std::array<uint128, kMaxPow10 + 1> makePowersOfTen()
{
    std::array<uint128, kMaxPow10 + 1> powers{};
    uint128 power = 1;
    for (auto &p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}
inline constexpr std::array<uint128, kMaxPow10 + 1> kPowersOfTen = makePowersOfTen();

// 10^n for 0 <= n <= 38.
constexpr uint128 pow10(int n) { return kPowersOfTen[static_cast<std::size_t>(n)]; }

struct Fitted {
    uint128 coefficient;
    int scale;
};

// Turns `value` / 10^scale into a 96-bit coefficient at the largest scale
// <= 28 that holds it, rounding half to even. `sticky` tells of non-zero
// digits beyond the last place of `value`; it is allowed only with a scale
// above 28, which forces rounding anyway. Throws OverflowError when the value
// does not fit even at scale 0.
Fitted fitCoefficient(WideUInt value, int scale, bool sticky = false);

// Decimal digits of `value` ("0" for zero).
std::string digitsOf(uint128 value);

// A finite double rounded to 15 significant digits:
// (-1)^negative * 0.d1d2..dn * 10^(exponent + 1), i.e. d1.d2..dn E exponent.
// Trailing zeros are dropped; zero has no digits.
struct RoundedDouble {
    bool negative = false;
    char digits[15] = {};
    int count = 0;
    int exponent = 0;
};
RoundedDouble roundTo15Digits(double value);

}  // namespace decimal_detail
