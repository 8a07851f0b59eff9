#include "generator/prime_run.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QUrl>
#include <optional>

#include "engine/clock.h"
#include "generator/exact_text.h"
#include "generator/list_file.h"
#include "generator/path_exists.h"
#include "ui/extent_list.h"
#include "ui/form1.h"
#include "ui/system_colors.h"

namespace {

// A list that grows past this many entries is emptied and filled again.
constexpr int kMaxListEntries = 32000;
// The largest finished file that is opened in the desktop's viewer.
constexpr qint64 kViewerSizeLimit = 5000000;

const QString kCrLf = QStringLiteral("\r\n");

void selectPendingRow(QListWidget *list, int &row)
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

void DeferredView::selectRow(QListWidget *list, int row)
{
    (list == form_.List1 ? list1Row_ : lsLMORow_) = row;
}

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
    : form_(form), toFile_(form.blPrint), openEnded_(form.blPlus), view_(form)
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
    for (uint128 candidate = 2; candidate <= number_ && showNext(candidate);
         candidate += candidate == 2 ? 1 : 2) {
    }
    endDisplayedRun();
}

void PrimeRun::showOpenEnded()
{
    if (!confirm(QStringLiteral("Primes greater than ") + entryText_ +
                 QStringLiteral(" will be generated until you press Esc.")))
        return;
    form_.Label4->setText(QStringLiteral("Generating primes..."));
    setBase(number_);
    for (uint128 candidate = firstCandidateAbove(); showNext(candidate); candidate += 2) {
    }
    endDisplayedRun();
}

bool PrimeRun::showNext(uint128 candidate)
{
    if (form_.blEsc)
        return false;
    const Verdict verdict = test(candidate);
    if (verdict == Verdict::Interrupted)
        return false;
    if (verdict == Verdict::Prime)
        showPrime(candidate);
    form_.subProgress(static_cast<double>(candidate), static_cast<double>(number_), start_);
    form_.pump.maybePump();
    return true;
}

void PrimeRun::showPrime(uint128 prime)
{
    ++count_;
    const uint128 interval = noteInterval(prime);
    form_.List1->addItem(digitsText(prime));
    form_.lsLMO->addItem(digitsText(interval));
    setBase(prime);
    followNewEntry(form_.List1);
    followNewEntry(form_.lsLMO);
}

// Keeps the newest entry selected (and so in view) while the list holds the
// whole run; a list that grows too long is emptied and no longer followed.
void PrimeRun::followNewEntry(QListWidget *list)
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

// ---- The list file ----

void PrimeRun::saveToFile(ListFile &file)
{
    const QString fileName =
        (openEnded_ ? QStringLiteral("+") : QString()) + digitsText(number_) + QStringLiteral(".txt");
    const QString path = QDir(form_.listFolder).filePath(fileName);
    if (PathExists(path) && !confirm(QStringLiteral("This file already exists. Do you want to overwrite it?")))
        return;
    form_.Label4->setText(QStringLiteral("Saving primes to file... click Esc to stop."));
    const QStringList notice = {
        QStringLiteral("All data will be saved to ") + QDir::toNativeSeparators(path) + QStringLiteral("."),
        QStringLiteral("During this time, the user interface will show minimal data to maximize performance."),
        QStringLiteral("(You can minimize the program.)"),
        QStringLiteral("To stop and save the file, press the Esc key at any time."),
    };
    if (!confirm(notice.join(kCrLf)))
        return;

    file.create(path);
    if (openEnded_)
        saveOpenEnded(file);
    else
        saveBounded(file, number_ % 2 == 0 ? number_ + 1 : number_);
    file.close();

    form_.Label4->setText(QStringLiteral("File ") + fileName + QStringLiteral(" saved."));
    setTextColor(form_.Label1, systemColor(COLOR_MENUTEXT));
    form_.Label1->setText(signedDigitsText(count_) + QStringLiteral(" Primes Saved"));
    form_.subShowElapsed(start_);
    offerToViewer(path, fileName);
}

// Every integer up to the limit is a candidate, even ones included; the
// candidate is the only thing shown.
void PrimeRun::saveBounded(ListFile &file, uint128 limit)
{
    setBase(0);
    for (uint128 candidate = 2; candidate <= limit && saveNext(file, candidate); ++candidate) {
    }
    view_.flush();
}

void PrimeRun::saveOpenEnded(ListFile &file)
{
    setBase(number_);
    for (uint128 candidate = firstCandidateAbove(); saveNext(file, candidate); candidate += 2) {
    }
}

bool PrimeRun::saveNext(ListFile &file, uint128 candidate)
{
    if (form_.blEsc)
        return false;
    if (!openEnded_)
        view_.showCandidate(candidate);
    const Verdict verdict = test(candidate);
    if (verdict == Verdict::Interrupted)
        return false;
    if (verdict == Verdict::Prime)
        savePrime(file, candidate);
    form_.pump.maybePump();
    return true;
}

void PrimeRun::savePrime(ListFile &file, uint128 prime)
{
    ++count_;
    const uint128 interval = noteInterval(prime);
    const LineLayout layout = form_.blNoIntervals ? LineLayout::NoInterval
                              : openEnded_        ? LineLayout::OpenEnded
                                                  : LineLayout::Bounded;
    file.writeLine(listLine(prime, interval, layout));
    setBase(prime);
}

void PrimeRun::offerToViewer(const QString &path, const QString &fileName)
{
    if (QFileInfo(path).size() <= kViewerSizeLimit) {
        if (form_.openInViewer)
            form_.openInViewer(path);
        else
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        return;
    }
    form_.showMessage(QStringLiteral("File ") + fileName + QStringLiteral(" has been saved to ") +
                          QDir::toNativeSeparators(form_.listFolder) + QStringLiteral(".") + kCrLf +
                          QStringLiteral("This file is too large for Notepad. You should open this "
                                         "file using an advanced text editor."),
                      QMessageBox::Warning, QMessageBox::Ok);
}

// ---- Shared steps ----

bool PrimeRun::confirm(const QString &question)
{
    return form_.showMessage(question, QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

PrimeRun::Verdict PrimeRun::test(uint128 candidate)
{
    const bool noDivisor = form_.subTrialDivide(DecimalNum::fromUInt128(candidate));
    if (form_.blEsc)
        return Verdict::Interrupted;
    return noDivisor ? Verdict::Prime : Verdict::Composite;
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
