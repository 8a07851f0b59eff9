#include "core/fast_fraction.h"

#include <algorithm>
#include <array>

#include "numeric/decimal_num.h"

namespace fastfrac {
namespace {

constexpr uint128 kMaxCoefficient = DecimalNum::kMaxCoefficient;

constexpr std::array<uint128, 29> makePowersOfTen()
{
    std::array<uint128, 29> powers{};
    uint128 power = 1;
    for (auto &p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}
constexpr std::array<uint128, 29> kPow10 = makePowersOfTen();

// r * 10^places / d as a truncated quotient and what remains of r * 10^places.
struct ScaledQuotient {
    uint128 digits;
    std::uint64_t rest;
};

// Long division in blocks of at most 19 digits: rest * 10^19 < 2^64 * 10^19
// stays below 2^128.
ScaledQuotient scaledQuotient(std::uint64_t r, std::uint64_t d, int places)
{
    ScaledQuotient q{0, r};
    while (places > 0) {
        const int block = std::min(places, 19);
        const uint128 widened = uint128(q.rest) * kPow10[block];
        q.digits = q.digits * kPow10[block] + widened / d;
        q.rest = static_cast<std::uint64_t>(widened % d);
        places -= block;
    }
    return q;
}

// Coefficient and scale of the rounded quotient n / d.
struct Quotient {
    uint128 coefficient;
    int scale;
};

Quotient roundedQuotient(uint128 whole, std::uint64_t d, std::uint64_t r, int scale)
{
    const ScaledQuotient q = scaledQuotient(r, d, scale);
    uint128 coefficient = whole * kPow10[scale] + q.digits;
    const uint128 twiceRest = uint128(q.rest) * 2;
    if (twiceRest > d || (twiceRest == d && (coefficient & 1) != 0))
        ++coefficient;
    return {coefficient, scale};
}

// The places that fit: the largest scale <= 28 at which the rounded quotient
// fits 96 bits. The whole part alone fits at `scale`; the digits after it, or
// rounding them up, can carry it past 96 bits, and then one place fewer fits.
Quotient decimalQuotient(uint128 n, std::uint64_t d, std::uint64_t r)
{
    const uint128 whole = n / d;
    int scale = DecimalNum::kMaxScale;
    while (scale > 0 && whole > kMaxCoefficient / kPow10[scale])
        --scale;
    Quotient q = roundedQuotient(whole, d, r, scale);
    if (q.coefficient > kMaxCoefficient)
        q = roundedQuotient(whole, d, r, scale - 1);
    return q;
}

}  // namespace

double quotientFraction(uint128 n, std::uint64_t d, std::uint64_t r)
{
    if (r == 0)
        return 0.0;
    const Quotient q = decimalQuotient(n, d, r);
    const uint128 fraction = q.coefficient % kPow10[q.scale];
    return DecimalNum::fromParts(fraction, q.scale, false).toDouble();
}

}  // namespace fastfrac
