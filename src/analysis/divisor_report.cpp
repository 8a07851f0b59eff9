#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <exception>
#include <vector>

#include "analysis/ratio_panel.h"
#include "analysis/whole_numbers.h"
#include "core/loop_kernel.h"
#include "core/trial_divisors.h"
#include "engine/event_pump.h"
#include "engine/progress.h"
#include "engine/stretch_feed.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"
#include "ui/text_forms.h"

namespace {

QString wholeText(uint128 value) { return qstr(DecimalNum::fromUInt128(value).trimmedText()); }

// Lists every divisor of the entered number but the number itself: the walk
// tries every integer up to the square root and lists the divisors it meets,
// and the partners n / d of those divisors follow, largest first. Along the
// way the best nonfactors go to the divisor-ratio panel.
class DivisorReport final : private EventPump::DeferredDisplay {
public:
    DivisorReport(Form1 &form, const QDateTime &start) : form_(form), start_(start) {}

    void run();

private:
    void walk(uint128 n, std::uint64_t last);
    void replay(uint128 n, const FedStretch &stretch, progress::PassCounter &progress);
    void listDivisor(std::uint64_t d);
    void showBestNonfactor(std::uint64_t d, double fraction);
    void flush() override;
    void listPartners(uint128 n);
    void listTotals(uint128 n);

    Form1 &form_;
    const QDateTime start_;
    std::vector<std::uint64_t> divisors_;                      // found by the walk, ascending
    core::LoopKernel<trial::EvenlySpaced> *kernel_ = nullptr;  // told each new LFO
    uint128 sum_ = 0;
    int count_ = 0;
};

void DivisorReport::run()
{
    form_.Label12->setText(QStringLiteral("Best nonfactors:"));
    form_.lsLMO->clear();
    form_.update();
    const DecimalNum entered = DecimalNum::fromText(form_.Text1->text().toStdString());
    const uint128 n = wholeValueOf(entered);
    if (!form_.blAnalyze)
        form_.List1->clear();

    // Up to 14 the walk goes to n itself and no partners are needed.
    const auto last = n > 14 ? static_cast<std::uint64_t>(std::sqrt(entered.toDouble()))
                             : static_cast<std::uint64_t>(n);
    form_.LFO = 1.0;
    form_.List1->addItem(QStringLiteral("All Factors:"));
    walk(n, last);
    if (form_.blEsc)
        return;

    if (n > 14)
        listPartners(n);
    listTotals(n);
    form_.update();
    form_.pump.pumpNow();
    form_.List1->setCurrentRow(form_.List1->count() - 1);
    form_.subShowElapsed(start_);
}

// The kernel finds the divisors and the possible best nonfactors among
// 1, 2, 3, ... on the worker threads; they are listed here in order.
void DivisorReport::walk(uint128 n, std::uint64_t last)
{
    const EventPump::Attachment attachment(form_.pump, *this);
    core::LoopKernel kernel(trial::EvenlySpaced{1, 1, last}, n, {true, false, true});
    kernel_ = &kernel;
    StretchFeed feed(
        form_.pump, kernel.plan(),
        [&kernel](std::uint64_t stretch, const std::stop_token &stop) { return kernel.stretch(stretch, stop); }, false);
    // subProgress once per trial divisor, its calls between updates counted inline.
    progress::PassCounter progress(form_, static_cast<double>(last), start_, kernel.plan().hasJumps());
    std::optional<FedStretch> stretch;
    while (!form_.blEsc && (stretch = feed.next([this] { return form_.blEsc; })))
        replay(n, *stretch, progress);
    flush();
}

// Acts on the passes with a divisor, a possible best nonfactor or a progress
// call, in order, and skips over the others.
void DivisorReport::replay(uint128 n, const FedStretch &stretch, progress::PassCounter &progress)
{
    constexpr std::uint64_t kNoPass = UINT64_MAX;
    const auto &found = stretch.found;
    auto divisor = found.divisorPasses.begin();
    auto candidate = found.ratioCandidates.begin();
    for (std::uint64_t pass = stretch.firstPass; pass < stretch.endPass; ++pass) {
        if (form_.blEsc)
            return;
        const std::uint64_t divisorPass = divisor == found.divisorPasses.end() ? kNoPass : *divisor;
        const std::uint64_t candidatePass = candidate == found.ratioCandidates.end() ? kNoPass : candidate->pass;
        const std::uint64_t next = std::min({stretch.endPass, divisorPass, candidatePass});
        pass += progress.advance(next - pass,
                                 [pass](std::uint64_t offset) { return static_cast<double>(pass + offset + 1); });
        if (pass == stretch.endPass)
            return;
        const std::uint64_t d = pass + 1;
        progress.onPass(static_cast<double>(d));
        if (pass == divisorPass) {
            ++divisor;
            if (d != n)
                listDivisor(d);
        } else if (pass == candidatePass) {
            const double fraction = (candidate++)->fraction;
            if (fraction < form_.LFO)
                showBestNonfactor(d, fraction);
        }
    }
}

void DivisorReport::listDivisor(std::uint64_t d)
{
    form_.List1->addNumber(d);
    divisors_.push_back(d);
    sum_ += d;
    ++count_;
}

void DivisorReport::showBestNonfactor(std::uint64_t d, double fraction)
{
    form_.LFO = fraction;
    kernel_->publishBest(fraction);
    showRatioRecord(form_, d, fraction);
}

// The last entry is selected whenever the window may paint, also after the
// user clicked another one; selecting it at every divisor would lay out the
// whole list each time.
void DivisorReport::flush()
{
    const int lastRow = form_.List1->count() - 1;
    if (form_.List1->currentRow() != lastRow)
        form_.List1->setCurrentRow(lastRow);
}

void DivisorReport::listPartners(uint128 n)
{
    for (auto d = divisors_.rbegin(); d != divisors_.rend() && *d > 1; ++d) {
        if (uint128(*d) * *d == n)
            continue;  // the square root is its own partner, listed already
        const uint128 partner = n / *d;
        form_.List1->addNumber(partner);
        sum_ += partner;
        ++count_;
    }
}

void DivisorReport::listTotals(uint128 n)
{
    QString sumLine = QStringLiteral("Sum of Factors: ") + wholeText(sum_);
    if (sum_ == n)
        sumLine += QStringLiteral(" (Perfect Number!)");
    form_.List1->addItem(sumLine);
    // The number itself counts as a divisor, though it is not listed.
    form_.List1->addItem(QStringLiteral("Total Divisors: %1").arg(count_ + 1));
}

}  // namespace

void Form1::subAllFactors(const QDateTime &start)
{
    QString failure;
    try {
        DivisorReport(*this, start).run();
    } catch (const std::exception &e) {
        failure = QString::fromUtf8(e.what());
    }
    blEnd = true;
    Label4->setText(QStringLiteral("Calculating factors: 100% complete."));
    if (!failure.isEmpty())
        showFailure(failure);
    if (blEsc) {
        Label4->setText(QStringLiteral("Process interrupted by user."));
        blEsc = false;
    }
}
