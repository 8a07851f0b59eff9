// Fuzzes the kernel that jumps against the one that scans: for n below 10^28
// and a stretch of up to 2^16 passes anywhere in the divisor walk, the trial
// divisors or the odd walk, started from a best near the stretch's own, both
// find the same divisor passes and ratio candidates, fraction for fraction.
// Any difference aborts.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "core/neighbour_table.h"
#include "core/stretch_jump.h"
#include "core/trial_divisors.h"

namespace {

const uint128 kTenTo28 = uint128(10000000000000000000ull) * 1000000000ull;

// The stretch [first, first + length) of the sequence, from a best of
// `scale` over its last divisor: few enough remainders to factorise.
template <class Sequence>
void compare(const Sequence &divisors, uint128 n, std::uint64_t where, std::uint64_t length, unsigned flags)
{
    const std::uint64_t passes = trial::passesOf(divisors);
    if (passes == 0)
        return;
    const std::uint64_t first = where % passes;
    const std::uint64_t end = std::min(passes, first + 1 + length % 65536);
    const double scale = 1.0 + (flags >> 2) % 64;
    const double best = std::min(1.0, scale / static_cast<double>(divisors.at(end - 1)));
    const core::StretchRequest request{first, end, (flags & 1) != 0, (flags & 2) != 0, best};
    core::NeighbourTable table(n);
    if (divisors.at(end - 1) > table.divisorLimit())
        return;
    if (core::scanStretch(divisors, n, request) != core::jumpStretch(divisors, table, request, {})) {
        std::cerr << "jump differs from scan: passes [" << first << ", " << end << "), flags " << flags << '\n';
        std::abort();
    }
}

}  // namespace

// 16 bytes of n, 8 of the stretch's place, 2 of its length, 1 of flags and
// 1 choosing the sequence.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 28)
        return 0;
    uint128 n = 0;
    std::uint64_t where = 0;
    std::uint16_t length = 0;
    std::memcpy(&n, data, sizeof n);
    std::memcpy(&where, data + 16, sizeof where);
    std::memcpy(&length, data + 24, sizeof length);
    n = 16 + n % (kTenTo28 - 16);
    const auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n))) - 1;
    switch (data[27] % 3) {
    case 0:
        compare(trial::TrialSequence(trial::bound(static_cast<double>(n)), 2), n, where, length, data[26]);
        break;
    case 1:
        compare(trial::EvenlySpaced{1, 1, root}, n, where, length, data[26]);
        break;
    default:
        compare(trial::EvenlySpaced{3, 2, root / 2}, n, where, length, data[26]);
    }
    return 0;
}
