// The trial-division engine driven on the window, one mode at a time, with
// the flags that its callers set.

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QtTest>

#include "engine/clock.h"
#include "core/stretch_pool.h"
#include "core/trial_divisors.h"
#include "support/form_driver.h"
#include "ui/extent_list.h"
#include "ui/form1.h"
#include "ui/system_colors.h"
#include "ui/text_forms.h"

namespace {

enum class Mode { QuickTest, SeriesTest, AnalyzeSearch, AnalyzeDivisorPass, Generation };

// Sets the flags that each of the engine's callers sets.
void prepare(Form1 &form, Mode mode, const QString &number)
{
    form.Text1->setText(number);
    form.blEsc = false;
    form.blTest = mode == Mode::QuickTest || mode == Mode::SeriesTest;
    form.blDiv = mode == Mode::SeriesTest;
    form.blAnalyze = mode == Mode::AnalyzeSearch || mode == Mode::AnalyzeDivisorPass;
    form.blList = form.blPrimeList = mode == Mode::Generation;
    form.subClearResults();
    form.blPrimeFactors = form.blTest || mode == Mode::AnalyzeSearch;
    form.blRunning = true;
    // The factor search sets it before asking the engine; the divisor pass
    // runs after a factorisation has cleared it.
    form.blPrime = mode != Mode::AnalyzeDivisorPass;
}

bool run(Form1 &form, Mode mode, const QString &number)
{
    prepare(form, mode, number);
    return form.subTrialDivide(DecimalNum::fromText(number.toStdString()));
}

QStringList lines(const QListWidget *list) { return FormDriver::lines(list); }

// The verdict, the status line and the result lines.
QString shown(const Form1 &form)
{
    return (QStringList{form.Label1->text(), form.Label4->text()} + lines(form.List1)).join(" | ");
}

std::vector<std::uint64_t> divisorsUpTo(std::uint64_t bound)
{
    std::vector<std::uint64_t> divisors;
    for (trial::DivisorWalk walk(bound, 2); walk.next();)
        divisors.push_back(walk.divisor());
    return divisors;
}

// The fraction of n / d, and as the latest ratio shows it.
double fraction(std::uint64_t d, const DecimalNum &n) { return Form1::DivFraction(n, DecimalNum::fromUInt128(d)); }
QString latestRatioText(std::uint64_t d, const DecimalNum &n)
{
    return qstr(pattern17(DecimalNum::fromDouble(fraction(d, n)), systemDecimalSeparator()));
}

const QColor kRed(255, 0, 0);
const QString kLongPrime = "1000000000000000000000000103";

}  // namespace

class EngineTrialTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    QDateTime clockTime;

    // A new window for each case.
    void renew()
    {
        form = std::make_unique<Form1>();
        form->endProgram = [] {};
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

private slots:
    void init()
    {
        clockTime = QDateTime(QDate(2024, 3, 1), QTime(10, 59, 59));
        zclock::setSource([this] { return clockTime; });
        // Four workers on stretches of 13 passes, whose borders fall everywhere.
        core::setParallelSettings({4, 13});
        renew();
    }
    void cleanup()
    {
        form.reset();
        zclock::resetSource();
        core::setParallelSettings({});
    }

    // The call ends at the first divisor: no closing lines, the start time
    // stays. 15 -> 17 and 49 -> 51 are skipped, 11 is not.
    void quickTestFindsTheFirstDivisor()
    {
        const QString startTime = "Start time: " + QLocale::system().toString(clockTime.time(), QLocale::ShortFormat);
        const QList<QPair<QString, QString>> cases = {
            {"4", "2"}, {"9", "3"}, {"121", "11"}, {"289", "17"}, {"2809", "53"}, {"8999190000000000000000099991", "99991"}};
        for (const auto &[number, divisor] : cases) {
            renew();
            QVERIFY(!run(*form, Mode::QuickTest, number));
            QCOMPARE(shown(*form),
                     "Certified Composite |  | Factor found: " + divisor + " | Click Analyze for prime factors");
            QVERIFY(form->blExit && form->blEven && form->blPrime && form->Label13->text() == startTime);
        }
    }

    void quickTestCertifiesPrimes()
    {
        for (const QString number : {"2", "3", "97"}) {
            renew();
            QVERIFY(run(*form, Mode::QuickTest, number));
            QCOMPARE(shown(*form), number + " is Prime | Evaluation complete. | " + number + " = 1 * " + number);
            QCOMPARE(form->Label13->text(), QString("Elapsed time: <1 sec"));
            QVERIFY(textColor(form->Label1) == kRed && form->blCert && !form->blExit);
        }
    }

    // Every record and the latest ratio, against DivFraction: a prime with a
    // bound of 10^6 (display every 100 passes) and a 28-digit number whose
    // factor 99991 ends the call after 99989 (display every 10000 passes).
    // (97's two records are in tst_factor_analysis.)
    void analyzeRatiosMatchDivFraction()
    {
        const QList<std::tuple<QString, std::uint64_t, bool, std::size_t>> cases = {
            {"1000000000039", 1000000, true, 100}, {"8999190000000000000000099991", 99989, false, 10000}};
        for (const auto &[number, bound, prime, interval] : cases) {
            renew();
            const DecimalNum n = DecimalNum::fromText(number.toStdString());
            const std::vector<std::uint64_t> divisors = divisorsUpTo(bound);
            QStringList records;
            for (double best = 1.0; std::uint64_t d : divisors)
                if (fraction(d, n) < best)
                    records.prepend(qstr(signedText(double(d))) + ": " +
                                    qstr(DecimalNum::fromDouble(best = fraction(d, n)).signedText()));
            const std::size_t lastShown = (divisors.size() - 1) / interval * interval;
            QCOMPARE(run(*form, Mode::AnalyzeSearch, number), prime);
            QCOMPARE(lines(form->lsLMO), records);
            QCOMPARE(form->lbNo->text() + form->lbOf->text(),
                     records.first().section(':', 0, 0) + QString("(of %1)").arg(records.size()));
            QCOMPARE(form->lbCR->text() + form->lbCR->toolTip(),
                     latestRatioText(divisors[lastShown], n) + qstr(signedText(double(divisors[lastShown]))));
        }
    }

    // The divisor pass hands over to the divisor report at the first divisor.
    void analyzeDivisorPassEndsWithTheReport()
    {
        QVERIFY(!run(*form, Mode::AnalyzeDivisorPass, "91") && !form->blEnd && form->blEven);
    }

    // A series shows nothing for a composite and counts primes; one more than
    // the 16-bit count holds is reported, without the closing status.
    void seriesTest()
    {
        prepare(*form, Mode::SeriesTest, "91");
        form->List1->addItem("earlier line");
        form->Label1->setText("earlier verdict");
        QVERIFY(!form->subTrialDivide(DecimalNum::fromInt(91)) && !form->blExit);
        QCOMPARE(shown(*form), QString("earlier verdict |  | earlier line"));

        renew();
        form->dv = 4;
        QVERIFY(run(*form, Mode::SeriesTest, "97") && form->dv == 5 && form->blPCD);
        QCOMPARE(form->Label4->text() + " | " + lines(form->List1).join(""), QString("Evaluation complete. | 97 = 1 * 97"));

        renew();
        MessageBoxAnswerer boxes;
        form->dv = 32767;
        QVERIFY(run(*form, Mode::SeriesTest, "97") && form->dv == 32767 && form->Label4->text().isEmpty());
        QCOMPARE(boxes.texts() << boxes.seen().front().title, QStringList({"Overflow", "Zorvelan"}));
    }

    // The cofactor's range ran out after a factor was divided out: the number
    // is composite. After Esc nothing is written.
    void verdictLine()
    {
        prepare(*form, Mode::AnalyzeSearch, "91");
        setTextColor(form->Label1, kRed);
        form->blPrime = false;
        form->subShowVerdict();
        QCOMPARE(form->Label1->text(), QString("91 is Composite"));
        QCOMPARE(textColor(form->Label1), systemColor(COLOR_MENUTEXT));
        form->Label1->clear();
        form->blPrime = form->blEsc = true;
        form->subShowVerdict();
        QVERIFY(form->Label1->text().isEmpty() && form->List1->count() == 0 && !form->blCert);
    }

    // Generation writes no lines; the latest ratio shows after 100 passes,
    // except while a list is saved to a file.
    void generationWritesNothing()
    {
        prepare(*form, Mode::Generation, "1000003");
        form->Label1->setText("count");
        form->Label4->setText("status");
        QVERIFY(form->subTrialDivide(DecimalNum::fromInt(1000003)) && !form->subTrialDivide(DecimalNum::fromInt(1000001)));
        QCOMPARE(shown(*form) + form->Label13->text() + QString::number(form->lsLMO->count()), QString("count | status0"));
        QVERIFY(form->subTrialDivide(DecimalNum::fromInt(1000003)));
        QCOMPARE(form->lbCR->text(), latestRatioText(divisorsUpTo(1000)[200], DecimalNum::fromInt(1000003)));
        form->lbCR->clear();
        form->blPrint = true;
        QVERIFY(form->subTrialDivide(DecimalNum::fromInt(1000003)) && form->lbCR->text().isEmpty());
    }

    // Esc arrives while the run lets events through, four workers dividing: an
    // Analyze of a 28-digit prime that would otherwise run for days, and a
    // Quick Test.
    void escInterruptsLongRuns()
    {
        QTimer::singleShot(50, form.get(), [this] { QTest::keyClick(form.get(), Qt::Key_Escape); });
        QVERIFY(run(*form, Mode::AnalyzeSearch, kLongPrime));
        QVERIFY(form->blEsc && !form->Label1->text().contains(" is ") && form->List1->count() == 0);
        QCOMPARE(form->Label4->text() + form->Label13->text(), QString("Process interrupted by user.Elapsed time: <1 sec"));

        renew();
        QTimer::singleShot(0, form.get(), [this] { QTest::keyClick(form.get(), Qt::Key_Escape); });
        QVERIFY(run(*form, Mode::QuickTest, kLongPrime) && form->blEsc && !form->Label1->text().contains(" is "));
        QVERIFY(shown(*form).endsWith(" | Process interrupted by user. | Click Analyze to certify prime."));

        // Closing the window stops the run as Esc does; the workers are joined.
        renew();
        form->endProgram = [this] { form->blEsc = true; };
        QTimer::singleShot(50, form.get(), [this] { form->close(); });
        QVERIFY(run(*form, Mode::AnalyzeSearch, kLongPrime) && form->blEsc && form->lsLMO->count() > 0);
    }
};

QTEST_MAIN(EngineTrialTest)
#include "tst_engine_trial.moc"
