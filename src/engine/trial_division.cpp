// The trial-division engine: tests n for divisors from 2 up to its rounded
// square root, showing the latest ratio, the best ratios, progress and the
// verdict as it goes.
//
// Divisibility is decided by the integer remainder of n by d; the fraction of
// the decimal quotient (DivFraction) is formed from that remainder only where
// it is shown or may set a new best ratio, and is equal to DivFraction's.

#include <QLabel>
#include <QLineEdit>
#include <optional>

#include "analysis/ratio_panel.h"
#include "engine/clock.h"
#include "engine/fast_fraction.h"
#include "engine/progress.h"
#include "engine/trial_divisors.h"
#include "ui/extent_list.h"
#include "ui/form1.h"
#include "ui/text_forms.h"

namespace {

enum class LoopEnd { Exhausted, Left, ReturnAtOnce };

class TrialDivision final : private EventPump::DeferredDisplay {
public:
    TrialDivision(Form1 &form, const DecimalNum &n);
    bool run();

private:
    void enter();
    template <class Dividend>
    LoopEnd divide(const Dividend &remainderOf);
    bool divisorEndsCall(std::uint64_t d);
    void noteLatestRatio(std::uint64_t d, std::uint64_t r, std::int16_t &displayCount);
    bool mayBeBestRatio(std::uint64_t d, std::uint64_t r) const;
    void recordBestRatio(std::uint64_t d, std::uint64_t r);
    void close(std::optional<QString> error);
    void flush() override;
    double fractionOf(std::uint64_t d, std::uint64_t r) const
    {
        return fastfrac::quotientFraction(n_, d, r);
    }

