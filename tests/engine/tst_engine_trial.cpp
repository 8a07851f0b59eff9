// The trial-division engine driven on the window, one mode at a time, with
// the flags that its callers set.

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QtTest>

#include "engine/clock.h"
#include "engine/trial_divisors.h"
#include "engine_modes.h"
#include "stepwise_divisors.h"
#include "support/message_boxes.h"
#include "ui/extent_list.h"
#include "ui/system_colors.h"
#include "ui/text_forms.h"

namespace {

QStringList lines(const QListWidget *list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

QString sep() { return QString(QLatin1Char(systemDecimalSeparator())); }

// What the engine should show of the fraction of n / d.
QString recordLine(std::uint64_t d, const DecimalNum &n)
{
    const double frac = Form1::DivFraction(n, DecimalNum::fromUInt128(d));
    return qstr(signedText(double(d))) + ": " + qstr(DecimalNum::fromDouble(frac).signedText());
}

QString latestRatioText(std::uint64_t d, const DecimalNum &n)
{
    const double frac = Form1::DivFraction(n, DecimalNum::fromUInt128(d));
    return qstr(pattern17(DecimalNum::fromDouble(frac), systemDecimalSeparator()));
}

const QColor kRed(255, 0, 0);

}  // namespace

class EngineTrialTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    QDateTime clockTime;

private slots:
    void init()
    {
        clockTime = QDateTime(QDate(2024, 3, 1), QTime(10, 59, 59));
        zclock::setSource([this] { return clockTime; });
        form = std::make_unique<Form1>();
        form->endProgram = [] {};
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup()
    {
        form.reset();
        zclock::resetSource();
    }

    void quickTestFindsTheFirstDivisor_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("divisor");
        QTest::newRow("4: 2 divides") << "4" << "2";
        QTest::newRow("9: bound 3 with step 1 still reaches 3") << "9" << "3";
        QTest::newRow("15: bound 4") << "15" << "3";
        QTest::newRow("25: third divisor") << "25" << "5";
        QTest::newRow("91") << "91" << "7";
        QTest::newRow("121: 11 is not skipped") << "121" << "11";
        QTest::newRow("289: 15 skipped to 17") << "289" << "17";
        QTest::newRow("2809: 49 skipped to 51, then 53") << "2809" << "53";
        QTest::newRow("square of 10007") << "100140049" << "10007";
        QTest::newRow("28 digits, factor 99991") << "8999190000000000000000099991" << "99991";
    }
    void quickTestFindsTheFirstDivisor()
    {
        QFETCH(QString, number);
        QFETCH(QString, divisor);
        QVERIFY(!runEngine(*form, EngineMode::QuickTest, number));
        QCOMPARE(form->Label1->text(), QString("Certified Composite"));
        QCOMPARE(lines(form->List1),
                 QStringList({"Factor found: " + divisor, "Click Analyze for prime factors"}));
        QVERIFY(form->blExit);
        QVERIFY(form->blEven);
        QVERIFY(form->blPrime);
        // The call ends at the divisor: no closing lines, the start time stays.
        QCOMPARE(form->Label4->text(), QString());
        QCOMPARE(form->Label13->text(),
                 "Start time: " + QLocale::system().toString(clockTime.time(), QLocale::ShortFormat));
    }

    void quickTestCertifiesPrimes_data()
    {
        QTest::addColumn<QString>("number");
        QTest::newRow("2: no pass") << "2";
        QTest::newRow("3: only 2 tried") << "3";
        QTest::newRow("17: bound 4, step 2") << "17";
        QTest::newRow("97") << "97";
        QTest::newRow("1000003") << "1000003";
    }
    void quickTestCertifiesPrimes()
    {
        QFETCH(QString, number);
        QVERIFY(runEngine(*form, EngineMode::QuickTest, number));
        QCOMPARE(form->Label1->text(), number + " is Prime");
        QCOMPARE(textColor(form->Label1), kRed);
        // No hint to certify: the verdict did.
        QCOMPARE(lines(form->List1), QStringList(number + " = 1 * " + number));
        QCOMPARE(form->Label4->text(), QString("Evaluation complete."));
        QCOMPARE(form->Label13->text(), QString("Elapsed time: <1 sec"));
        QVERIFY(form->blCert);
        QCOMPARE(form->dv, qint16(1));
        QVERIFY(!form->blExit);
    }

