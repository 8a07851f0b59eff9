#pragma once

// Internal to the number type: a 256-bit unsigned integer for the
// intermediate values of decimal arithmetic (a 96-bit coefficient times a
// power of ten up to 10^28, or the product of two coefficients).

#include <compare>
#include <cstdint>

#include "numeric/uint128.h"

class WideUInt {
public:
    constexpr WideUInt() = default;
    constexpr WideUInt(uint128 value) : low_(value) {}  // NOLINT: implicit widening

    // Full 256-bit product of two 128-bit values.
    static constexpr WideUInt product(uint128 a, uint128 b)
    {
        const uint128 a0 = std::uint64_t(a), a1 = a >> 64;
        const uint128 b0 = std::uint64_t(b), b1 = b >> 64;
        const uint128 lowProduct = a0 * b0;
        const uint128 cross1 = a0 * b1;
        const uint128 cross2 = a1 * b0;
        const uint128 middle = (lowProduct >> 64) + std::uint64_t(cross1) + std::uint64_t(cross2);
        WideUInt result;
        result.low_ = std::uint64_t(lowProduct) | (middle << 64);
        result.high_ = a1 * b1 + (cross1 >> 64) + (cross2 >> 64) + (middle >> 64);
        return result;
    }

    constexpr uint128 low() const { return low_; }
    constexpr bool fitsIn128() const { return high_ == 0; }
    constexpr bool fitsIn96() const { return high_ == 0 && (low_ >> 96) == 0; }
    constexpr bool isOdd() const { return (low_ & 1) != 0; }
    constexpr bool isZero() const { return high_ == 0 && low_ == 0; }

    constexpr int bitLength() const
    {
        if (high_ != 0)
            return 128 + bitLength128(high_);
        return bitLength128(low_);
    }

    friend constexpr WideUInt operator+(const WideUInt &a, const WideUInt &b)
    {
        WideUInt sum;
        sum.low_ = a.low_ + b.low_;
        sum.high_ = a.high_ + b.high_ + (sum.low_ < a.low_ ? 1 : 0);
        return sum;
    }

    // Requires a >= b.
    friend constexpr WideUInt operator-(const WideUInt &a, const WideUInt &b)
    {
        WideUInt difference;
        difference.low_ = a.low_ - b.low_;
        difference.high_ = a.high_ - b.high_ - (a.low_ < b.low_ ? 1 : 0);
        return difference;
    }

    friend constexpr std::strong_ordering operator<=>(const WideUInt &a, const WideUInt &b)
    {
        if (a.high_ != b.high_)
            return a.high_ <=> b.high_;
        return a.low_ <=> b.low_;
    }
    friend constexpr bool operator==(const WideUInt &a, const WideUInt &b) = default;

    // this = this * factor + addend; the result must fit 256 bits.
    constexpr void multiplyAdd(std::uint64_t factor, std::uint64_t addend)
    {
        const WideUInt lowPart = product(low_, factor);
        high_ = high_ * factor + lowPart.high_;
        low_ = lowPart.low_;
        *this = *this + WideUInt(addend);
    }

    // this = this / divisor; returns the remainder. Divisor must be non-zero.
    constexpr std::uint64_t divideBy(std::uint64_t divisor)
    {
        uint128 remainder = 0;
        high_ = divideWord(high_, divisor, remainder);
        low_ = divideWord(low_, divisor, remainder);
        return std::uint64_t(remainder);
    }

private:
    static constexpr int bitLength128(uint128 v)
    {
        const auto high = std::uint64_t(v >> 64);
        if (high != 0)
            return 128 - __builtin_clzll(high);
        const auto low = std::uint64_t(v);
        return low == 0 ? 0 : 64 - __builtin_clzll(low);
    }

    // Divides the two 64-bit halves of `word`, carrying `remainder` in and out.
    static constexpr uint128 divideWord(uint128 word, std::uint64_t divisor, uint128 &remainder)
    {
        const uint128 upper = (remainder << 64) | std::uint64_t(word >> 64);
        const uint128 upperQuotient = upper / divisor;
        const uint128 lower = ((upper % divisor) << 64) | std::uint64_t(word);
        remainder = lower % divisor;
        return (upperQuotient << 64) | (lower / divisor);
    }

    uint128 low_ = 0;
    uint128 high_ = 0;
};
