#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The trial divisors of the primality test and their bound.
namespace trial {

// sqrt(n) computed on the nearest double of n, rounded to the nearest whole
// number with halves going to the even neighbour.
std::uint64_t bound(double n);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double x);

// Above 10 a candidate that is a multiple of 3, then of 5, then of 7 moves on
// by 2, each test once and in that order: 25 becomes 27, 33 becomes 37.
constexpr std::uint64_t skipSmallMultiples(std::uint64_t d)
{
    if (d % 3 == 0)
        d += 2;
    if (d % 5 == 0)
        d += 2;
    if (d % 7 == 0)
        d += 2;
    return d;
}

// From 11 on, the divisors follow a cycle of kCycleLength gaps that adds up
// to 210 (the skips depend on d mod 3, 5 and 7 alone).
inline constexpr int kCycleLength = 58;
using CycleGaps = std::array<std::uint8_t, kCycleLength>;

constexpr CycleGaps makeCycleGaps()
{
    CycleGaps gaps{};
    std::uint64_t d = 11;
    for (auto &gap : gaps) {
        const std::uint64_t next = skipSmallMultiples(d + 2);
        gap = static_cast<std::uint8_t>(next - d);
        d = next;
    }
    return gaps;
}
inline constexpr CycleGaps kCycleGaps = makeCycleGaps();

constexpr bool cycleCloses()
{
    std::uint64_t sum = 0;
    for (std::uint8_t gap : kCycleGaps)
        sum += gap;
    return sum == 210 && skipSmallMultiples(11) == 11;
}
static_assert(cycleCloses(), "the skips repeat every 210 from 11 on");

// Walks the trial divisors 2, 3, then every odd number (step 2; numbers up to
// 15 use step 1 and try 2, 3, 4) with the skips above 10, while the candidate
// before its skips is within the bound. A skipped candidate may land beyond
// the bound; it is tried all the same.
class DivisorWalk {
public:
    DivisorWalk(std::uint64_t bound, std::uint64_t step) : bound_(bound), step_(step) {}

    // Moves to the next divisor; false when the walk is over.
    bool next()
    {
        if (!onCycle_)
            return nextBeforeCycle();
        if (d_ + 2 > bound_)
            return false;
        d_ += kCycleGaps[position_];
        if (++position_ == kCycleLength)
            position_ = 0;
        return true;
    }
    std::uint64_t divisor() const { return d_; }

private:
    // 2, 3, 5, 7, 9 (or 2, 3, 4), each candidate checked against the bound.
    bool nextBeforeCycle()
    {
        std::uint64_t candidate = passes_ == 0 ? 2 : d_ + step_;
        if (candidate > bound_)
            return false;
        if (++passes_ == 2)
            candidate = 3;  // step 2 would have reached 4
        if (candidate > 10) {
            candidate = skipSmallMultiples(candidate);
            onCycle_ = step_ == 2 && candidate == 11;
        }
        d_ = candidate;
        return true;
    }

    std::uint64_t bound_;
    std::uint64_t step_;
    std::uint64_t d_ = 0;
    int passes_ = 0;
    bool onCycle_ = false;
    int position_ = 0;
};

// The same divisors by position, pass 0 being the first: their number is known
// up front, so that they can be cut into stretches and walked from any pass.
class TrialSequence {
public:
    TrialSequence(std::uint64_t bound, std::uint64_t step);

    std::uint64_t size() const { return size_; }
    std::uint64_t at(std::uint64_t pass) const;
    // The pass that tries d; empty when d is not among the divisors.
    std::optional<std::uint64_t> passOf(std::uint64_t d) const;

    // Walks the divisors from a given pass on. All inline, so that a loop
    // keeps the cursor in registers.
    class Cursor {
    public:
        Cursor(const TrialSequence &sequence, std::uint64_t pass)
            : sequence_(sequence), prefixPass_(pass), d_(sequence.at(pass)),
              position_(pass < sequence.prefixSize_ ? -1
                                                    : static_cast<int>((pass - sequence.prefixSize_) % kCycleLength))
        {
        }
        // The divisor at the current pass; then moves to the next pass.
        std::uint64_t next()
        {
            const std::uint64_t d = d_;
            if (position_ >= 0) [[likely]] {
                d_ += kCycleGaps[static_cast<std::size_t>(position_)];
                if (++position_ == kCycleLength)
                    position_ = 0;
            } else {
                leavePrefix();
            }
            return d;
        }

    private:
        void leavePrefix()
        {
            ++prefixPass_;
            d_ = sequence_.at(prefixPass_);
            if (prefixPass_ >= sequence_.prefixSize_)
                position_ = 0;
        }

        const TrialSequence &sequence_;
        std::uint64_t prefixPass_;
        std::uint64_t d_;
        int position_;  // place in the cycle; -1 among the divisors below 11
    };
    Cursor cursor(std::uint64_t pass) const { return Cursor(*this, pass); }

private:
    std::array<std::uint64_t, 5> prefix_{};  // the divisors below 11
    std::uint64_t prefixSize_ = 0;
    std::uint64_t size_ = 0;
};

// 1, 2, 3, ... or 3, 5, 7, ...: first + step * pass.
struct EvenlySpaced {
    std::uint64_t first;
    std::uint64_t step;
    std::uint64_t size;

    std::uint64_t at(std::uint64_t pass) const { return first + step * pass; }
    std::optional<std::uint64_t> passOf(std::uint64_t d) const
    {
        if (d < first || (d - first) % step != 0 || (d - first) / step >= size)
            return std::nullopt;
        return (d - first) / step;
    }
    class Cursor {
    public:
        Cursor(std::uint64_t d, std::uint64_t step) : d_(d), step_(step) {}
        std::uint64_t next()
        {
            const std::uint64_t d = d_;
            d_ += step_;
            return d;
        }

    private:
        std::uint64_t d_;
        std::uint64_t step_;
    };
    Cursor cursor(std::uint64_t pass) const { return Cursor(at(pass), step); }
};

// The number of passes of either kind of sequence.
inline std::uint64_t passesOf(const TrialSequence &divisors) { return divisors.size(); }
inline std::uint64_t passesOf(const EvenlySpaced &divisors) { return divisors.size; }

}  // namespace trial
