#include <QLabel>
#include <cmath>
#include <random>

#include "core/neighbour_table.h"
#include "core/stretch_pool.h"
#include "engine/clock.h"
#include "support/form_driver.h"

// Analyze with stretches that jump to the near-divisors shows what Analyze
// with every stretch scanned shows: every line, label and tooltip at the end,
// and at every progress update that it shows, the labels of the same update
// of the scanning run. ZORVELAN_JUMP_ROWS=long adds numbers of 13 to 18
// digits with the program's own stretch lengths.
class JumpAnalysisTest : public QObject {
    Q_OBJECT

    // The labels whenever the clock is read (start, progress updates, end),
    // then everything shown at the end.
    struct Run {
        QStringList updates;
        QStringList end;
    };

    static Run analyze(const QString &number, core::ParallelSettings settings)
    {
        core::forgetNeighbourTables();
        core::setParallelSettings(settings);
        FormDriver ui;
        Form1 &f = *ui.form;
        const auto labels = [&f] {
            return QStringList{f.Label1->text(), f.Label4->text(), f.lbNo->text(), f.lbOf->text(), f.lbLMO->text()}
                .join('|');
        };
        Run run;
        zclock::setSource([&] {
            run.updates << labels();
            return QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0));
        });
        ui.run(f.cmdAnalyze, number);
        zclock::resetSource();
        core::setParallelSettings({});
        run.end = ui.results() + ui.ratios() +
                  QStringList{labels(), f.lbCR->text(), f.lbCR->toolTip(), f.Label13->text()};
        if (!ui.boxes.seen().empty())
            run.end << "message: " + ui.boxes.texts().join(" | ");
        return run;
    }

    // Whether every update of `shown` is, in order, one of `all`.
    static bool isSubsequence(const QStringList &shown, const QStringList &all)
    {
        qsizetype at = 0;
        for (const QString &update : shown) {
            while (at < all.size() && all[at] != update)
                ++at;
            if (at++ == all.size())
                return false;
        }
        return true;
    }

    static void addRandomRows(int count, int minDigits, int maxDigits, bool early)
    {
        std::mt19937_64 random(20261207 + static_cast<unsigned>(minDigits));
        std::uniform_real_distribution<double> digits(minDigits - 1, maxDigits);  // spread over the sizes
        for (int i = 0; i < count; ++i) {
            const QString number = QString::number(static_cast<std::uint64_t>(std::pow(10.0, digits(random))));
            QTest::addRow("%s", qPrintable(number)) << number << early;
        }
    }

private slots:
    void jumpingShowsWhatScanningShows_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("early");  // early jumps and short stretches, jumping wherever a stretch may
        for (const char *number : {"360", "8589869056", "999962000357", "1000000000039", "963761198401", "963761198399",
                                   "442350226997", "100000980001501"})
            QTest::addRow("%s", number) << QString(number) << true;
        addRandomRows(100, 6, 12, true);
        if (qEnvironmentVariable("ZORVELAN_JUMP_ROWS") == "long")
            addRandomRows(100, 13, 18, false);
    }
    void jumpingShowsWhatScanningShows()
    {
        QFETCH(QString, number);
        QFETCH(bool, early);
        const std::uint64_t stretchPasses = early ? 97 : 0;
        const Run jumped = analyze(number, {0, stretchPasses, early ? 200u : 0u, early});
        const Run scanned = analyze(number, {0, stretchPasses, core::kNeverJump});
        QCOMPARE(jumped.end, scanned.end);
        QVERIFY2(isSubsequence(jumped.updates, scanned.updates), qPrintable(jumped.updates.join('\n')));
    }
};

QTEST_MAIN(JumpAnalysisTest)
#include "tst_jump_analysis.moc"
