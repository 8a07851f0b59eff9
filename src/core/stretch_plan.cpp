#include "core/stretch_plan.h"

#include <algorithm>

namespace core {

StretchPlan::StretchPlan(std::uint64_t passes, std::uint64_t stretchPasses, std::uint64_t jumpFrom)
    : passes_(passes), stretchPasses_(stretchPasses)
{
    const auto stretchesFor = [stretchPasses](std::uint64_t p) { return p / stretchPasses + (p % stretchPasses != 0); };
    equalStretches_ = stretchesFor(std::min(passes, jumpFrom));
    for (std::uint64_t first = equalStretches_ * stretchPasses; first < passes;) {
        first = std::min(passes, std::max(first * 2, first + stretchPasses));
        jumpEnds_.push_back(first);
    }
}

std::uint64_t StretchPlan::firstPass(std::uint64_t stretch) const
{
    if (stretch <= equalStretches_)
        return std::min(stretch * stretchPasses_, passes_);
    return jumpEnds_[stretch - equalStretches_ - 1];
}

std::uint64_t StretchPlan::endPass(std::uint64_t stretch) const
{
    if (stretch < equalStretches_)
        return std::min((stretch + 1) * stretchPasses_, passes_);
    return jumpEnds_[stretch - equalStretches_];
}

}  // namespace core