    Form1 &f_;
    const DecimalNum &number_;
    uint128 n_ = 0;
    QDateTime start_;
    std::uint64_t bound_ = 0;
    double boundValue_ = 0;
    bool verdict_ = true;
    std::int16_t displayInterval_ = 100;
    // The latest ratio waiting to be written to lbCR.
    bool latestPending_ = false;
    std::uint64_t latestD_ = 0;
    std::uint64_t latestR_ = 0;
};

TrialDivision::TrialDivision(Form1 &form, const DecimalNum &n) : f_(form), number_(n) {}

bool TrialDivision::run()
{
    EventPump::Attachment attachment(f_.pump, *this);
    std::optional<QString> error;
    try {
        enter();
        const LoopEnd end =
            fastfrac::withDividend(n_, [this](const auto &remainderOf) { return divide(remainderOf); });
        if (end == LoopEnd::ReturnAtOnce) {
            flush();
            return verdict_;
        }
        if (end == LoopEnd::Exhausted && !f_.blPrimeList)
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
    if (!f_.blList) {
        start_ = zclock::now();
        f_.subShowStartTime(start_);
    }
    f_.LMO = 1.0;
    if (f_.blAnalyze)
        f_.Label4->setText(QStringLiteral("Evaluating: 0% complete."));
    // Generation calls the engine once per candidate; there the time-based
    // pump decides, so that a candidate costs no more than its divisions.
    if (f_.blList) {
        f_.pump.maybePump();
    } else {
        f_.update();
        f_.pump.pumpNow();
    }

    const double n = static_cast<double>(n_);
    bound_ = trial::bound(n);
    boundValue_ = static_cast<double>(bound_);
    if (boundValue_ > 100000000)
        displayInterval_ = 10000;
    else if (boundValue_ > 1000000)
        displayInterval_ = 1000;
}

template <class Dividend>
LoopEnd TrialDivision::divide(const Dividend &remainderOf)
{
    trial::DivisorWalk walk(bound_, n_ > 15 ? 2 : 1);
    progress::PassCounter progress(f_, boundValue_, start_);
    EventPump::Ticker pump(f_.pump);
    std::int16_t displayCount = 0;
    while (walk.next()) {
        if (f_.blEsc)
            return LoopEnd::Left;
        const std::uint64_t d = walk.divisor();
        if (!f_.blList) {
            progress.onPass(static_cast<double>(d));
            if (f_.blExit)
                return LoopEnd::Left;
        }
        const std::uint64_t r = remainderOf(d);
        if (r == 0) {
            progress.sync();
            if (divisorEndsCall(d))
                return LoopEnd::ReturnAtOnce;
        }
        noteLatestRatio(d, r, displayCount);
        if (f_.blAnalyze && !f_.blTest && mayBeBestRatio(d, r))
            recordBestRatio(d, r);
        if (f_.blList)
            f_.subShowIntervals();
        pump.maybePump();
    }
    return LoopEnd::Exhausted;
}

// d divides n. Returns true when the call ends here; false when the divisor
// report was cut short and the loop goes on.
bool TrialDivision::divisorEndsCall(std::uint64_t d)
{
    verdict_ = false;
    f_.blEven = true;
    f_.blPrime = true;
    if (!f_.blPrimeList) {
        if (f_.blTest && !f_.blDiv) {
            f_.Label1->setText(QStringLiteral("Certified Composite"));
            f_.List1->addItem(QStringLiteral("Factor found: ") +
                              qstr(trimmedText(static_cast<double>(d))));
            f_.List1->addItem(QStringLiteral("Click Analyze for prime factors"));
            f_.blExit = true;
        } else if (!f_.blTest) {
            f_.Label1->setText(QStringLiteral("Certified Composite"));
        }
    }
    if (f_.blPrimeFactors || f_.blList)
        return true;

    flush();
    f_.subAllFactors(start_);
    if (!f_.blEnd)
        return false;
    f_.blEnd = false;
    return true;
}

// lbCR shows the ratio of every interval-th pass; the text itself is written
// when the window is about to be painted.
void TrialDivision::noteLatestRatio(std::uint64_t d, std::uint64_t r, std::int16_t &displayCount)
{
    if (displayCount == displayInterval_) [[unlikely]] {
        displayCount = 0;
        if (!f_.blPrint) {
            latestPending_ = true;
            latestD_ = d;
            latestR_ = r;
        }
    }
    ++displayCount;
}

// A cheap test that lets through every d whose fraction can be below LMO.
// The decimal quotient differs from r / d by at most half a unit in its last
// place, which for n < 10^28 is less than 0.64 / d, and the double products
// here are off by far less than 1 / d: a margin of 2 / d covers both.
bool TrialDivision::mayBeBestRatio(std::uint64_t d, std::uint64_t r) const
{
    // Both are below 2^63; signed conversions are the cheaper ones.
    return static_cast<double>(static_cast<std::int64_t>(r)) <
           f_.LMO * static_cast<double>(static_cast<std::int64_t>(d)) + 2.0;
}

void TrialDivision::recordBestRatio(std::uint64_t d, std::uint64_t r)
{
    const double frac = fractionOf(d, r);
    if (!(frac < f_.LMO))
        return;
    f_.LMO = frac;
    showRatioRecord(f_, d, frac);
}

void TrialDivision::flush()
{
    if (!latestPending_)
        return;
    latestPending_ = false;
    const DecimalNum shown = DecimalNum::fromDouble(fractionOf(latestD_, latestR_));
    f_.lbCR->setText(qstr(pattern17(shown, systemDecimalSeparator())));
    f_.lbCR->setToolTip(ratioDivisorText(latestD_));
}

void TrialDivision::close(std::optional<QString> error)
{
    try {
        flush();
        if ((f_.blTest || f_.blAnalyze) && !error && !f_.blList) {
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
    if (f_.blEsc && !f_.blPrimeList)
        f_.Label4->setText(QStringLiteral("Process interrupted by user."));
}

}  // namespace

bool Form1::subTrialDivide(const DecimalNum &n)
{
    return TrialDivision(*this, n).run();
}

double Form1::DivFraction(const DecimalNum &a, const DecimalNum &b)
{
    const DecimalNum quotient = a / b;
    return (quotient - quotient.integerPart()).toDouble();
}
