#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <exception>
#include <stdexcept>

#include "analysis/ratio_panel.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"
#include "ui/system_colors.h"
#include "ui/text_forms.h"

namespace {

// The divisor at the head of a record line " 5:  .2", blank included.
QString divisorOf(const QString &line)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        throw std::runtime_error("The divisor-ratio list holds a line without a divisor.");
    return line.left(colon);
}

QString seriesSummary(qint16 primes)
{
    if (primes == 1)
        return QStringLiteral("1 prime in list");
    return qstr(signedText(static_cast<double>(primes))) + QStringLiteral(" primes in series");
}

}  // namespace

QString ratioDivisorText(std::uint64_t d) { return qstr(signedText(static_cast<double>(d))); }

void showRatioRecord(Form1 &form, std::uint64_t d, double fraction)
{
    const DecimalNum shown = DecimalNum::fromDouble(fraction);
    form.lsLMO->insertItem(0, ratioDivisorText(d) + QStringLiteral(": ") + qstr(shown.signedText()));
    form.lbNo->setText(ratioDivisorText(d));
    form.lbOf->setText(QStringLiteral("(of ") + qstr(trimmedText(static_cast<double>(form.lsLMO->count()))) +
                       QStringLiteral(")"));
    form.lbLMO->setText(qstr(pattern19(shown, systemDecimalSeparator())));
}

void Form1::lsLMO_KeyDown(int keyCode)
{
    if (keyCode != Qt::Key_C || lsLMO->count() == 0)
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(lsLMO->allLinesWithLeadingCrLf());
}

void Form1::lsLMO_MouseMove()
{
    if (lsLMO->count() > 0)
        lsLMO->setToolTip(QStringLiteral("Right-click to test best divisors for primality."));
}

// Generator lines hold no ":", so a list of intervals starts no series.
void Form1::lsLMO_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton || blTest || blAnalyze || blList || lsLMO->count() == 0)
        return;
    if (lsLMO->lineAt(0).contains(u':'))
        subTestRatioList();
}

// Runs Quick Test on every divisor of the list, newest record first, and
// reports how many of them are prime.
void Form1::subTestRatioList()
{
    const QString savedEntry = Text1->text();
    const int lines = lsLMO->count();
    try {
        for (int row = 0; row < lines; ++row) {
            blDiv = true;
            // The run-state is not reset between the tests of a series; a
            // stop request left by one test's cut-off must not end the next.
            blExit = false;
            Text1->setText(divisorOf(lsLMO->lineAt(row)));
            cmdTest_Click();
        }
        Text1->setText(savedEntry);
        List1->setCurrentRow(List1->count() - 1);
        if (dv < 1) {
            setTextColor(Label1, systemColor(COLOR_MENUTEXT));
            Label1->setText(QStringLiteral("No Primes"));
        } else {
            setTextColor(Label1, QColor(255, 0, 0));
            Label1->setText(seriesSummary(dv));
        }
        Label4->setText(QStringLiteral("Evaluation complete."));
        dv = 0;
        blDiv = false;
    } catch (const std::exception &e) {
        dv = 0;
        blDiv = false;
        showFailure(QString::fromUtf8(e.what()));
    }
}