    // A prime whose bound (316228) lies beyond the Quick Test's limit of
    // 100 blocks of 1000 divisors: rated, not certified.
    void quickTestStopsAtItsLimit()
    {
        QVERIFY(runEngine(*form, EngineMode::QuickTest, "100000000003"));
        QCOMPARE(form->Label1->text(), QString("Probable Prime (>80%)"));
        QCOMPARE(textColor(form->Label1), systemColor(COLOR_MENUTEXT));
        QVERIFY(form->blExit);
        QVERIFY(!form->blCert);
        QCOMPARE(lines(form->List1), QStringList("Click Analyze to certify prime."));
        QCOMPARE(form->Label4->text(), QString("Evaluation complete."));
    }

    void analyzeRecordsTheBestRatiosOf97()
    {
        QVERIFY(runEngine(*form, EngineMode::AnalyzeSearch, "97"));
        QCOMPARE(lines(form->lsLMO), QStringList({" 3:  .333333333333333", " 2:  .5"}));
        QCOMPARE(form->lbNo->text(), QString(" 3"));
        QCOMPARE(form->lbOf->text(), QString("(of 2)"));
        QCOMPARE(form->lbLMO->text(), sep() + "3333333333333330000");
        QCOMPARE(form->LMO, 1.0 / 3);
        QCOMPARE(form->Label1->text(), QString("97 is Prime"));
        QCOMPARE(lines(form->List1), QStringList("97 = 1 * 97"));
        QCOMPARE(form->Label4->text(), QString("Evaluation complete."));
        // Fewer than 100 passes: no latest ratio yet.
        QCOMPARE(form->lbCR->text(), QString());
    }

