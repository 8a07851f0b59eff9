#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

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
    void quickTest(const QString &n) { ui->run(form->cmdTest, n); }
    void rightClickRatios() { QTest::mouseClick(form->lsLMO->viewport(), Qt::RightButton); }

    // "Prime Factors:" and the factor line, then the divisor report.
    static QStringList report(const QString &factorLine, const QStringList &divisors, const QString &sum, int total)
    {
        return QStringList{"Prime Factors:", factorLine, "All Factors:"} + divisors +
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
        zclock::setSource([&] {
            shown << QStringList{form->Label1->text(), form->Label4->text(), form->lbNo->text(),
                                 QString::number(form->lsLMO->count()), QString::number(form->List1->count())}
                         .join('|');
            return QDateTime(QDate(2024, 3, 1), QTime(10, 0, 0));
        });
        ui->run(analyze ? form->cmdAnalyze : form->cmdTest, number);
        zclock::resetSource();
        core::setParallelSettings({});
        return shown + ui->results() + ui->ratios() +
               QStringList{form->Label1->text(), form->Label4->text(), form->lbOf->text(), form->lbLMO->text(),
                           form->lbCR->text(), form->lbCR->toolTip()};
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

    void primeAndComposite()
    {
        quickTest("97");
        QCOMPARE(ui->results(), QStringList{"97 = 1 * 97"});
        QCOMPARE(form->Label1->text(), QString("97 is Prime"));
        QCOMPARE(textColor(form->Label1), QColor(255, 0, 0));
        // Analyze adds no factor line, and the engine's records fill the panel.
        analyze("97");
        QCOMPARE(ui->results(), QStringList{"97 = 1 * 97"});
        QCOMPARE(ui->ratios(), (QStringList{" 3:  .333333333333333", " 2:  .5"}));

        quickTest("91");
        QCOMPARE(ui->results(), (QStringList{"Factor found: 7", "Click Analyze for prime factors"}));
        QCOMPARE(form->Label1->text(), QString("Certified Composite"));
        analyze("360");
        const QString divisors = "1 2 3 4 5 6 8 9 10 12 15 18 20 24 30 36 40 45 60 72 90 120 180";
        QCOMPARE(ui->results(), report("360 = 2 * 2 * 2 * 3 * 3 * 5", divisors.split(' '), "810", 24));
        QCOMPARE(form->List1->currentRow(), form->List1->count() - 1);
        QCOMPARE(form->Label4->text(), QString("Calculating factors: 100% complete."));
        QCOMPARE((QStringList{form->lbNo->text(), form->lbOf->text(), form->lbLMO->text()}),
                 (QStringList{" 17", "(of 2)", ".1764705882352940000"}));
    }

    void divisorReports()
    {
        // A square root is its own partner and is listed once.
        analyze("49");
        QCOMPARE(ui->results(), report("49 = 7 * 7", {"1", "7"}, "8", 3));
        // Up to 14 the walk goes to n itself, with no partners.
        analyze("12");
        QCOMPARE(ui->results(), report("12 = 2 * 2 * 3", {"1", "2", "3", "4", "6"}, "16", 6));
        QCOMPARE(ui->ratios().first(), QString(" 11:  .0909090909090909"));

        // Factors, partners and sums of 10^15 and more keep all their digits.
        analyze("2000000000000074");
        QCOMPARE(ui->results(), report("2000000000000074 = 2 * 1000000000000037",
                                       {"1", "2", "1000000000000037"}, "1000000000000040", 4));

        // A perfect number: every divisor, the sum and the count.
        const quint64 n = 8589869056;  // 2^16 * (2^17 - 1)
        QStringList divisors;
        for (int k = 0; k <= 32; ++k)  // 2^0 .. 2^16, then n / 2^16 .. n / 2
            divisors << QString::number(k <= 16 ? quint64(1) << k : n >> (33 - k));
        analyze(QString::number(n));
        QCOMPARE(ui->results(), report(QString::number(n) + " = " + QString("2 * ").repeated(16) + "131071", divisors,
                                       "8589869056 (Perfect Number!)", 34));
    }

    // One thread and four show the same, to the last sampled label.
    void sameOnOneThreadAndOnFour_data()
    {
        QTest::addColumn<bool>("analyze");
        QTest::addColumn<QString>("number");
        QTest::newRow("analyze prime") << true << "1000000000039";
        QTest::newRow("analyze 2 primes near 10^6") << true << "999962000357";
        QTest::newRow("analyze perfect") << true << "8589869056";
        QTest::newRow("analyze small") << true << "360";
        QTest::newRow("quick test cut-off") << false << "1000000000039";
        QTest::newRow("quick test factor") << false << "999962000357";
        QTest::newRow("quick test 28 digits, factor") << false << "8999190000000000000000099991";
        QTest::newRow("quick test 28 digits, cut-off") << false << "1000000000000000000000000103";
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
        QTest::mouseMove(form->lsLMO->viewport(), QPoint(5, 5));
        QCOMPARE(form->lsLMO->toolTip(), QString("Right-click to test best divisors for primality."));
        QTest::keyClick(form->lsLMO, Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("\r\n 17:  .176470588235294\r\n 7:  .428571428571429"));

        const QStringList listed = ui->results();
        rightClickRatios();
        QCOMPARE(ui->results(), listed + QStringList({"17 = 1 * 17", "7 = 1 * 7"}));
        QCOMPARE(form->Label1->text(), QString(" 2 primes in series"));
        QCOMPARE(textColor(form->Label1), QColor(255, 0, 0));
        QCOMPARE(form->Text1->text(), QString("360"));

        quickTest("2");
        form->lsLMO->addItems({" 9:  .1", " 15:  .2", " 4:  .25"});
        rightClickRatios();
        QCOMPARE(form->Label1->text(), QString("No Primes"));
        QCOMPARE(textColor(form->Label1), systemColor(COLOR_MENUTEXT));
        QCOMPARE(ui->results(), QStringList{"2 = 1 * 2"});

        // A test cut short by the Quick Test limit does not stop the next one.
        quickTest("3");
        form->lsLMO->addItems({" 1000000000039:  .1", " 7:  .2"});
        rightClickRatios();
        QCOMPARE(ui->results().last(), QString("7 = 1 * 7"));
        QCOMPARE(form->Label1->text(), QString("1 prime in list"));

        // Generator intervals hold no ":" and start no series.
        quickTest("5");
        form->lsLMO->addItems({"12 (3)", "8 (2)"});
        rightClickRatios();
        QCOMPARE(ui->results(), QStringList{"5 = 1 * 5"});

        // An empty list copies nothing.
        form->lsLMO->clear();
        QGuiApplication::clipboard()->setText("kept");
        QTest::keyClick(form->lsLMO, Qt::Key_C);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
    }
};

QTEST_MAIN(FactorAnalysisTest)
#include "tst_factor_analysis.moc"
