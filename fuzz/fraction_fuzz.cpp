// Fuzzes the fast fraction of the trial division against the decimal
// quotient it stands in for: for n below 10^28 and d from 2 to 2^63, the
// remainder is n mod d and the fraction is the double of the decimal
// quotient's fractional part, bit for bit. Any mismatch aborts.
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "core/fast_fraction.h"
#include "numeric/decimal_num.h"

namespace {

const uint128 kTenTo28 = uint128(10000000000000000000ull) * 1000000000ull;

double decimalFraction(uint128 n, std::uint64_t d)
{
    const DecimalNum q = DecimalNum::fromUInt128(n) / DecimalNum::fromUInt128(d);
    return (q - q.integerPart()).toDouble();
}

}  // namespace

// 16 bytes of n, 8 of d, and one byte that moves n next to a multiple of d
// (remainders 1, 2, d / 2, d - 1 are where rounding decides).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 25)
        return 0;
    uint128 n = 0;
    std::uint64_t d = 0;
    std::memcpy(&n, data, sizeof n);
    std::memcpy(&d, data + 16, sizeof d);
    n %= kTenTo28;
    d = (2 + d % ((std::uint64_t(1) << 63) - 2)) >> (data[24] % 62);
    if (d < 2)
        d = 2;
    const std::uint64_t near[] = {0, 1, 2, d / 2, d - 1};
    if (const std::uint8_t shift = data[24] >> 5; shift != 0 && shift < 6 && n >= d)
        n = n - n % d + near[shift - 1];
    const std::uint64_t r = fastfrac::remainder(n, d);
    const double fast = fastfrac::quotientFraction(n, d, r);
    const double exact = decimalFraction(n, d);
    if (r != static_cast<std::uint64_t>(n % d) ||
        std::bit_cast<std::uint64_t>(fast) != std::bit_cast<std::uint64_t>(exact)) {
        std::cerr << "n = " << DecimalNum::fromUInt128(n).trimmedText() << ", d = " << d << ": fast " << fast
                  << ", decimal " << exact << "\n";
        std::abort();
    }
    return 0;
}
