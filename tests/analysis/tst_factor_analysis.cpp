#include <QClipboard>
#include <QLabel>

#include "core/stretch_pool.h"
#include "engine/clock.h"
#include "support/form_driver.h"
#include "ui/system_colors.h"

// Quick Test and Analyze results, the divisor report and the divisor-ratio
// panel, driven through the window's buttons.
class FactorAnalysisTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormDriver> ui;
    Form1 *form = nullptr;

    void analyze(const QString &n) { ui->run(form->cmdAnalyze, n); }
    QString summary() { return form->Label1->text() + (textColor(form->Label1) == QColor(255, 0, 0) ? " (red)" : ""); }

    // "Prime Factors:" and the factor line, then the divisor report.
    static QStringList report(const QString &factorLine, const QString &divisors, const QString &sum, int total)
    {
        return QStringList{"Prime Factors:", factorLine, "All Factors:"} + divisors.split(' ') +
               QStringList{"Sum of Factors: " + sum, "Total Divisors: " + QString::number(total)};
    }

    // What a command shows, with the labels sampled whenever the clock is read
    // (start, every progress update of Analyze, the end; the latest ratio is
    // drawn when the window paints, so only at the end), the workers
    // scanning stretches of 13 passes so that their borders fall everywhere.
    QStringList seen(bool analyze, const QString &number, unsigned threads)
    {
        init();  // a new window
        core::setParallelSettings({threads, 13});
        QStringList shown;
        const auto labels = [this] {
            return QStringList{form->Label1->text(), form->Label4->text(), form->lbNo->text()};
        };
        zclock::setSource([&] {
            shown << (labels() << QString::number(form->lsLMO->count()) << QString::number(form->List1->count()))
                         .join('|');
            return QDateTime(QDate(2024, 3, 1), QTime(10, 0, 0));
        });
        ui->run(analyze ? form->cmdAnalyze : form->cmdTest, number);
        zclock::resetSource();
        core::setParallelSettings({});
        return shown + ui->results() + ui->ratios() + labels() +
               QStringList{form->lbOf->text(), form->lbLMO->text(), form->lbCR->text(), form->lbCR->toolTip()};
    }

