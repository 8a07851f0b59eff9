#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QtTest>

#include "support/form_driver.h"

// The Quick Test and Analyze commands as a frame: run-state before and after
// a run, interruption, failures, and the list widths they leave.
class CommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormDriver> ui;
    Form1 *form = nullptr;

    // Idle again: a new command may start and the entry box is editable.
    void verifyIdle()
    {
        QVERIFY(!form->blRunning && !form->Text1->isReadOnly());
        QVERIFY(!form->blTest && !form->blAnalyze && !form->blEven && !form->blFactorize && !form->blExit);
    }

    // The width a list needs for its widest entry.
    int widestEntry(const ExtentListWidget *list) const
    {
        const QFontMetrics metrics(list->font());
        int widest = 0;
        for (const QString &line : FormDriver::lines(list))
            widest = std::max(widest, metrics.horizontalAdvance(line));
        return widest + form->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }

private slots:
    void init()
    {
        ui = std::make_unique<FormDriver>();
        QVERIFY(ui->ready());
        form = ui->form.get();
    }
    void cleanup() { ui.reset(); }

    // Esc during the divisor walk: the walk stops, clicks in the meantime are
    // ignored, and the window is left ready for the next command.
    void escStopsTheDivisorWalk()
    {
        ui->when([&] { return ui->results().contains("All Factors:"); },
                 [&] { ui->click(form->cmdTest); ui->click(form->cmdAnalyze); ui->pressEsc(); });
        // 2^30 * (10^15 + 37): the walk would go to about 10^12.
        ui->run(form->cmdAnalyze, "1073741824000039728447488");
        QCOMPARE(ui->results().mid(2, 3), (QStringList{"All Factors:", "1", "2"}));
        QVERIFY(!ui->results().last().startsWith("Total Divisors"));
        QCOMPARE(form->Label4->text(), QString("Process interrupted by user."));
        QVERIFY(!form->blEsc && form->isVisible());
        verifyIdle();
    }

    // Esc while a cofactor is tested: its factor line is listed as far as it
    // got, and Analyze goes no further.
    void escDuringFactorSearchEndsAnalyze()
    {
        ui->when([&] { return form->blFactorize && !form->blPrime; }, [&] { ui->pressEsc(); });
        // Should the divisor pass start all the same, stop it there too.
        ui->when([&] { return ui->results().contains("All Factors:"); }, [&] { ui->pressEsc(); });
        ui->run(form->cmdAnalyze, "200000000000000000078");  // 2 * (10^20 + 39)
        QCOMPARE(ui->results(), (QStringList{"Prime Factors:", "200000000000000000078 = 2 * 100000000000000000039"}));
        QCOMPARE(form->Label4->text(), QString("Process interrupted by user."));
        verifyIdle();
    }

    void failureIsReportedAndStateRestored()
    {
        // The entry changes under a running Analyze, before it reads the number.
        ui->when([&] { return form->blRunning; }, [&] { form->Text1->setText("abc"); });
        ui->run(form->cmdAnalyze, "360");
        QCOMPARE(ui->boxes.seen().size(), size_t(1));
        QCOMPARE(ui->boxes.seen()[0].icon, QMessageBox::NoIcon);
        QCOMPARE(ui->boxes.seen()[0].text, QString::fromUtf8(ConversionError().what()));
        QVERIFY(ui->results().isEmpty());
        verifyIdle();
    }

    // Each run leaves the window idle, focus on its own control, and each list wide enough for its entries.
    void runStateAndListWidths()
    {
        form->List1->setHorizontalExtent(999);
        form->lsLMO->setHorizontalExtent(999);
        ui->run(form->cmdTest, "9999999999999999999999999997");
        verifyIdle();
        QCOMPARE(QApplication::focusWidget(), form->cmdTest);
        QCOMPARE(form->lsLMO->horizontalExtent(), 0);
        QCOMPARE(form->List1->horizontalExtent(), widestEntry(form->List1));

        // Ctrl held at the click changes nothing for these commands.
        QTest::keyPress(form, Qt::Key_Control);
        ui->run(form->cmdAnalyze, "360");
        QTest::keyRelease(form, Qt::Key_Control);
        QCOMPARE(QApplication::focusWidget(), form->List1);
        QCOMPARE(ui->results().at(1), QString("360 = 2 * 2 * 2 * 3 * 3 * 5"));
        QVERIFY(widestEntry(form->List1) > widestEntry(form->lsLMO));
        QCOMPARE(form->List1->horizontalExtent(), widestEntry(form->List1));
        QCOMPARE(form->lsLMO->horizontalExtent(), widestEntry(form->lsLMO));
    }
};

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
