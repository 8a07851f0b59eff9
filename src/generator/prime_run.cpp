#include "generator/prime_run.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <optional>

#include "engine/clock.h"
#include "engine/progress.h"
#include "generator/exact_text.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"
#include "ui/system_colors.h"

namespace {

// A list that grows past this many entries is emptied and filled again.
constexpr int kMaxListEntries = 32000;

void selectPendingRow(LineListView *list, int &row)
{
    if (row >= 0 && row < list->count())
        list->setCurrentRow(row);
    row = -1;
}

}  // namespace

uint128 entryNumber(const QString &text)
{
    uint128 value = 0;
    if (!DecimalNum::fromText(text.toStdString()).toUInt128(value))
        throw ConversionError();
    return value;
}

DeferredView::DeferredView(Form1 &form) : form_(form), attachment_(form.pump, *this) {}

void DeferredView::selectRow(LineListView *list, int row) { (list == form_.List1 ? list1Row_ : lsLMORow_) = row; }

void DeferredView::flush()
{
    if (candidatePending_) {
        form_.lbLMO->setText(signedDigitsText(candidate_));
        candidatePending_ = false;
    }
    selectPendingRow(form_.List1, list1Row_);
    selectPendingRow(form_.lsLMO, lsLMORow_);
}

PrimeRun::PrimeRun(Form1 &form)
    : form_(form), toFile_(form.blPrint), openEnded_(form.blPlus),
      fileLayout_(openEnded_ ? LineLayout::OpenEnded : LineLayout::Bounded), noIntervals_(form.blNoIntervals),
      view_(form)
{
}

void PrimeRun::execute(ListFile &file)
{
    std::optional<QString> failure;
    try {
        start();
        if (toFile_)
            saveToFile(file);
        else if (openEnded_)
            showOpenEnded();
        else
            showBounded();
    } catch (const std::exception &error) {
        failure = QString::fromStdString(error.what());
    }
    endRun(file, failure);
}

void PrimeRun::start()
{
    entryText_ = form_.Text1->text();
    number_ = entryNumber(entryText_);
    form_.List1->clear();
    start_ = zclock::now();
    form_.subShowStartTime(start_);
    form_.Label4->setText(QStringLiteral("Evaluating: 0% complete."));
    form_.lowlcn = 1000;
    form_.lastlcn = 0;
}

// ---- Shown lists ----

void PrimeRun::showBounded()
{
    setBase(0);
    primes::PrimeSource source(1, number_);
    showPrimes(source, Candidates{3, 2}, number_ % 2 == 0 ? number_ - 1 : number_);
    endDisplayedRun();
}

void PrimeRun::showOpenEnded()
{
    if (!confirm(QStringLiteral("Primes greater than ") + entryText_ +
                 QStringLiteral(" will be generated until you press Esc.")))
        return;
    form_.Label4->setText(QStringLiteral("Generating primes..."));
    setBase(number_);
    primes::PrimeSource source(number_);
    showPrimes(source, Candidates{firstCandidateAbove(), 1}, primes::kLimit);
    endDisplayedRun();
}

// Lists the primes up to the last candidate. Each candidate before a prime
// is composite; passing them does what testing them did: the interval panel
// is refreshed as a test begins (once is enough, nothing changes in between)
// and progress counts them. A run that passes the number type's limit ends
// with an overflow.
void PrimeRun::showPrimes(primes::PrimeSource &source, const Candidates &candidates, uint128 lastCandidate)
{
    PrimePacer pacer(source);
    while (!form_.blEsc) {
        const uint128 prime = source.next();
        const bool beyond = prime == 0 || prime > lastCandidate;
        const uint128 index = candidates.indexOf(beyond ? lastCandidate : prime);
        if (index > counted_)
            form_.subShowIntervals();
        if (beyond) {
            countCandidatesTo(candidates, index);
            if (prime == 0 && lastCandidate == primes::kLimit)
                throw OverflowError();
            return;
        }
        countCandidatesTo(candidates, index - 1);
        if (form_.blEsc)
            return;
        showPrime(prime);
        countCandidatesTo(candidates, index);
        if (pacer.due())
            form_.pump.pumpNow();
    }
}