private slots:
    void init()
    {
        ui = std::make_unique<FormDriver>();
        QVERIFY(ui->ready());
        form = ui->form.get();
    }
    void cleanup()
    {
        QVERIFY2(ui->boxes.seen().empty(), qPrintable(ui->boxes.texts().join(" | ")));
        ui.reset();
    }

    // Every divisor, the sum and the count, and the records of the ratio
    // panel. A square root is its own partner and is listed once; up to 14
    // the walk goes to n itself, with no partners; numbers of 10^15 and more
    // keep all their digits.
    void analyzeReports_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<QStringList>("firstRatios");
        QTest::newRow("prime") << "97" << QStringList{"97 = 1 * 97"} << QStringList{" 3:  .333333333333333", " 2:  .5"};
        QTest::newRow("square") << "49" << report("49 = 7 * 7", "1 7", "8", 3) << QStringList();
        QTest::newRow("to 14") << "12" << report("12 = 2 * 2 * 3", "1 2 3 4 6", "16", 6)
                               << QStringList{" 11:  .0909090909090909"};
        QTest::newRow("360") << "360"
                             << report("360 = 2 * 2 * 2 * 3 * 3 * 5",
                                       "1 2 3 4 5 6 8 9 10 12 15 18 20 24 30 36 "
                                       "40 45 60 72 90 120 180",
                                       "810", 24)
                             << QStringList();  // records: below
        QTest::newRow("beyond 10^15") << "2000000000000074"
                                      << report("2000000000000074 = 2 * 1000000000000037", "1 2 1000000000000037",
                                                "1000000000000040", 4)
                                      << QStringList();
        const quint64 n = 8589869056;  // 2^16 * (2^17 - 1)
        QStringList divisors;
        for (int k = 0; k <= 32; ++k)  // 2^0 .. 2^16, then n / 2^16 .. n / 2
            divisors << QString::number(k <= 16 ? quint64(1) << k : n >> (33 - k));
        QTest::newRow("perfect") << QString::number(n)
                                 << report(QString::number(n) + " = " + QString("2 * ").repeated(16) + "131071",
                                           divisors.join(' '), "8589869056 (Perfect Number!)", 34)
                                 << QStringList();
    }
    void analyzeReports()
    {
        QFETCH(QString, number);
        QFETCH(QStringList, results);
        QFETCH(QStringList, firstRatios);
        analyze(number);
        QCOMPARE(ui->results(), results);
        QCOMPARE(ui->ratios().mid(0, firstRatios.size()), firstRatios);
    }

    // One thread and four show the same, to the last sampled label: stretch
    // borders everywhere, the Quick Test's cut-off and factors, 28 digits.
    void sameOnOneThreadAndOnFour_data()
    {
        QTest::addColumn<bool>("analyze");
        QTest::addColumn<QString>("number");
        for (const QString number : {"1000000000039", "999962000357", "8589869056", "360"})
            QTest::addRow("analyze %s", qPrintable(number)) << true << number;
        for (const QString number :
             {"1000000000039", "999962000357", "8999190000000000000000099991", "1000000000000000000000000103"})
            QTest::addRow("quick test %s", qPrintable(number)) << false << number;
    }
    void sameOnOneThreadAndOnFour()
    {
        QFETCH(bool, analyze);
        QFETCH(QString, number);
        const QStringList alone = seen(analyze, number, 1);
        QVERIFY(alone.size() > 8);
        QCOMPARE(seen(analyze, number, 4), alone);
    }

    void ratioListCopyHintAndSeriesTest()
    {
        analyze("360");  // best nonfactors 17 and 7
        QCOMPARE((QStringList{form->lbNo->text(), form->lbOf->text(), form->lbLMO->text(), form->Label4->text()}),
                 (QStringList{" 17", "(of 2)", ".1764705882352940000", "Calculating factors: 100% complete."}));
        QCOMPARE(form->List1->currentRow(), form->List1->count() - 1);
        QTest::mouseMove(form->lsLMO->viewport(), QPoint(5, 5));
        QCOMPARE(form->lsLMO->toolTip(), QString("Right-click to test best divisors for primality."));
        QTest::keyClick(form->lsLMO, Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("\r\n 17:  .176470588235294\r\n 7:  .428571428571429"));
        const QStringList listed = ui->results();
        QTest::mouseClick(form->lsLMO->viewport(), Qt::RightButton);
        QCOMPARE(ui->results(), listed + QStringList({"17 = 1 * 17", "7 = 1 * 7"}));
        QCOMPARE(summary() + ' ' + form->Text1->text(), QString(" 2 primes in series (red) 360"));

        // Rows: the earlier result, the ratio lines added, what the series
        // shows. A test cut short by the Quick Test limit does not stop the
        // next one; generator intervals hold no ":" and start no series.
        for (const auto &[number, rows, lastLine, shows] : QList<std::tuple<QString, QStringList, QString, QString>>{
                 {"2", {" 9:  .1", " 15:  .2", " 4:  .25"}, "2 = 1 * 2", "No Primes"},
                 {"3", {" 1000000000039:  .1", " 7:  .2"}, "7 = 1 * 7", "1 prime in list (red)"},
                 {"5", {"12 (3)", "8 (2)"}, "5 = 1 * 5", "5 is Prime (red)"}}) {
            ui->run(form->cmdTest, number);
            FormDriver::fill(form->lsLMO, rows);
            QTest::mouseClick(form->lsLMO->viewport(), Qt::RightButton);
            QCOMPARE(number + ": " + ui->results().last() + " | " + summary(),
                     number + ": " + lastLine + " | " + shows);
        }

        // An empty list copies nothing.
        form->lsLMO->clear();
        QGuiApplication::clipboard()->setText("kept");
        QTest::keyClick(form->lsLMO, Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
    }
};

QTEST_MAIN(FactorAnalysisTest)
#include "tst_factor_analysis.moc"
