// The trial-division engine driven on the window, one mode at a time, with
// the flags that its callers set, and its progress, time estimate, confidence
// and elapsed time, with the clock held by the test.

#include <QLabel>
#include <QLocale>

#include "core/stretch_pool.h"
#include "core/trial_divisors.h"
#include "engine/clock.h"
#include "engine/progress.h"
#include "support/form_driver.h"
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

// The verdict, the status line and the result lines.
QString shown(const Form1 &form)
{
    return (QStringList{form.Label1->text(), form.Label4->text()} + FormDriver::lines(form.List1)).join(" | ");
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

const QString kLongPrime = "1000000000000000000000000103";

}  // namespace

class EngineTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    const QDateTime start = QDateTime(QDate(2024, 3, 1), QTime(10, 59, 59));
    QDateTime clockTime;

    // A new window for each case.
    void renew()
    {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // `calls` calls of subProgress, the last one at position d.
    void progress(int calls, double d, double lim)
    {
        for (int i = 1; i < calls; ++i)
            form->subProgress(1, lim, start);
        form->subProgress(d, lim, start);
    }

private slots:
    void init()
    {
        clockTime = start;
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

    // The estimate, at half the range equal to the seconds taken, and the
    // elapsed time, each row named by its seconds.
    void timeTexts()
    {
        for (const auto &[seconds, estimate, elapsed] :
             QList<std::tuple<int, QString, QString>>{{-5, "", "<1 sec"},
                                                      {0, "0 secs", "<1 sec"},
                                                      {59, "59 secs", "00:59"},
                                                      {60, "60 secs", "01:00"},
                                                      {61, "1 mins", "01:01"},
                                                      {119, "1 mins", "01:59"},
                                                      {120, "2 mins", "02:00"},
                                                      {3599, "59 mins", "59:59"},
                                                      {3600, "60 mins", "1:00:00"},
                                                      {3601, ">1 hour", "1:00:01"},
                                                      {3725, ">1 hour", "1:02:05"},
                                                      {400000, ">1 hour", "111:06:40"}}) {
            renew();
            prepare(*form, Mode::AnalyzeSearch, "");
            clockTime = start.addSecs(seconds);
            progress(200, 10000, 20000);
            form->subShowElapsed(start);
            const QString texts = (estimate.isEmpty() ? "" : form->Label4->text().section("Time est. ", 1)) + " | " +
                                  form->Label13->text();
            QCOMPARE(QString::number(seconds) + ": " + texts,
                     QString::number(seconds) + ": " + estimate + " | Elapsed time: " + elapsed);
        }
    }

    // Analyze with a bound of 10^9 (pc = 10^7) updates once per percentage
    // point, but at least every 100000 calls; its confidence climbs from 80%
    // to 99% and stops changing once a divisor has been found.
    void analyzeUpdatesAndConfidence()
    {
        prepare(*form, Mode::AnalyzeSearch, "");
        progress(99999, 5e6, 1e9);
        QCOMPARE(form->Label4->text(), QString());
        form->subProgress(5e6, 1e9, start);
        QCOMPARE(form->Label4->text(), QString("Evaluating: 1% complete. Time est. 0 secs"));
        QStringList confidences;
        for (int tens = 0; tens <= 10; ++tens, confidences << form->Label1->text().remove("Probable Prime "))
            progress(100000, (tens * 10 + 9) * 1e7, 1e9);
        QCOMPARE(confidences.join(' '), QString("(80%) (85%) (90%) (93%) (94%) (95%) (96%) (97%) (98%) (99%) (99%)"));
        form->blEven = true;
        form->Label1->setText("Certified Composite");
        progress(100000, 42e7, 1e9);
        QCOMPARE(form->Label1->text() + form->Label4->text(),
                 QString("Certified CompositeEvaluating: 42% complete. Time est. 0 secs"));
    }

    // The Quick Test over the divisors of a prime with the bound 316228: the
    // confidence climbs block by block and the test stops at 100 blocks.
    void quickTestConfidenceClimbsToItsLimit()
    {
        prepare(*form, Mode::QuickTest, "");
        QStringList shown;
        std::uint64_t stoppedAt = 0;
        for (trial::DivisorWalk walk(316228, 2); walk.next() && !form->blExit; stoppedAt = walk.divisor()) {
            form->subProgress(double(walk.divisor()), 316228, start);
            shown << form->Label1->text();
        }
        shown.removeDuplicates();
        QCOMPARE(shown.join(' ').remove("Probable Prime "),
                 QString(" (50%) (55%) (60%) (65%) (70%) (72%) (74%) (76%) (78%) (80%) (>80%)"));
        QVERIFY(form->blExit && stoppedAt >= 100000 && stoppedAt < 110000 && form->Label4->text().isEmpty());
    }

    void generationShowsCountAndPercentage()
    {
        prepare(*form, Mode::Generation, "");
        FormDriver::fill(form->List1, {"2", "3", "5"});
        progress(9, 500, 1000);  // pc = 10
        QCOMPARE(form->Label1->text(), QString());
        form->subProgress(500, 1000, start);
        QCOMPARE(form->Label1->text() + '|' + form->Label4->text(), QString(" 3 Primes |Generating: 50% complete."));
    }

    // The engine's counted-down calls against subProgress called every time:
    // the same update points, texts, stop request and count.
    void passCounterMatchesSubProgress()
    {
        for (const auto &[mode, lim, step] : QList<std::tuple<Mode, double, double>>{{Mode::AnalyzeSearch, 1e9, 1000},
                                                                                     {Mode::AnalyzeSearch, 40, 1},
                                                                                     {Mode::QuickTest, 316228, 10},
                                                                                     {Mode::QuickTest, 500, 0.1},
                                                                                     {Mode::Generation, 1000, 0.01}}) {
            Form1 counted;
            renew();
            prepare(*form, mode, "");
            prepare(counted, mode, "");
            // A command's earlier run left a count behind.
            form->subProgress(1, lim, start);
            counted.subProgress(1, lim, start);
            progress::PassCounter counter(counted, lim, start);
            const auto status = [](const Form1 &f) {
                return f.Label4->text() + '|' + f.Label1->text() + (f.blExit ? "|stop" : "");
            };
            for (int call = 1; call <= 400000 && !form->blExit; ++call) {
                form->subProgress(call * step, lim, start);
                counter.onPass(call * step);
                QCOMPARE(status(counted), status(*form));
                if (call % 7919 == 0 || call == 400000 || form->blExit) {
                    counter.sync();
                    QVERIFY(counted.nct == form->nct && counted.lastlimit == form->lastlimit);
                }
            }
        }
    }

    // A prime is certified; otherwise the call ends at the first divisor: no
    // closing lines, the start time stays. 15 -> 17 and 49 -> 51 are skipped,
    // 11 is not.
    void quickTest()
    {
        const QString startTime = "Start time: " + QLocale::system().toString(start.time(), QLocale::ShortFormat);
        for (const auto &[number, divisor] :
             QList<QPair<QString, QString>>{{"2", ""},
                                            {"3", ""},
                                            {"97", ""},
                                            {"4", "2"},
                                            {"9", "3"},
                                            {"121", "11"},
                                            {"289", "17"},
                                            {"2809", "53"},
                                            {"8999190000000000000000099991", "99991"}}) {
            renew();
            QCOMPARE(run(*form, Mode::QuickTest, number), divisor.isEmpty());
            const QString red = textColor(form->Label1) == QColor(Qt::red) ? " (red)" : "";
            QCOMPARE(shown(*form) + " | " + form->Label13->text() + red,
                     divisor.isEmpty() ? number + " is Prime | Evaluation complete. | " + number + " = 1 * " + number +
                                             " | Elapsed time: <1 sec (red)"
                                       : "Certified Composite |  | Factor found: " + divisor +
                                             " | Click Analyze for prime factors | " + startTime);
            QVERIFY(divisor.isEmpty() ? form->blCert && !form->blExit : form->blExit && form->blEven && form->blPrime);
        }
    }

    // Every record and the latest ratio, against DivFraction: a prime with a
    // bound of 10^6 (display every 100 passes) and a 28-digit number whose
    // factor 99991 ends the call after 99989 (display every 10000 passes).
    // (97's two records are in tst_factor_analysis.)
    void analyzeRatiosMatchDivFraction()
    {
        for (const auto &[number, bound, prime, interval] :
             QList<std::tuple<QString, std::uint64_t, bool, std::size_t>>{
                 {"1000000000039", 1000000, true, 100}, {"8999190000000000000000099991", 99989, false, 10000}}) {
            renew();
            const DecimalNum n = DecimalNum::fromText(number.toStdString());
            const std::vector<std::uint64_t> divisors = divisorsUpTo(bound);
            QStringList records;
            for (double best = 1.0; std::uint64_t d : divisors)
                if (const double f = fraction(d, n); f < best)
                    records.prepend(qstr(signedText(double(d))) + ": " +
                                    qstr(DecimalNum::fromDouble(best = f).signedText()));
            const std::size_t lastShown = (divisors.size() - 1) / interval * interval;
            QCOMPARE(run(*form, Mode::AnalyzeSearch, number), prime);
            QCOMPARE(FormDriver::lines(form->lsLMO), records);
            QCOMPARE(form->lbNo->text() + form->lbOf->text(),
                     records.first().section(':', 0, 0) + QString("(of %1)").arg(records.size()));
            QCOMPARE(form->lbCR->text() + form->lbCR->toolTip(),
                     latestRatioText(divisors[lastShown], n) + qstr(signedText(double(divisors[lastShown]))));
        }
        // While Ctrl is held the latest ratio stays off the window; records do not.
        renew();
        form->blPrint = true;
        QVERIFY(run(*form, Mode::AnalyzeSearch, "1000000000039"));
        QVERIFY(form->lbCR->text().isEmpty() && form->lsLMO->count() > 0);
    }

    // A series counts primes; one more than the 16-bit count holds is
    // reported, without the closing status. (That it shows nothing for a
    // composite is tst_factor_analysis's.)
    void seriesTest()
    {
        form->dv = 4;
        QVERIFY(run(*form, Mode::SeriesTest, "97") && form->dv == 5 && form->blPCD);
        QCOMPARE(form->Label4->text() + " | " + FormDriver::lines(form->List1).join(""),
                 QString("Evaluation complete. | 97 = 1 * 97"));

        renew();
        MessageBoxAnswerer boxes;
        form->dv = 32767;
        QVERIFY(run(*form, Mode::SeriesTest, "97") && form->dv == 32767 && form->Label4->text().isEmpty());
        QCOMPARE(boxes.texts() << boxes.seen().front().title, QStringList({"Overflow", "Zorvelan"}));
    }

    // The divisor pass hands over to the divisor report at the first divisor.
    // The cofactor's range ran out after a factor was divided out: the number
    // is composite, in the menu text colour.
    void divisorPassAndVerdictLine()
    {
        QVERIFY(!run(*form, Mode::AnalyzeDivisorPass, "91") && !form->blEnd && form->blEven);
        prepare(*form, Mode::AnalyzeDivisorPass, "91");  // the factor search has cleared blPrime
        setTextColor(form->Label1, QColor(Qt::red));
        form->subShowVerdict();
        QCOMPARE(form->Label1->text() + ' ' + textColor(form->Label1).name(),
                 "91 is Composite " + systemColor(COLOR_MENUTEXT).name());
    }

    // Esc arrives while the run lets events through, four workers dividing: an
    // Analyze of a 28-digit prime that would otherwise run for days, and a
    // Quick Test.
    void escInterruptsLongRuns()
    {
        QTimer::singleShot(50, form.get(), [this] { QTest::keyClick(form.get(), Qt::Key_Escape); });
        QVERIFY(run(*form, Mode::AnalyzeSearch, kLongPrime));
        QVERIFY(form->blEsc && !form->Label1->text().contains(" is ") && form->List1->count() == 0);
        QCOMPARE(form->Label4->text() + form->Label13->text(),
                 QString("Process interrupted by user.Elapsed time: <1 sec"));

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

QTEST_MAIN(EngineTest)
#include "tst_engine.moc"
