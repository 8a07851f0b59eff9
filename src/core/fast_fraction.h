#pragma once

#include <cstdint>

#include "numeric/uint128.h"

// Integer arithmetic behind the trial division: the remainder decides
// divisibility, and the fraction of the decimal quotient is formed from it
// only when it is shown or compared.
namespace fastfrac {

// n mod d for n below 2^128 given as two 64-bit halves.
inline std::uint64_t remainder(std::uint64_t high, std::uint64_t low, std::uint64_t d)
{
    if (high >= d)
        high %= d;
#if defined(__x86_64__)
    // high < d, so the 128-by-64-bit division cannot overflow its quotient.
    std::uint64_t quotient;
    std::uint64_t rest;
    __asm__("divq %4" : "=a"(quotient), "=d"(rest) : "a"(low), "d"(high), "r"(d) : "cc");
    return rest;
#else
    return static_cast<std::uint64_t>(((uint128(high) << 64) | low) % d);
#endif
}

inline std::uint64_t remainder(uint128 n, std::uint64_t d)
{
    return remainder(static_cast<std::uint64_t>(n >> 64), static_cast<std::uint64_t>(n), d);
}

// The number under test with the remainder that suits its size: numbers below
// 2^64 divide in 64-bit arithmetic, larger ones in 128-bit.
struct Dividend64 {
    std::uint64_t n;
    std::uint64_t operator()(std::uint64_t d) const { return n % d; }
};
struct Dividend128 {
    std::uint64_t high;
    std::uint64_t low;
    std::uint64_t operator()(std::uint64_t d) const { return remainder(high, low, d); }
};

// Calls f with the dividend that suits n.
template <class F>
decltype(auto) withDividend(uint128 n, F &&f)
{
    const auto high = static_cast<std::uint64_t>(n >> 64);
    const auto low = static_cast<std::uint64_t>(n);
    return high == 0 ? f(Dividend64{low}) : f(Dividend128{high, low});
}

// The fractional part of the decimal quotient n / d as a double, given
// r = n mod d: the quotient carried to as many places (at most 28) as fit a
// 96-bit coefficient, rounded half to even, less its whole part, converted to
// the nearest double. Equal to DivFraction(n, d) for n < 10^28, 1 <= d < 2^64.
double quotientFraction(uint128 n, std::uint64_t d, std::uint64_t r);

}  // namespace fastfrac
