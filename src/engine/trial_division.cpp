// The trial-division engine: tests n for divisors from 2 up to its rounded
// square root, showing the latest ratio, the best ratios, progress and the
// verdict as it goes.
//
// The kernel scans or jumps stretches of the trial divisors on worker
// threads; this loop takes their findings in order and acts on the passes
// that matter (a divisor, a possible best ratio, a progress update, the
// latest ratio), as a loop over every divisor would. Where the loop jumps it
// leaps over the progress updates between two findings, showing the last. Divisibility is decided by the integer
// remainder of n by d; the fraction of the decimal quotient (DivFraction) is
// formed from that remainder only where it is shown or may set a new best
// ratio, and is equal to DivFraction's.

#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <optional>

#include "analysis/ratio_panel.h"
#include "core/fast_fraction.h"
#include "core/loop_kernel.h"
#include "core/trial_divisors.h"
#include "engine/clock.h"
#include "engine/progress.h"
#include "engine/stretch_feed.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"
#include "ui/text_forms.h"

namespace {

enum class LoopEnd { Exhausted, Left, ReturnAtOnce, GoOn };

constexpr std::uint64_t kNoPass = UINT64_MAX;

class TrialDivision final : private EventPump::DeferredDisplay {
public:
    TrialDivision(Form1 &form, const DecimalNum &n);
    bool run();

private:
    void enter();
    LoopEnd divide();
    LoopEnd replay(const FedStretch &stretch, const trial::TrialSequence &divisors, progress::PassCounter &progress);
    std::uint64_t passOver(std::uint64_t pass, std::uint64_t event, const trial::TrialSequence &divisors,
                           progress::PassCounter &progress);
    void showLatestBefore(std::uint64_t next, const trial::TrialSequence &divisors);
    LoopEnd onPass(std::uint64_t d, bool divides, progress::PassCounter &progress);
    void divisorEndsCall(std::uint64_t d);
    void recordBestRatio(std::uint64_t d, double fraction);
    void close(std::optional<QString> error);
    void flush() override;

