// Jumping to the divisors of n's neighbours finds what scanning finds: the
// same divisor passes and the same ratio candidates, with the same fractions,
// for stretches of the three divisor sequences where jumping is hardest
// (random ones are the fuzzer's).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <utility>
#include <variant>
#include <vector>

#include "core/neighbour_table.h"
#include "core/stretch_jump.h"
#include "core/stretch_scan.h"
#include "core/trial_divisors.h"
#include "numeric/decimal_num.h"

namespace {

uint128 num(const char *digits)
{
    uint128 n = 0;
    return DecimalNum::fromText(digits).toUInt128(n) ? n : 0;  // 0: no passes, and the row fails
}

// The primality test's divisors, the divisor walk 1, 2, 3, ... and the factor
// search's odd walk 3, 5, 7, ..., each up to the root of n.
enum class Kind { Trial, Walk, OddWalk };
using Sequence = std::variant<trial::TrialSequence, trial::EvenlySpaced>;
Sequence sequenceOf(uint128 n, Kind kind)
{
    const std::uint64_t root = core::wholeRoot(n);
    if (kind == Kind::Trial)
        return trial::TrialSequence(trial::bound(static_cast<double>(n)), n > 15 ? 2 : 1);
    return kind == Kind::Walk ? trial::EvenlySpaced{1, 1, root} : trial::EvenlySpaced{3, 2, (root - 1) / 2};
}

constexpr std::uint64_t kToEnd = 1ull << 62, kLast = UINT64_MAX;  // `around` the last divisor
constexpr double kTight = 0, kLoose = -10;

struct Row {
    const char *name;
    uint128 n;
    Kind kind;
    std::uint64_t first, end;  // passes; with `around`, counted back and on from the pass of that divisor
    bool withRatios, stopAtDivisor;
    double best;  // c > 0: c / (the stretch's last divisor); kTight: the true best before it; kLoose: ten times that
    std::uint64_t around = 0;
};
void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }

const uint128 kH1 = 963761198400ull, kH2 = 897612484786617600ull, kP10 = 9999999967ull;
// clang-format off
const std::vector<Row> kRows = {
    {"Prime1e12p39_WalkOddOffsets", 1000000000039ull, Kind::Walk, 12345, 54321, true, false, kTight},
    {"Prime1e12p39_WalkOddOffsetsLoose", 1000000000039ull, Kind::Walk, 12345, 54321, true, false, kLoose},
    {"Semiprime999979x999983_TrialStop", 999962000357ull, Kind::Trial, 200000, 1000, true, true, kTight, 999979},
    {"SquareOf9999999967_OddWalkEnd", kP10 * kP10, Kind::OddWalk, 1000000, kToEnd, true, false, 5, kP10},
    {"Perfect2305843008139952128_WalkStop", 2305843008139952128ull, Kind::Walk, 1000000, 1000000, false, true, 3, 1ull << 30},
    {"TwoTo64m1_WalkEnd", ~0ull, Kind::Walk, 1500000, kToEnd, true, false, 3, kLast},
    {"TenTo28m1_TrialHigh", num("9999999999999999999999999999"), Kind::Trial, 1000000000000, 1000001500000, true, false, 3},
    {"Semiprime28Digits_TrialStop", num("1200000002531510000838620587"), Kind::Trial, 1000000, 1000000, true, true, 3,
     30000000012347ull},
    {"HighlyComposite963761198400p1_Walk", kH1 + 1, Kind::Walk, 100000, kToEnd, true, false, kTight},
    {"HighlyComposite897612484786617600p1_WalkEnd", kH2 + 1, Kind::Walk, 1900000, kToEnd, true, false, 200, kLast},
};
// clang-format on

class JumpEqualsScan : public testing::TestWithParam<Row> {};

TEST_P(JumpEqualsScan, SameDivisorsAndCandidates)
{
    const Row &row = GetParam();
    std::visit(
        [&](const auto &divisors) {
            const std::uint64_t size = trial::passesOf(divisors);
            std::uint64_t first = row.first, end = row.end;
            if (row.around != 0) {
                const auto pass = row.around == kLast ? std::optional(size - 1) : divisors.passOf(row.around);
                ASSERT_TRUE(pass.has_value());
                first = *pass - std::min(*pass, row.first), end = *pass + row.end;
            }
            end = std::min(end, size);
            ASSERT_LT(first, end);
            double best = row.best / static_cast<double>(divisors.at(end - 1));
            if (row.best <= 0) {
                const auto before = first == 0 ? core::StretchResult{}
                                               : core::scanStretch(divisors, row.n, {0, first, true, false, 1.0});
                best = before.ratioCandidates.empty() ? 1.0 : before.ratioCandidates.back().fraction;
                best = row.best == kLoose ? std::min(1.0, 10 * best) : best;
            }
            const core::StretchRequest request{first, end, row.withRatios, row.stopAtDivisor, best};
            core::NeighbourTable table(row.n);
            ASSERT_LE(divisors.at(end - 1), table.divisorLimit());
            const core::StretchResult scan = core::scanStretch(divisors, row.n, request);
            const core::StretchResult jump = core::jumpStretch(divisors, table, request, {});
            EXPECT_EQ(jump.divisorPasses, scan.divisorPasses);
            EXPECT_EQ(jump.ratioCandidates, scan.ratioCandidates);
        },
        sequenceOf(row.n, row.kind));
}
INSTANTIATE_TEST_SUITE_P(Rows, JumpEqualsScan, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

}  // namespace
