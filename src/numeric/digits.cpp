#include "numeric/digits.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace {
constexpr std::uint64_t kTenPow19 = 10000000000000000000ULL;
constexpr int kMaxDigits64 = 20;

int digitCount64(std::uint64_t value)
{
    int digits = 1;
    for (std::uint64_t power = 10; digits < kMaxDigits64 && value >= power; power *= 10)
        ++digits;
    return digits;
}
}  // namespace

int digitCount(uint128 value)
{
    if (value <= std::numeric_limits<std::uint64_t>::max())
        return digitCount64(static_cast<std::uint64_t>(value));
    return 19 + digitCount(value / kTenPow19);
}

void appendDigits(std::string &out, uint128 value)
{
    char buffer[kMaxDigits64];
    if (value <= std::numeric_limits<std::uint64_t>::max()) {
        const auto result = std::to_chars(buffer, buffer + kMaxDigits64, static_cast<std::uint64_t>(value));
        out.append(buffer, result.ptr);
        return;
    }
    appendDigits(out, value / kTenPow19);
    const auto result = std::to_chars(buffer, buffer + kMaxDigits64, static_cast<std::uint64_t>(value % kTenPow19));
    out.append(static_cast<std::size_t>(19 - (result.ptr - buffer)), '0');
    out.append(buffer, result.ptr);
}