    Form1 &f_;
    const DecimalNum &number_;
    uint128 n_ = 0;
    QDateTime start_;
    std::uint64_t bound_ = 0;
    double boundValue_ = 0;
    bool verdict_ = true;
    std::uint64_t displayInterval_ = 100;
    std::uint64_t nextDisplayPass_ = 0;
    // The kernel of the running loop, told each new best ratio.
    core::LoopKernel<trial::TrialSequence> *kernel_ = nullptr;
    // The latest ratio waiting to be written to lbCR.
    bool latestPending_ = false;
    std::uint64_t latestD_ = 0;
};

TrialDivision::TrialDivision(Form1 &form, const DecimalNum &n) : f_(form), number_(n) {}

bool TrialDivision::run()
{
    EventPump::Attachment attachment(f_.pump, *this);
    std::optional<QString> error;
    try {
        enter();
        const LoopEnd end = divide();
        if (end == LoopEnd::ReturnAtOnce) {
            flush();
            return verdict_;
        }
        if (end == LoopEnd::Exhausted)
            f_.subShowVerdict();
    } catch (const std::exception &e) {
        error = QString::fromUtf8(e.what());
    }
    close(std::move(error));
    return verdict_;
}

void TrialDivision::enter()
{
    if (!number_.toUInt128(n_))
        throw std::invalid_argument("The number to test must be a whole number.");
    start_ = zclock::now();
    f_.subShowStartTime(start_);
    f_.LMO = 1.0;
    if (f_.blAnalyze)
        f_.Label4->setText(QStringLiteral("Evaluating: 0% complete."));
    const double n = static_cast<double>(n_);
    bound_ = trial::bound(n);
    boundValue_ = static_cast<double>(bound_);
    if (boundValue_ > 100000000)
        displayInterval_ = 10000;
    else if (boundValue_ > 1000000)
        displayInterval_ = 1000;
}

LoopEnd TrialDivision::divide()
{
    const trial::TrialSequence divisors(bound_, n_ > 15 ? 2 : 1);
    const bool withRatios = f_.blAnalyze && !f_.blTest;
    core::LoopKernel kernel(divisors, n_, {withRatios, true, !f_.blTest});
    kernel.publishBest(f_.LMO);
    kernel_ = &kernel;
    StretchFeed feed(
        f_.pump, kernel.plan(),
        [&kernel](std::uint64_t stretch, const std::stop_token &stop) { return kernel.stretch(stretch, stop); }, true);
    // The workers are dividing by now, while the window shows the start.
    f_.pump.pumpNow();
    // Quick Test never jumps, so its progress calls, which may end it, run one by one.
    progress::PassCounter progress(f_, boundValue_, start_, kernel.plan().hasJumps());
    nextDisplayPass_ = displayInterval_;
    while (const auto stretch = feed.next([this] { return f_.blEsc; })) {
        const LoopEnd end = replay(*stretch, divisors, progress);
        if (end == LoopEnd::GoOn)
            continue;
        feed.stop();
        if (end == LoopEnd::ReturnAtOnce) {
            progress.sync();
            divisorEndsCall(divisors.at(stretch->found.divisorPasses.front()));
        }
        return end;
    }
    return feed.finished() ? LoopEnd::Exhausted : LoopEnd::Left;
}

// Skips over the passes where nothing happens but a count and the latest
// ratio's divisor.
LoopEnd TrialDivision::replay(const FedStretch &stretch, const trial::TrialSequence &divisors,
                              progress::PassCounter &progress)
{
    const auto &found = stretch.found;
    const std::uint64_t divisorPass = found.divisorPasses.empty() ? kNoPass : found.divisorPasses.front();
    auto candidate = found.ratioCandidates.begin();
    for (std::uint64_t pass = stretch.firstPass; pass < stretch.endPass; ++pass) {
        if (f_.blEsc)
            return LoopEnd::Left;
        const std::uint64_t candidatePass = candidate == found.ratioCandidates.end() ? kNoPass : candidate->pass;
        const std::uint64_t event = std::min({stretch.endPass, divisorPass, candidatePass});
        pass = passOver(pass, event, divisors, progress);
        if (pass == stretch.endPass)
            break;
        const std::uint64_t d = divisors.at(pass);
        if (const LoopEnd end = onPass(d, pass == divisorPass, progress); end != LoopEnd::GoOn)
            return end;
        showLatestBefore(pass + 1, divisors);
        if (pass == candidatePass)
            recordBestRatio(d, (candidate++)->fraction);
    }
    return LoopEnd::GoOn;
}

// Goes on from `pass` towards the next pass with a finding, `event`, and
// returns the pass reached: `event`, or a progress call before it.
std::uint64_t TrialDivision::passOver(std::uint64_t pass, std::uint64_t event, const trial::TrialSequence &divisors,
                                      progress::PassCounter &progress)
{
    const std::uint64_t reached = pass + progress.advance(event - pass, [&](std::uint64_t offset) {
        showLatestBefore(pass + offset, divisors);
        return static_cast<double>(divisors.at(pass + offset));
    });
    showLatestBefore(reached, divisors);
    return reached;
}

// The passes that show the latest ratio before `next`: no window event runs
// between them, so only the last one is seen.
void TrialDivision::showLatestBefore(std::uint64_t next, const trial::TrialSequence &divisors)
{
    if (nextDisplayPass_ >= next)
        return;
    const std::uint64_t last = nextDisplayPass_ + (next - 1 - nextDisplayPass_) / displayInterval_ * displayInterval_;
    nextDisplayPass_ = last + displayInterval_;
    if (!f_.blPrint) {
        latestPending_ = true;
        latestD_ = divisors.at(last);
    }
}

// A pass on which something is shown or decided, in the order of the loop:
// Esc was checked, then progress, the stop request, a divisor; the latest
// ratio and a record follow.
LoopEnd TrialDivision::onPass(std::uint64_t d, bool divides, progress::PassCounter &progress)
{
    progress.onPass(static_cast<double>(d));
    if (f_.blExit)
        return LoopEnd::Left;
    return divides ? LoopEnd::ReturnAtOnce : LoopEnd::GoOn;
}

// d divides n: the call ends here. In Analyze's divisor pass the divisor
// report takes over the rest of the run first; it always ends the pass.
void TrialDivision::divisorEndsCall(std::uint64_t d)
{
    verdict_ = false;
    f_.blEven = true;
    f_.blPrime = true;
    if (f_.blTest && !f_.blDiv) {
        f_.Label1->setText(QStringLiteral("Certified Composite"));
        f_.List1->addItem(QStringLiteral("Factor found: ") + qstr(trimmedText(static_cast<double>(d))));
        f_.List1->addItem(QStringLiteral("Click Analyze for prime factors"));
        f_.blExit = true;
    } else if (!f_.blTest) {
        f_.Label1->setText(QStringLiteral("Certified Composite"));
    }
    if (f_.blPrimeFactors)
        return;
    flush();
    f_.subAllFactors(start_);
    f_.blEnd = false;
}

void TrialDivision::recordBestRatio(std::uint64_t d, double fraction)
{
    if (!(fraction < f_.LMO))
        return;
    f_.LMO = fraction;
    kernel_->publishBest(fraction);
    showRatioRecord(f_, d, fraction);
}

void TrialDivision::flush()
{
    if (!latestPending_)
        return;
    latestPending_ = false;
    const double fraction = fastfrac::quotientFraction(n_, latestD_, fastfrac::remainder(n_, latestD_));
    f_.lbCR->setText(qstr(pattern17(DecimalNum::fromDouble(fraction), systemDecimalSeparator())));
    f_.lbCR->setToolTip(ratioDivisorText(latestD_));
}

void TrialDivision::close(std::optional<QString> error)
{
    try {
        flush();
        if ((f_.blTest || f_.blAnalyze) && !error) {
            f_.Label4->setText(QStringLiteral("Evaluation complete."));
            f_.subShowElapsed(start_);
        }
        if (f_.blTest && !f_.blDiv && !f_.blCert)
            f_.List1->addItem(QStringLiteral("Click Analyze to certify prime."));
    } catch (const std::exception &e) {
        if (!error)
            error = QString::fromUtf8(e.what());
    }
    if (error)
        f_.showFailure(*error);
    if (f_.blEsc)
        f_.Label4->setText(QStringLiteral("Process interrupted by user."));
}

}  // namespace

bool Form1::subTrialDivide(const DecimalNum &n) { return TrialDivision(*this, n).run(); }

double Form1::DivFraction(const DecimalNum &a, const DecimalNum &b)
{
    const DecimalNum quotient = a / b;
    return (quotient - quotient.integerPart()).toDouble();
}
