// Progress, time estimate, confidence and elapsed time, with the clock held
// by the test.

#include <QLabel>
#include <QtTest>

#include "engine/clock.h"
#include "engine/progress.h"
#include "core/trial_divisors.h"
#include "ui/extent_list.h"
#include "ui/form1.h"

class EngineProgressTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    QDateTime start = QDateTime(QDate(2024, 3, 1), QTime(10, 0, 0)), clockTime;

    // A fresh command in the given mode, as the commands prepare it.
    void beginCommand(bool quickTest, bool analyze, bool generation = false, Form1 *f = nullptr)
    {
        f = f ? f : form.get();
        f->subResetState();
        std::tie(f->blTest, f->blAnalyze, f->blList) = std::tuple(quickTest, analyze, generation);
        f->subClearResults();
        f->Label1->clear();
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
        form = std::make_unique<Form1>();
        form->endProgram = [] {};
    }
    void cleanup()
    {
        form.reset();
        zclock::resetSource();
    }

    // Analyze: 1% of the bound, rounded half to even; Quick Test: the bound up
    // to 1000, then 1000, 5000 or 10000 by the size of the bound.
    void updatePeriodFollowsTheBound()
    {
        const QList<std::tuple<bool, double, double>> cases = {
            {false, 50, 0}, {false, 150, 2}, {false, 250, 2}, {true, 1000, 1000}, {true, 1001, 1000},
            {true, 1e9, 1000}, {true, 1000000100, 5000}, {true, 1e13, 5000}, {true, 1e13 + 100, 10000}};
        for (const auto &[quickTest, lim, pc] : cases) {
            beginCommand(quickTest, !quickTest);
            form->subProgress(2, lim, start);
            // A smaller range, as for a cofactor, keeps the period.
            form->subProgress(2, lim / 4, start);
            QVERIFY(form->pc == pc && form->lastlimit == lim);
        }
    }

    // With d at half the range the estimate equals the seconds taken.
    void analyzeEstimateAtItsBorders()
    {
        const QList<QPair<int, QString>> cases = {{60, "60 secs"}, {61, "1 mins"}, {119, "1 mins"},
                                                  {120, "2 mins"}, {3600, "60 mins"}, {3601, ">1 hour"}};
        for (const auto &[seconds, estimate] : cases) {
            beginCommand(false, true);
            clockTime = start.addSecs(seconds);
            progress(200, 10000, 20000);
            QCOMPARE(form->Label4->text(), "Evaluating: 50% complete. Time est. " + estimate);
            QCOMPARE(form->Label1->text(), QString("Probable Prime (95%)"));
        }
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
        int tens = 0;
        for (const char *expected : {"80", "85", "90", "93", "94", "95", "96", "97", "98", "99", "99"}) {
            progress(100000, (tens++ * 10 + 9) * 1e7, lim);
            QCOMPARE(form->Label1->text(), QString("Probable Prime (%1%)").arg(expected));
        }
        form->blEven = true;
        form->Label1->setText("Certified Composite");
        progress(100000, 42e7, lim);
        QCOMPARE(form->Label1->text() + form->Label4->text(),
                 QString("Certified CompositeEvaluating: 42% complete. Time est. 0 secs"));
    }

    // The Quick Test over the divisors of a prime with the bound 316228: the
    // confidence climbs block by block and the test stops at 100 blocks.
    void quickTestConfidenceClimbsToItsLimit()
    {
        beginCommand(true, false);
        QStringList shown;
        std::uint64_t stoppedAt = 0;
        for (trial::DivisorWalk walk(316228, 2); walk.next() && !form->blExit; stoppedAt = walk.divisor()) {
            form->subProgress(double(walk.divisor()), 316228, start);
            if (!form->Label1->text().isEmpty() && (shown.isEmpty() || shown.last() != form->Label1->text()))
                shown << form->Label1->text();
        }
        QCOMPARE(shown.join(' ').remove("Probable Prime "), QString("(50%) (55%) (60%) (65%) (70%) (72%) (74%) (76%) (78%) (80%) (>80%)"));
        QVERIFY(form->blExit && stoppedAt >= 100000 && stoppedAt < 110000 && form->Label4->text().isEmpty());
    }

    void generationShowsCountAndPercentage()
    {
        beginCommand(false, false, true);
        form->List1->addItems({"2", "3", "5"});
        progress(9, 500, 1000);  // pc = 10
        QCOMPARE(form->Label1->text(), QString());
        form->subProgress(500, 1000, start);
        QCOMPARE(form->Label1->text() + '|' + form->Label4->text(), QString(" 3 Primes |Generating: 50% complete."));
    }

    // The engine's counted-down calls against subProgress called every time:
    // the same update points, texts, stop request and count.
    void passCounterMatchesSubProgress()
    {
        // quick test, generation, lim, step
        const QList<std::tuple<bool, bool, double, double>> cases = {{false, false, 1e9, 1000}, {false, false, 40, 1},
            {true, false, 316228, 10}, {true, false, 500, 0.1}, {false, true, 1000, 0.01}};
        for (const auto &[quickTest, generation, lim, step] : cases) {
            Form1 counted;
            counted.endProgram = [] {};
            beginCommand(quickTest, !quickTest && !generation, generation);
            beginCommand(quickTest, !quickTest && !generation, generation, &counted);
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

    void elapsedTimeFormats()
    {
        const QList<QPair<int, QString>> cases = {{0, "<1 sec"}, {-5, "<1 sec"}, {59, "00:59"}, {60, "01:00"},
            {3599, "59:59"}, {3600, "1:00:00"}, {3725, "1:02:05"}, {400000, "111:06:40"}};
        for (const auto &[seconds, text] : cases) {
            clockTime = start.addSecs(seconds);
            form->subShowElapsed(start);
            QCOMPARE(form->Label13->text(), "Elapsed time: " + text);
        }
    }
};

QTEST_MAIN(EngineProgressTest)
#include "tst_engine_progress.moc"
