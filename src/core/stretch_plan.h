#pragma once

#include <cstdint>
#include <vector>

namespace core {

// How a loop's passes are cut into stretches: stretches of equal length up to
// the pass where jumping may begin, then stretches that double in length, each
// of which a kernel may jump rather than scan. Early on the remainders that
// can set a record are too many to jump to; later a doubling keeps the
// stretches few.
class StretchPlan {
public:
    // jumpFrom at or past `passes`: every stretch is scanned.
    StretchPlan(std::uint64_t passes, std::uint64_t stretchPasses, std::uint64_t jumpFrom);

    std::uint64_t count() const { return equalStretches_ + jumpEnds_.size(); }
    std::uint64_t firstPass(std::uint64_t stretch) const;
    std::uint64_t endPass(std::uint64_t stretch) const;
    // The first stretch that may be jumped; count() when none may.
    std::uint64_t firstJump() const { return equalStretches_; }
    bool mayJump(std::uint64_t stretch) const { return stretch >= equalStretches_; }
    bool hasJumps() const { return !jumpEnds_.empty(); }

private:
    std::uint64_t passes_;
    std::uint64_t stretchPasses_;
    std::uint64_t equalStretches_;
    std::vector<std::uint64_t> jumpEnds_;  // end passes of the doubling stretches
};

}  // namespace core
