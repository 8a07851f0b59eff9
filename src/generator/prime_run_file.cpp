// The list-file modes of a Generate run: the primes written to a file, or,
// for the text modes, to standard output.

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QUrl>

#include "generator/exact_text.h"
#include "generator/list_folder.h"
#include "generator/path_exists.h"
#include "generator/prime_run.h"
#include "ui/form1.h"
#include "ui/system_colors.h"

namespace {

// The largest finished file that is opened in the desktop's viewer.
constexpr qint64 kViewerSizeLimit = 5000000;

const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

void PrimeRun::saveToFile(ListFile &file)
{
    if (form_.listToStandardOutput) {
        file.openStandardOutput(form_.listToStandardOutput->maxPrimes, form_.listToStandardOutput->formatLine);
        writeList(file);
        return;
    }
    if (form_.listFolder.isEmpty())
        form_.listFolder = listFileFolder();
    const QString fileName = (openEnded_ ? QStringLiteral("+") : QString()) + digitsText(number_) +
                             QStringLiteral(".txt");
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
    writeList(file);
    form_.Label4->setText(QStringLiteral("File ") + fileName + QStringLiteral(" saved."));
    setTextColor(form_.Label1, systemColor(COLOR_MENUTEXT));
    form_.Label1->setText(signedDigitsText(count_) + QStringLiteral(" Primes Saved"));
    form_.subShowElapsed(start_);
    offerToViewer(path, fileName);
}

// The primes of the run, from the interval base on, into the open file, which
// is closed at the end. A bounded file goes on to N + 1 for an even N;
// standard output ends at N, as "the primes up to N" reads.
void PrimeRun::writeList(ListFile &file)
{
    setBase(openEnded_ ? number_ : 0);
    const bool pastEvenEntry = number_ % 2 == 0 && !form_.listToStandardOutput;
    const uint128 limit = openEnded_ ? primes::kLimit : pastEvenEntry ? number_ + 1 : number_;
    primes::PrimeSource source(openEnded_ ? number_ : 1, limit);
    savePrimes(file, source, limit);
    file.close();
}

// The primes up to the limit, or above the entry until Esc. Form1::lcn and
// the bounded run's candidate in lbLMO are brought up to date whenever
// window events run, and the lines written so far go out to the file.
void PrimeRun::savePrimes(ListFile &file, primes::PrimeSource &source, uint128 limit)
{
    PrimePacer pacer(source);
    while (!form_.blEsc && file.wantsMore()) {
        const uint128 prime = source.next();
        if (prime == 0 && openEnded_)
            throw OverflowError();
        if (prime == 0 || prime > limit) {
            candidate_ = limit;
            break;
        }
        candidate_ = prime;
        savePrime(file, prime);
        if (pacer.due()) [[unlikely]]
            pumpWhileSaving(file);
    }
    setBase(base_);
    if (!openEnded_) {
        view_.showCandidate(candidate_);
        view_.flush();
    }
}

void PrimeRun::pumpWhileSaving(ListFile &file)
{
    setBase(base_);
    if (!openEnded_)
        view_.showCandidate(candidate_);
    file.writeOut();
    form_.pump.pumpNow();
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
