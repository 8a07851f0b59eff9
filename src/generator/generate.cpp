#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <optional>

#include "generator/exact_text.h"
#include "generator/list_file.h"
#include "generator/prime_run.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"
#include "ui/text_forms.h"

namespace {

// The right-hand frame shows the intervals of the list instead of the
// divisor ratios; it stays so until another command arranges it.
void showIntervalLayout(Form1 &form)
{
    constexpr int kIntervalFieldLeft = 840 / 15;  // 840 twips
    form.lbNo->clear();
    form.lbNo->move(kIntervalFieldLeft, form.lbNo->y());
    form.lbOf->clear();
    form.Label13->clear();
    form.lbCR->hide();
    form.Label14->show();
    form.lbLow->show();
    form.Frame1->setTitle(QStringLiteral("Intervals"));
    form.Label12->setText(QStringLiteral("Largest:"));
    form.lsLMO->setAccessibleName(QStringLiteral("Intervals"));
}

}  // namespace

void Form1::cmdList_Click()
{
    if (blRunning || blClosing || !ValidEntry())
        return;
    std::optional<QString> failure;
    try {
        if (entryNumber(Text1->text()) < 3 && !blPlus) {
            const auto answer = showMessage(
                QStringLiteral("Do you want to list primes beginning with 2?\r\n"
                               "Next time, press the Shift key when you click this button."),
                QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel);
            if (answer != QMessageBox::Ok)
                return;
            blPlus = true;
        }
        subClearResults();
        showIntervalLayout(*this);
        blPrimeList = blList = blRunning = true;
        blEsc = blTest = false;
        subPrimes();
    } catch (const std::exception &error) {
        failure = QString::fromStdString(error.what());
    }
    subResetState();
    Text1->setReadOnly(false);
    blRunning = blList = blPrimeList = blPrint = blPlus = false;
    if (failure)
        showFailure(*failure);
}

void Form1::subPrimes()
{
    PrimeRun run(*this);
    ListFile file;
    if (run.savesToFile())
        openListFile_ = &file;
    const auto forgetFile = qScopeGuard([this] { openListFile_ = nullptr; });
    run.execute(file);
}

void Form1::refreshIntervalPanel()
{
    if (lastlcn <= 0)
        return;
    // While a file is written the panel is left alone. The run's mode is the
    // one chosen at the click: releasing Ctrl meanwhile does not change it.
    const bool panelShown = openListFile_ == nullptr;
    if (panelShown && prevlcn < lastlcn) {
        lbLMO->setText(qstr(lcn.signedText()));
        lbNo->setText(signedDigitsText(static_cast<uint128>(lastlcn)));
    }
    prevlcn = lastlcn;
    if (lastlcn < lowlcn) {
        lowlcn = lastlcn;
        if (panelShown)
            lbLow->setText(signedDigitsText(static_cast<uint128>(lowlcn)));
    }
}

void Form1::closeListFile()
{
    if (!openListFile_)
        return;
    openListFile_->closeQuietly();
    blEsc = true;  // the run that writes it stops at its next test
}
