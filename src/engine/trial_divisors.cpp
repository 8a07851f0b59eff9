#include "engine/trial_divisors.h"

#include <cmath>

namespace trial {

double roundHalfEven(double x)
{
    const double below = std::floor(x);
    const double excess = x - below;
    if (excess > 0.5)
        return below + 1;
    if (excess < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::uint64_t bound(double n)
{
    return static_cast<std::uint64_t>(roundHalfEven(std::sqrt(n)));
}

}  // namespace trial
