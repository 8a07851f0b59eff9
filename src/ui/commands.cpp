#include <QLabel>
#include <QLineEdit>
#include <exception>

#include "ui/form1.h"
#include "ui/line_list_view.h"

namespace {

// Runs the steps of a command that may fail; returns the failure's
// description, or an empty text when all went well.
template <typename Steps>
QString failureOf(Steps &&steps)
{
    try {
        steps();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

// Readies the divisor-ratio panel for Quick Test or Analyze, which Generate
// may have left showing its interval fields.
void showRatioPanel(Form1 &form)
{
    form.Label12->setText(QStringLiteral("Best:"));
    // The frame may still be captioned for Generate's intervals.
    form.lsLMO->setAccessibleName(QStringLiteral("Divisor Ratios"));
    form.lbCR->clear();
    form.lbCR->show();
    form.Label14->hide();
    form.lbLow->hide();
}

}  // namespace

void Form1::cmdTest_Click()
{
    if (blRunning || blClosing || !ValidEntry())
        return;
    const QString failure = failureOf([this] {
        DecimalNum::fromText(Text1->text().toStdString());
        blTest = true;
        subClearResults();
        Label1->clear();
        showRatioPanel(*this);
        blPrimeFactors = true;
        blEsc = false;
        blRunning = true;
        subFactorize();
        subFitListWidth();
    });
    subResetState();
    Text1->setReadOnly(false);
    blRunning = false;
    blPrimeFactors = false;
    if (!failure.isEmpty())
        showFailure(failure);
}

void Form1::cmdAnalyze_Click()
{
    if (blRunning || blClosing || !ValidEntry())
        return;
    const QString failure = failureOf([this] {
        const DecimalNum n = DecimalNum::fromText(Text1->text().toStdString());
        blAnalyze = true;
        subClearResults();
        showRatioPanel(*this);
        lbNo->move(120 / 15, lbNo->y());  // back at its left edge of 120 twips
        blEsc = false;
        blPrime = true;
        blRunning = true;
        blTest = false;
        blPrimeFactors = true;
        subFactorize();
        // A composite gets its divisor pass, unless Esc ended the factorisation.
        if (!blPrime && !blFactorsInterrupted) {
            blPrimeFactors = false;
            subTrialDivide(DecimalNum(n));
        }
        subFitListWidth();
        List1->setFocus();
    });
    subResetState();
    Text1->setReadOnly(false);
    blRunning = false;
    blEven = false;
    blAnalyze = false;
    if (!failure.isEmpty())
        showFailure(failure);
}
