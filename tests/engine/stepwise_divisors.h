#pragma once

#include <cstdint>
#include <vector>

// The trial divisors by the stepwise rule, one candidate at a time: 2, then
// d + step with the second pass set to 3, and above 10 one skip each past a
// multiple of 3, of 5 and of 7, while the candidate before its skips is within
// the bound. The reference against which the engine's walk is checked.
inline std::vector<std::uint64_t> stepwiseDivisors(std::uint64_t bound, std::uint64_t step)
{
    std::vector<std::uint64_t> divisors;
    int passes = 0;
    for (std::uint64_t d = 2; d <= bound; d += step) {
        if (++passes == 2)
            d = 3;
        if (d > 10) {
            for (std::uint64_t p : {3, 5, 7})
                if (d % p == 0)
                    d += 2;
        }
        divisors.push_back(d);
    }
    return divisors;
}
