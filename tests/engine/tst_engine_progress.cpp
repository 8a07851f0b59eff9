// Progress, time estimate, confidence and elapsed time, with the clock held
// by the test.

#include <QLabel>
#include <QtTest>

#include "engine/clock.h"
#include "engine/progress.h"
#include "engine/trial_divisors.h"
#include "ui/extent_list.h"
#include "ui/form1.h"

class EngineProgressTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    QDateTime start;
    QDateTime clockTime;

    // A fresh command in the given mode, as the commands prepare it.
    void beginCommand(bool quickTest, bool analyze)
    {
        form->subResetState();
        form->blTest = quickTest;
        form->blAnalyze = analyze;
        form->subClearResults();
        form->Label1->clear();
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
        start = QDateTime(QDate(2024, 3, 1), QTime(10, 0, 0));
        clockTime = start;
        zclock::setSource([this] { return clockTime; });
        form = std::make_unique<Form1>();
        form->endProgram = [] {};
    }
    void cleanup()
    {
        form.reset();
        zclock::resetSource();
    }

    void updatePeriodFollowsTheBound_data()
    {
        QTest::addColumn<bool>("quickTest");
        QTest::addColumn<double>("lim");
        QTest::addColumn<double>("pc");
        QTest::newRow("Analyze, 50: nothing shown") << false << 50.0 << 0.0;
        QTest::newRow("Analyze, 150: 1.5 rounds to 2") << false << 150.0 << 2.0;
        QTest::newRow("Analyze, 250: 2.5 rounds to 2") << false << 250.0 << 2.0;
        QTest::newRow("Analyze, 10^8") << false << 1e8 << 1e6;
        QTest::newRow("Quick Test, 1000: pc is the bound") << true << 1000.0 << 1000.0;
        QTest::newRow("Quick Test, 1001") << true << 1001.0 << 1000.0;
        QTest::newRow("Quick Test, q = 10^7") << true << 1e9 << 1000.0;
        QTest::newRow("Quick Test, q above 10^7") << true << 1000000100.0 << 5000.0;
        QTest::newRow("Quick Test, q = 10^11") << true << 1e13 << 5000.0;
        QTest::newRow("Quick Test, q above 10^11") << true << 1e13 + 100 << 10000.0;
    }
    void updatePeriodFollowsTheBound()
    {
        QFETCH(bool, quickTest);
        QFETCH(double, lim);
        QFETCH(double, pc);
        beginCommand(quickTest, !quickTest);
        form->subProgress(2, lim, start);
        QCOMPARE(form->pc, pc);
        QCOMPARE(form->lastlimit, lim);
        // A smaller range, as for a cofactor, keeps the period.
        form->subProgress(2, lim / 4, start);
        QCOMPARE(form->pc, pc);
    }

    // With d at half the range the estimate equals the seconds taken.
    void analyzeEstimateAtItsBorders_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("estimate");
        QTest::newRow("0") << 0 << "0 secs";
        QTest::newRow("60") << 60 << "60 secs";
        QTest::newRow("61") << 61 << "1 mins";
        QTest::newRow("119") << 119 << "1 mins";
        QTest::newRow("120") << 120 << "2 mins";
        QTest::newRow("3600") << 3600 << "60 mins";
        QTest::newRow("3601") << 3601 << ">1 hour";
        QTest::newRow("10^9") << 1000000000 << ">1 hour";
    }
    void analyzeEstimateAtItsBorders()
    {
        QFETCH(int, seconds);
        QFETCH(QString, estimate);
        beginCommand(false, true);
        clockTime = start.addSecs(seconds);
        progress(200, 10000, 20000);
        QCOMPARE(form->Label4->text(), "Evaluating: 50% complete. Time est. " + estimate);
        QCOMPARE(form->Label1->text(), QString("Probable Prime (95%)"));
    }

    // Analyze updates once per percentage point, but at least every 100000
    // calls; its confidence climbs from 80% to 99% and stops changing once a
    // divisor has been found.
    void analyzeUpdatesAndConfidence()
    {
        beginCommand(false, true);
        const double lim = 1e9;  // pc = 10^7
        progress(99999, 5e6, lim);
        QCOMPARE(form->Label4->text(), QString());
        form->subProgress(5e6, lim, start);
        QCOMPARE(form->Label4->text(), QString("Evaluating: 1% complete. Time est. 0 secs"));
        QCOMPARE(form->Label1->text(), QString("Probable Prime (80%)"));

        const QStringList expected = {"(80%)", "(85%)", "(90%)", "(93%)", "(94%)",
                                      "(95%)", "(96%)", "(97%)", "(98%)", "(99%)", "(99%)"};
        for (int tens = 0; tens <= 10; ++tens) {
            progress(100000, (tens * 10 + 9) * 1e7, lim);
            QCOMPARE(form->Label1->text(), "Probable Prime " + expected[tens]);
        }
        form->blEven = true;
        form->Label1->setText("Certified Composite");
        progress(100000, 42e7, lim);
        QCOMPARE(form->Label1->text(), QString("Certified Composite"));
        QCOMPARE(form->Label4->text(), QString("Evaluating: 42% complete. Time est. 0 secs"));
        QVERIFY(!form->blExit);
    }

    // The Quick Test over the divisors of a prime with the bound 316228: the
    // confidence climbs block by block and the test stops at 100 blocks.
    void quickTestConfidenceClimbsToItsLimit()
    {
        beginCommand(true, false);
        const std::uint64_t bound = 316228;
        QStringList shown;
        std::uint64_t stoppedAt = 0;
        trial::DivisorWalk walk(bound, 2);
        while (walk.next() && !form->blExit) {
            form->subProgress(double(walk.divisor()), double(bound), start);
            if (shown.isEmpty() || shown.last() != form->Label1->text())
                shown << form->Label1->text();
            stoppedAt = walk.divisor();
        }
        shown.removeAll(QString());
        QStringList expected;
        for (const char *c : {"(50%)", "(55%)", "(60%)", "(65%)", "(70%)", "(72%)", "(74%)",
                              "(76%)", "(78%)", "(80%)", "(>80%)"})
            expected << QString("Probable Prime ") + c;
        QCOMPARE(shown, expected);
        QVERIFY(form->blExit);
        QVERIFY(stoppedAt >= 100000 && stoppedAt < 110000);
        QCOMPARE(form->Label4->text(), QString());
    }

    void generationShowsCountAndPercentage()
    {
        form->subResetState();
        form->blList = true;
        form->subClearResults();
        form->List1->addItems({"2", "3", "5"});
        progress(9, 500, 1000);  // pc = 10
        QCOMPARE(form->Label1->text(), QString());
        form->subProgress(500, 1000, start);
        QCOMPARE(form->Label1->text(), QString(" 3 Primes "));
        QCOMPARE(form->Label4->text(), QString("Generating: 50% complete."));
        form->List1->addItem("7");
        progress(10, 5, 1000);
        QCOMPARE(form->Label1->text(), QString(" 4 Primes "));
        QCOMPARE(form->Label4->text(), QString("Generating: 1% complete."));
    }

    // The engine's counted-down calls against subProgress called every time:
    // the same update points, texts, stop request and count.
    void passCounterMatchesSubProgress_data()
    {
        QTest::addColumn<bool>("quickTest");
        QTest::addColumn<bool>("generation");
        QTest::addColumn<double>("lim");
        QTest::addColumn<double>("step");
        QTest::newRow("Analyze, pc 10^7: every 100000 calls") << false << false << 1e9 << 1000.0;
        QTest::newRow("Analyze, pc 0") << false << false << 40.0 << 1.0;
        QTest::newRow("Analyze, pc 3") << false << false << 300.0 << 0.01;
        QTest::newRow("Quick Test to its limit") << true << false << 316228.0 << 10.0;
        QTest::newRow("Quick Test, pc = bound") << true << false << 500.0 << 0.1;
        QTest::newRow("generation, pc 10") << false << true << 1000.0 << 0.01;
    }
    void passCounterMatchesSubProgress()
    {
        QFETCH(bool, quickTest);
        QFETCH(bool, generation);
        QFETCH(double, lim);
        QFETCH(double, step);
        Form1 counted;
        counted.endProgram = [] {};
        for (Form1 *f : {form.get(), &counted}) {
            f->blTest = quickTest;
            f->blAnalyze = !quickTest && !generation;
            f->blList = generation;
            f->subClearResults();
        }
        // A command's earlier run left a count behind.
        form->subProgress(1, lim, start);
        counted.subProgress(1, lim, start);

        progress::PassCounter counter(counted, lim, start);
        int updatesSeen = 0;
        QString lastStatus;
        for (int call = 1; call <= 400000 && !form->blExit; ++call) {
            const double d = call * step;
            form->subProgress(d, lim, start);
            counter.onPass(d);
            if (form->Label1->text() != counted.Label1->text() ||
                form->Label4->text() != counted.Label4->text() || form->blExit != counted.blExit)
                QFAIL(qPrintable(QString("call %1: %2 | %3").arg(call).arg(form->Label4->text(), counted.Label4->text())));
            if (form->Label4->text() + form->Label1->text() != lastStatus) {
                lastStatus = form->Label4->text() + form->Label1->text();
                ++updatesSeen;
            }
            if (call % 7919 == 0) {
                counter.sync();
                QCOMPARE(counted.nct, form->nct);
            }
        }
        counter.sync();
        QCOMPARE(counted.nct, form->nct);
        QCOMPARE(counted.lastlimit, form->lastlimit);
        QCOMPARE(updatesSeen > 1, form->pc != 0);
    }

    void elapsedTimeFormats_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("same second") << 0 << "Elapsed time: <1 sec";
        QTest::newRow("clock set back") << -5 << "Elapsed time: <1 sec";
        QTest::newRow("7") << 7 << "Elapsed time: 00:07";
        QTest::newRow("59") << 59 << "Elapsed time: 00:59";
        QTest::newRow("60") << 60 << "Elapsed time: 01:00";
        QTest::newRow("80") << 80 << "Elapsed time: 01:20";
        QTest::newRow("3599") << 3599 << "Elapsed time: 59:59";
        QTest::newRow("3600") << 3600 << "Elapsed time: 1:00:00";
        QTest::newRow("3725") << 3725 << "Elapsed time: 1:02:05";
        QTest::newRow("36000") << 36000 << "Elapsed time: 10:00:00";
        QTest::newRow("400000") << 400000 << "Elapsed time: 111:06:40";
    }
    void elapsedTimeFormats()
    {
        QFETCH(int, seconds);
        QFETCH(QString, text);
        clockTime = start.addSecs(seconds);
        form->subShowElapsed(start);
        QCOMPARE(form->Label13->text(), text);
    }
};

QTEST_MAIN(EngineProgressTest)
#include "tst_engine_progress.moc"