    // Every record and the latest ratio, against DivFraction over the
    // stepwise divisors: a prime with a bound of 10^6 (display every 100
    // passes) and a 28-digit number up to its factor 99991.
    void analyzeRatiosMatchDivFraction_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<quint64>("bound");
        QTest::addColumn<quint64>("factor");
        QTest::addColumn<int>("interval");
        QTest::newRow("prime, bound 10^6") << "1000000000039" << quint64(1000000) << quint64(0) << 100;
        QTest::newRow("28 digits, factor 99991")
            << "8999190000000000000000099991" << quint64(99991) << quint64(99991) << 10000;
    }
    void analyzeRatiosMatchDivFraction()
    {
        QFETCH(QString, number);
        QFETCH(quint64, bound);
        QFETCH(quint64, factor);
        QFETCH(int, interval);
        const DecimalNum n = DecimalNum::fromText(number.toStdString());

        // The passes that reach the ratio displays: every divisor up to the
        // bound, or up to the factor, which ends the call.
        std::vector<std::uint64_t> divisors = stepwiseDivisors(bound, 2);
        if (factor != 0)
            divisors.resize(std::size_t(std::find(divisors.begin(), divisors.end(), factor) - divisors.begin()));
        QStringList records;
        double best = 1.0;
        for (std::uint64_t d : divisors) {
            const double frac = Form1::DivFraction(n, DecimalNum::fromUInt128(d));
            if (frac < best) {
                best = frac;
                records.prepend(recordLine(d, n));
            }
        }
        const std::size_t lastShown = (divisors.size() - 1) / std::size_t(interval) * std::size_t(interval);
        QVERIFY(lastShown > 0);

        QCOMPARE(runEngine(*form, EngineMode::AnalyzeSearch, number), factor == 0);
        QCOMPARE(lines(form->lsLMO), records);
        QCOMPARE(form->lbNo->text(), records.first().section(':', 0, 0));
        QCOMPARE(form->lbOf->text(), QString("(of %1)").arg(records.size()));
        QCOMPARE(form->lbCR->text(), latestRatioText(divisors[lastShown], n));
        QCOMPARE(form->lbCR->toolTip(), qstr(signedText(double(divisors[lastShown]))));
        QCOMPARE(form->Label1->text(), factor == 0 ? number + " is Prime" : QString("Certified Composite"));
    }

    // The divisor pass hands over to the divisor report at the first divisor
    // and ends when the report asks it to.
    void analyzeDivisorPassEndsWithTheReport()
    {
        QVERIFY(!runEngine(*form, EngineMode::AnalyzeDivisorPass, "91"));
        QVERIFY(!form->blEnd);
        QVERIFY(form->blEven);
    }

    void seriesTestShowsNothingForAComposite()
    {
        prepareEngineRun(*form, EngineMode::SeriesTest, "91");
        form->List1->addItem("earlier line");
        form->Label1->setText("earlier verdict");
        QVERIFY(!form->subTrialDivide(DecimalNum::fromInt(91)));
        QCOMPARE(lines(form->List1), QStringList("earlier line"));
        QCOMPARE(form->Label1->text(), QString("earlier verdict"));
        QVERIFY(!form->blExit);
    }

    void seriesTestCountsPrimes()
    {
        form->dv = 4;
        QVERIFY(runEngine(*form, EngineMode::SeriesTest, "97"));
        QCOMPARE(form->dv, qint16(5));
        QVERIFY(form->blPCD);
        QCOMPARE(lines(form->List1), QStringList("97 = 1 * 97"));
        QCOMPARE(form->Label4->text(), QString("Evaluation complete."));
    }

    // One prime more than the 16-bit count holds is an error, reported by the
    // engine; the closing status and elapsed time are then not shown.
    void seriesCountOverflowIsReported()
    {
        MessageBoxAnswerer boxes;
        form->dv = 32767;
        QVERIFY(runEngine(*form, EngineMode::SeriesTest, "97"));
        QCOMPARE(boxes.texts(), QStringList("Overflow"));
        QCOMPARE(boxes.seen().front().icon, QMessageBox::NoIcon);
        QCOMPARE(boxes.seen().front().title, QString("Zorvelan"));
        QCOMPARE(form->dv, qint16(32767));
        QCOMPARE(form->Label4->text(), QString());
        QVERIFY(form->Label13->text().startsWith("Start time: "));
    }

    // The cofactor's range ran out after a factor was divided out: the number
    // is composite. After Esc nothing is written.
    void verdictLine()
    {
        prepareEngineRun(*form, EngineMode::AnalyzeSearch, "91");
        setTextColor(form->Label1, kRed);
        form->blPrime = false;
        form->subShowVerdict();
        QCOMPARE(form->Label1->text(), QString("91 is Composite"));
        QCOMPARE(textColor(form->Label1), systemColor(COLOR_MENUTEXT));
        QCOMPARE(form->List1->count(), 0);
        QVERIFY(!form->blCert);

        form->Label1->clear();
        form->blPrime = true;
        form->blEsc = true;
        form->subShowVerdict();
        QCOMPARE(form->Label1->text(), QString());
        QCOMPARE(form->List1->count(), 0);
        QVERIFY(!form->blCert);
    }

    void generationWritesNothing()
    {
        prepareEngineRun(*form, EngineMode::Generation, "1000003");
        form->Label1->setText("count");
        form->Label4->setText("status");
        QVERIFY(form->subTrialDivide(DecimalNum::fromInt(1000003)));
        QVERIFY(!form->subTrialDivide(DecimalNum::fromInt(1000001)));
        QCOMPARE(form->Label1->text(), QString("count"));
        QCOMPARE(form->Label4->text(), QString("status"));
        QCOMPARE(form->Label13->text(), QString());
        QCOMPARE(form->List1->count(), 0);
        QCOMPARE(form->lsLMO->count(), 0);
        QVERIFY(form->blEven);

        // With more than 100 passes the latest ratio shows, except while a
        // list is saved to a file.
        QVERIFY(form->subTrialDivide(DecimalNum::fromInt(1000003)));
        QCOMPARE(form->lbCR->text(), latestRatioText(stepwiseDivisors(1000, 2)[200], DecimalNum::fromInt(1000003)));
        form->lbCR->clear();
        form->blPrint = true;
        QVERIFY(form->subTrialDivide(DecimalNum::fromInt(1000003)));
        QCOMPARE(form->lbCR->text(), QString());
    }

    // Esc arrives while the run lets events through: an Analyze of a 28-digit
    // prime that would otherwise run for days, and a Quick Test.
    void escInterruptsAnalyze()
    {
        QTimer::singleShot(50, form.get(), [this] { QTest::keyClick(form.get(), Qt::Key_Escape); });
        QVERIFY(runEngine(*form, EngineMode::AnalyzeSearch, "1000000000000000000000000103"));
        QVERIFY(form->blEsc);
        QCOMPARE(form->Label4->text(), QString("Process interrupted by user."));
        QCOMPARE(form->Label13->text(), QString("Elapsed time: <1 sec"));
        QVERIFY(!form->Label1->text().contains(" is "));
        QCOMPARE(form->List1->count(), 0);
    }

    void escInterruptsQuickTest()
    {
        QTimer::singleShot(0, form.get(), [this] { QTest::keyClick(form.get(), Qt::Key_Escape); });
        QVERIFY(runEngine(*form, EngineMode::QuickTest, "1000000000000000000000000103"));
        QVERIFY(form->blEsc);
        QCOMPARE(form->Label4->text(), QString("Process interrupted by user."));
        QCOMPARE(lines(form->List1), QStringList("Click Analyze to certify prime."));
        QVERIFY(!form->Label1->text().contains(" is "));
    }
};

QTEST_MAIN(EngineTrialTest)
#include "tst_engine_trial.moc"
