// Jumping to the divisors of n's neighbours finds what scanning finds: the
// same divisor passes and the same ratio candidates, fraction for fraction,
// for single stretches anywhere in the three divisor sequences and for whole
// loops cut into stretches by the kernel. Also passOf, which jumping relies
// on to turn a divisor of a neighbour back into its pass.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <ostream>
#include <utility>
#include <variant>
#include <vector>

#include "core/loop_kernel.h"
#include "core/neighbour_table.h"
#include "core/stretch_jump.h"
#include "core/stretch_scan.h"
#include "core/trial_divisors.h"
#include "numeric/decimal_num.h"

namespace {

using Passes = std::vector<std::pair<std::uint64_t, std::uint64_t>>;  // pass, fraction's bits
Passes bitsOf(const std::vector<core::RatioCandidate> &candidates)
{
    Passes out;
    for (const auto &c : candidates)
        out.emplace_back(c.pass, std::bit_cast<std::uint64_t>(c.fraction));
    return out;
}

uint128 num(const char *digits)
{
    uint128 n = 0;
    return DecimalNum::fromText(digits).toUInt128(n) ? n : 0;  // 0: no passes, and the row fails
}

std::uint64_t wholeRoot(uint128 n)
{
    auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    while (uint128(r) * r > n)
        --r;
    while (uint128(r + 1) * (r + 1) <= n)
        ++r;
    return r;
}

// The primality test's divisors, the divisor walk 1, 2, 3, ... and the factor
// search's odd walk 3, 5, 7, ..., each up to the root of n (or `cap`).
enum class Kind { Trial, Walk, OddWalk };
using Sequence = std::variant<trial::TrialSequence, trial::EvenlySpaced>;
Sequence sequenceOf(uint128 n, Kind kind, std::uint64_t cap = UINT64_MAX)
{
    const std::uint64_t root = std::min(wholeRoot(n), cap);
    if (kind == Kind::Trial)
        return trial::TrialSequence(std::min(trial::bound(static_cast<double>(n)), cap), n > 15 ? 2 : 1);
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
    std::uint64_t around = 0, mustFind = 0;
};
void PrintTo(const Row &row, std::ostream *os) { *os << row.name; }

const uint128 kH1 = 963761198400ull, kH2 = 897612484786617600ull, kP10 = 9999999967ull;
const std::vector<Row> kRows = {
    {"Prime1000003_TrialWhole", 1000003, Kind::Trial, 0, kToEnd, true, false, kTight},
    {"Million_WalkWhole", 1000000, Kind::Walk, 0, kToEnd, true, false, kTight},
    {"Prime1e12p39_WalkOddOffsets", 1000000000039ull, Kind::Walk, 12345, 54321, true, false, kTight},
    {"Prime1e12p39_WalkOddOffsetsLoose", 1000000000039ull, Kind::Walk, 12345, 54321, true, false, kLoose},
    {"Prime1e12p39_InsideDoublingBlock", 1000000000039ull, Kind::Walk, 600, 1100, true, false, kTight},
    {"Tera_WalkDivisorsOnly", 1000000000000ull, Kind::Walk, 12345, 54321, false, false, kTight},
    {"Tera_WalkFirstDivisorOnly", 1000000000000ull, Kind::Walk, 12345, 54321, true, true, kTight},
    {"Semiprime999979x999983_TrialStop", 999962000357ull, Kind::Trial, 200000, 1000, true, true, kTight, 999979, 999979},
    {"Semiprime999979x999983_OnePass", 999962000357ull, Kind::Trial, 0, 1, true, false, 3, 999979, 999979},
    {"Prime1e20p39_TrialHigh", num("100000000000000000039"), Kind::Trial, 2000000000, 2001500000, true, false, 3},
    {"SquareOf999983_TrialStop", uint128(999983) * 999983, Kind::Trial, 200000, 10, true, true, kTight, 999983, 999983},
    {"SquareOf9999999967_OddWalkEnd", kP10 * kP10, Kind::OddWalk, 1000000, kToEnd, true, false, 5, kP10, kP10},
    {"ThreeTo40_WalkEnd", 12157665459056928801ull, Kind::Walk, 1500000, kToEnd, true, false, 3, 3486784401, 3486784401},
    {"TwoTo63_Walk", uint128(1) << 63, Kind::Walk, 1000000, 1000000, true, false, 3, 1ull << 31, 1ull << 31},
    {"Perfect8589869056_Walk", 8589869056ull, Kind::Walk, 1000, kToEnd, true, false, kTight},
    {"Perfect137438691328_WalkLoose", 137438691328ull, Kind::Walk, 5000, kToEnd, true, false, kLoose},
    {"Perfect2305843008139952128_WalkStop", 2305843008139952128ull, Kind::Walk, 1000000, 1000000, false, true, 3,
     1ull << 30, 1ull << 30},
    {"Prime2to64m59_TrialEnd", uint128(~0ull) - 58, Kind::Trial, 1500000, kToEnd, true, false, 3, kLast},
    {"TwoTo64m1_WalkEnd", ~0ull, Kind::Walk, 1500000, kToEnd, true, false, 3, kLast, 4294967295},
    {"TwoTo64m1_WalkEndFirstDivisor", ~0ull, Kind::Walk, 1500000, kToEnd, true, true, 3, kLast},
    {"TenTo28m1_TrialHigh", num("9999999999999999999999999999"), Kind::Trial, 1000000000000, 1000001500000, true, false, 3},
    {"TenTo27p103_WalkHigh", num("1000000000000000000000000103"), Kind::Walk, 1000000000000, 1000002000000, true, false, 3},
    {"Semiprime28Digits_TrialStop", uint128(30000000012347ull) * 40000000067921ull, Kind::Trial, 1000000, 1000000, true,
     true, 3, 30000000012347ull, 30000000012347ull},
    {"HighlyComposite963761198400p1_Walk", kH1 + 1, Kind::Walk, 100000, kToEnd, true, false, kTight},
    {"HighlyComposite963761198400p2_WalkLoose", kH1 + 2, Kind::Walk, 12345, 54321, true, false, kLoose},
    {"HighlyComposite963761198400p5_OddWalk", kH1 + 5, Kind::OddWalk, 200000, kToEnd, true, false, kTight},
    {"HighlyComposite897612484786617600p1_WalkEnd", kH2 + 1, Kind::Walk, 1900000, kToEnd, true, false, 200, kLast},
    {"HighlyComposite897612484786617600p5_OddWalkEnd", kH2 + 5, Kind::OddWalk, 1900000, kToEnd, true, false, 200, kLast},
};

class JumpEqualsScan : public testing::TestWithParam<Row> {};

TEST_P(JumpEqualsScan, SameDivisorsAndCandidates)
{
    const Row &row = GetParam();
    std::visit([&](const auto &divisors) {
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
            const auto before = first == 0 ? core::StretchResult{} : core::scanStretch(divisors, row.n, {0, first, true, false, 1.0});
            best = before.ratioCandidates.empty() ? 1.0 : before.ratioCandidates.back().fraction;
            best = row.best == kLoose ? std::min(1.0, 10 * best) : best;
        }
        const core::StretchRequest request{first, end, row.withRatios, row.stopAtDivisor, best};
        core::NeighbourTable table(row.n);
        ASSERT_LE(divisors.at(end - 1), table.divisorLimit());
        const core::StretchResult scan = core::scanStretch(divisors, row.n, request);
        const core::StretchResult jump = core::jumpStretch(divisors, table, request, {});
        EXPECT_EQ(jump.divisorPasses, scan.divisorPasses);
        EXPECT_EQ(bitsOf(jump.ratioCandidates), bitsOf(scan.ratioCandidates));
        if (row.mustFind != 0) {
            const auto pass = divisors.passOf(row.mustFind).value();
            EXPECT_NE(std::ranges::find(scan.divisorPasses, pass), scan.divisorPasses.end()) << "no divisor at " << pass;
        }
        EXPECT_LE(scan.divisorPasses.size(), row.stopAtDivisor ? 1u : size);
    }, sequenceOf(row.n, row.kind));
}
INSTANTIATE_TEST_SUITE_P(Rows, JumpEqualsScan, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

// A loop as the engine runs it: stretch by stretch, accepting the candidates
// below its running best and publishing each record.
struct Loop {
    std::vector<std::uint64_t> divisorPasses;
    Passes records;
};
template <class Sequence>
Loop runLoop(const Sequence &divisors, uint128 n, bool stopAtDivisor, core::ParallelSettings settings, bool &jumped)
{
    core::setParallelSettings(settings);
    core::forgetNeighbourTables();
    core::LoopKernel<Sequence> kernel(divisors, n, {true, stopAtDivisor, true});
    Loop loop;
    double best = 1.0;
    for (std::uint64_t k = 0; k < kernel.plan().count(); ++k) {
        const core::StretchResult result = kernel.stretch(k, {});
        loop.divisorPasses.insert(loop.divisorPasses.end(), result.divisorPasses.begin(), result.divisorPasses.end());
        for (const auto &candidate : result.ratioCandidates)
            if (candidate.fraction < best) {
                best = candidate.fraction;
                loop.records.emplace_back(candidate.pass, std::bit_cast<std::uint64_t>(best));
                kernel.publishBest(best);
            }
        if (stopAtDivisor && !result.divisorPasses.empty())
            break;
    }
    jumped = core::neighbourTableOf(n)->taken() > 0;
    core::setParallelSettings({});
    return loop;
}

TEST(JumpEqualsScan, OnWholeLoops)
{
    for (const auto &[name, n] : std::vector<std::pair<std::string, uint128>>{
             {"Prime1e12p39", 1000000000039ull}, {"Semiprime999979x999983", 999962000357ull},
             {"HighlyComposite963761198400p1", kH1 + 1}, {"Semiprime19Digits", 1000000016000000063ull}})
        for (const Kind kind : {Kind::Walk, Kind::Trial}) {
            SCOPED_TRACE(std::string(name) + (kind == Kind::Walk ? " walk" : " trial"));
            std::visit([&](const auto &divisors) {
                const bool stop = kind == Kind::Trial;  // the walk's first divisor is 1
                bool jumped = false, scanned = true;
                const Loop jumping = runLoop(divisors, n, stop, {1, 97, 200, true}, jumped);
                const Loop scanning = runLoop(divisors, n, stop, {1, 97, core::kNeverJump, false}, scanned);
                // A loop that ends within the three scanned stretches has nothing to jump.
                const bool endsEarly = stop && !scanning.divisorPasses.empty() && scanning.divisorPasses[0] < 291;
                EXPECT_TRUE((jumped || endsEarly) && !scanned);
                EXPECT_EQ(jumping.divisorPasses, scanning.divisorPasses);
                EXPECT_EQ(jumping.records, scanning.records);
                const auto whole = core::scanStretch(divisors, n, {0, trial::passesOf(divisors), true, stop, 1.0});
                EXPECT_EQ(scanning.divisorPasses, whole.divisorPasses);
                EXPECT_EQ(scanning.records, bitsOf(whole.ratioCandidates));
            }, sequenceOf(n, kind, kind == Kind::Walk ? 2000000 : 4000000));
        }
}

// Every pass of a sequence is found again from its divisor, and no number
// between two divisors, before the first or past the last is.
template <class Sequence>
void expectPassOfInvertsAt(const Sequence &divisors)
{
    const std::uint64_t size = trial::passesOf(divisors);
    for (std::uint64_t pass = 0, below = 0; pass <= size; below = divisors.at(pass++)) {
        const std::uint64_t d = pass < size ? divisors.at(pass) : below + 500;
        for (std::uint64_t other = pass == 0 ? 0 : below + 1; other < d; ++other)
            ASSERT_EQ(divisors.passOf(other), std::nullopt) << other << ", between passes " << pass - 1 << " and " << pass;
        if (pass < size) {
            ASSERT_EQ(divisors.passOf(d), pass) << d;
        }
    }
}

TEST(PassOf, InvertsAtAndRejectsTheRest)
{
    for (const std::uint64_t bound : {3, 10, 11, 12, 13, 1000, 10000000}) {
        SCOPED_TRACE("trial divisors up to " + std::to_string(bound));
        expectPassOfInvertsAt(trial::TrialSequence(bound, bound <= 4 ? 1 : 2));
    }
    const trial::TrialSequence upTo1000(1000, 2);
    for (const std::uint64_t skipped : {1, 4, 15, 21, 25, 35, 49, 100, 1001, 1005})
        EXPECT_EQ(upTo1000.passOf(skipped), std::nullopt) << skipped;
    EXPECT_EQ(upTo1000.passOf(27), 10u);  // 25 is tried as 27
    EXPECT_EQ(upTo1000.passOf(1003), 279u);  // 999 and 1001 are tried as 1003, past the bound
    for (const trial::EvenlySpaced walk : {trial::EvenlySpaced{1, 1, 1000}, {3, 2, 5000}, {1001, 2, 77}, {5, 6, 1}}) {
        SCOPED_TRACE("walk from " + std::to_string(walk.first) + " by " + std::to_string(walk.step));
        expectPassOfInvertsAt(walk);
    }
}

}  // namespace