// Progress as if every candidate up to `index` had been tested and reported
// in turn: it shows at every pc-th (at most every 100000th) candidate, so
// only the last such point in a stretch is shown, and the count goes on
// from there.
void PrimeRun::countCandidatesTo(const Candidates &candidates, uint128 index)
{
    const auto report = [&](uint128 at) {
        form_.subProgress(static_cast<double>(candidates.at(at)), static_cast<double>(number_), start_);
    };
    if (index <= counted_)
        return;
    if (counted_ == 0) {  // the first report sets the period
        report(1);
        counted_ = 1;
    }
    const uint128 stretch = index - counted_;
    counted_ = index;
    if (stretch == 0 || form_.pc == 0)
        return;
    const auto period = static_cast<uint128>(std::min(form_.pc, progress::kMaxCallsBetweenUpdates));
    const auto sincePoint = static_cast<uint128>(form_.nct);
    if (sincePoint >= period || stretch < period - sincePoint) {  // no point in the stretch
        form_.nct += static_cast<double>(stretch);
        return;
    }
    const uint128 lastPoint = index - (stretch - (period - sincePoint)) % period;
    form_.nct = static_cast<double>(period - 1);
    report(lastPoint);
    form_.nct += static_cast<double>(index - lastPoint);
}

void PrimeRun::showPrime(uint128 prime)
{
    ++count_;
    const uint128 interval = noteInterval(prime);
    form_.List1->addNumber(prime);
    form_.lsLMO->addNumber(interval);
    setBase(prime);
    followNewEntry(form_.List1);
    followNewEntry(form_.lsLMO);
}

// Keeps the newest entry selected (and so in view) while the list holds the
// whole run; a list that grows too long is emptied and no longer followed.
void PrimeRun::followNewEntry(LineListView *list)
{
    if (list->count() > kMaxListEntries) {
        list->clear();
        view_.selectRow(list, -1);
    } else if (static_cast<std::uint64_t>(list->count()) == count_) {
        view_.selectRow(list, list->count() - 1);
    }
}

void PrimeRun::endDisplayedRun()
{
    view_.flush();
    form_.Label4->setText(QStringLiteral("Generating primes complete."));
    if (form_.List1->count() > 0)
        form_.List1->setCurrentRow(form_.List1->count() - 1);
    setTextColor(form_.Label1, systemColor(COLOR_MENUTEXT));
    form_.subShowElapsed(start_);
}

// ---- Shared steps ----

bool PrimeRun::confirm(const QString &question)
{
    return form_.showMessage(question, QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

// The distance from the interval base to a new prime, recorded if it is the
// largest of the run.
uint128 PrimeRun::noteInterval(uint128 prime)
{
    const uint128 interval = prime - base_;
    if (interval > static_cast<uint128>(form_.lastlcn))
        form_.lastlcn = static_cast<qint32>(interval);
    return interval;
}

void PrimeRun::setBase(uint128 prime)
{
    base_ = prime;
    form_.lcn = DecimalNum::fromUInt128(prime);
}

void PrimeRun::endRun(ListFile &file, const std::optional<QString> &failure)
{
    if (toFile_ && !openEnded_ && candidate_ != 0) {  // where a failure stopped it
        view_.showCandidate(candidate_);
        view_.flush();
    }
    // Whatever reached the file is kept, also when writing it failed.
    file.closeQuietly();
    if (failure)
        form_.showFailure(*failure);
    if (toFile_ || !form_.blEsc) {
        form_.lastlcn = form_.prevlcn = form_.lowlcn = 0;
        form_.blPrint = form_.blPlus = false;
    } else {
        form_.Label4->setText(QStringLiteral("Process interrupted by user."));
        form_.blEsc = false;
    }
}
