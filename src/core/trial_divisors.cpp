#include "core/trial_divisors.h"

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

std::uint64_t bound(double n) { return static_cast<std::uint64_t>(roundHalfEven(std::sqrt(n))); }

namespace {

// Offsets of the cycle's divisors from its first one.
constexpr std::array<std::uint64_t, kCycleLength> makeCycleOffsets()
{
    std::array<std::uint64_t, kCycleLength> offsets{};
    for (std::size_t i = 1; i < offsets.size(); ++i)
        offsets[i] = offsets[i - 1] + kCycleGaps[i - 1];
    return offsets;
}
constexpr std::array<std::uint64_t, kCycleLength> kCycleOffsets = makeCycleOffsets();

// For each residue of d - 11 modulo 210, its place in the cycle, or -1 where
// the cycle skips it.
constexpr std::array<int, 210> makeCyclePlaces()
{
    std::array<int, 210> places{};
    places.fill(-1);
    for (std::size_t i = 0; i < kCycleOffsets.size(); ++i)
        places[kCycleOffsets[i]] = static_cast<int>(i);
    return places;
}
constexpr std::array<int, 210> kCyclePlaces = makeCyclePlaces();

// The cycle's divisors up to x, x >= 11.
std::uint64_t cycleDivisorsUpTo(std::uint64_t x)
{
    const std::uint64_t cycles = (x - 11) / 210;
    const std::uint64_t rest = (x - 11) % 210;
    std::uint64_t count = cycles * kCycleLength;
    for (std::uint64_t offset : kCycleOffsets)
        count += offset <= rest ? 1 : 0;
    return count;
}

}  // namespace

TrialSequence::TrialSequence(std::uint64_t bound, std::uint64_t step)
{
    DivisorWalk walk(bound, step);
    while (prefixSize_ < prefix_.size() && walk.next() && walk.divisor() < 11)
        prefix_[prefixSize_++] = walk.divisor();
    // On the cycle a divisor is tried when the one before it, plus 2, is within
    // the bound; 11 follows 9.
    const bool reachesCycle = step == 2 && bound >= 11;
    size_ = prefixSize_ + (reachesCycle ? 1 + (bound >= 13 ? cycleDivisorsUpTo(bound - 2) : 0) : 0);
}

std::uint64_t TrialSequence::at(std::uint64_t pass) const
{
    if (pass < prefixSize_)
        return prefix_[pass];
    const std::uint64_t onCycle = pass - prefixSize_;
    return 11 + 210 * (onCycle / kCycleLength) + kCycleOffsets[onCycle % kCycleLength];
}

std::optional<std::uint64_t> TrialSequence::passOf(std::uint64_t d) const
{
    std::optional<std::uint64_t> pass;
    if (d < 11 || prefixSize_ == size_) {
        for (std::uint64_t i = 0; i < prefixSize_; ++i)
            if (prefix_[i] == d)
                pass = i;
    } else if (const int place = kCyclePlaces[(d - 11) % 210]; place >= 0) {
        pass = prefixSize_ + (d - 11) / 210 * kCycleLength + static_cast<std::uint64_t>(place);
    }
    if (pass && *pass >= size_)
        return std::nullopt;
    return pass;
}

}  // namespace trial
