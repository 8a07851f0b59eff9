// Generate shown in the window: bounded and open-ended lists with their
// interval panel, the entry-2 question, and the results list's keys and mouse.

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

#include "generate_driving.h"

namespace {

QString confirmAbove(const QString &n) { return "Primes greater than " + n + " will be generated until you press Esc."; }
const QString kEntryTwoQuestion = QStringLiteral(
    "Do you want to list primes beginning with 2?\r\nNext time, press the Shift key when you click this button.");

void rightClick(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualItemRect(list->item(row)).center());
}

QString clipboardText() { return QGuiApplication::clipboard()->text(); }

}  // namespace

class GenerateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<GenerateDriver> driver;
    Form1 &form() { return *driver->form; }
    QStringList clipboardAndEntry() { return {clipboardText(), form().Text1->text()}; }

    void escWhenListHolds(int entries)
    {
        driver->when([this, entries] { return form().blList && form().List1->count() >= entries; },
                     [this] { driver->pressEsc(); });
    }
    void verifyIdleAfterRun()
    {
        QVERIFY(!form().blRunning && !form().blList && !form().blPrint && !form().blPlus && !form().blEsc);
        QVERIFY(!form().Text1->isReadOnly());
    }

private slots:
    void init()
    {
        driver = std::make_unique<GenerateDriver>();
        QVERIFY(driver->ready());
    }
    void cleanup() { driver.reset(); }

    void boundedListWithItsPanel_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("gaps");
        QTest::addColumn<QStringList>("panel");  // largest gap, the prime ending it, smallest gap
        QTest::newRow("3") << "3" << QStringList{"2", "1"} << QStringList{" 2", " 2", " 2"};
        QTest::newRow("10") << "10" << QStringList{"2", "1", "2", "2"} << QStringList{" 2", " 2", " 2"};
        // The gap of 6 before 29 is never shown: no candidate is tested after it.
        QTest::newRow("30") << "30" << QStringList{"2", "1", "2", "2", "4", "2", "4", "2", "4", "6"}
                            << QStringList{" 4", " 11", " 2"};
    }
    void boundedListWithItsPanel()
    {
        QFETCH(QString, number);
        QFETCH(QStringList, gaps);
        QFETCH(QStringList, panel);

        driver->generate(number);

        QVERIFY(driver->boxes.seen().empty());
        QCOMPARE(driver->results(), primesAfter(0, gaps.size()).first);
        QCOMPARE(driver->ratios(), gaps);
        QCOMPARE(form().List1->currentRow(), gaps.size() - 1);
        QCOMPARE((QStringList{form().lbNo->text(), form().lbLMO->text(), form().lbLow->text()}), panel);
        QCOMPARE(form().Label4->text(), QString("Generating primes complete."));
        verifyIdleAfterRun();
    }

    void openEndedListRunsUntilEsc_data()
    {
        QTest::addColumn<QString>("number");
        for (const char *number : {"2", "10", "11"})
            QTest::newRow(number) << QString(number);
    }
    void openEndedListRunsUntilEsc()
    {
        QFETCH(QString, number);
        escWhenListHolds(5);

        driver->generate(number, {Qt::Key_Shift});

        QCOMPARE(driver->boxes.texts(), QStringList{confirmAbove(number)});
        QVERIFY(driver->results().size() >= 5);
        const auto [primes, gaps] = primesAfter(number.toULongLong(), driver->results().size());
        QCOMPARE(driver->results(), primes);
        QCOMPARE(driver->ratios(), gaps);
        // "Smallest:" keeps the first gap; "Largest:" a listed gap and the prime ending it.
        QCOMPARE(form().lbLow->text(), " " + gaps[0]);
        const qsizetype row = primes.indexOf(form().lbLMO->text().trimmed());
        QVERIFY2(row >= 0, qPrintable(form().lbLMO->text()));
        QCOMPARE(form().lbNo->text(), " " + gaps[row]);
        QCOMPARE(form().Label4->text(), QString("Process interrupted by user."));
        verifyIdleAfterRun();
    }

    void entryTwoAsksWhetherToListFromTwo()
    {
        MessageBoxAnswerer &boxes = driver->boxes;
        driver->generate("10");
        form().Text1->setText("2");
        const QStringList before{driver->results().join(","), form().Label4->text()};

        boxes.queue(QMessageBox::Cancel);  // Cancel: nothing changes.
        driver->click(form().cmdList);
        QCOMPARE(boxes.texts(), QStringList{kEntryTwoQuestion});
        QCOMPARE(boxes.seen()[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE((QStringList{driver->results().join(","), form().Label4->text()}), before);

        escWhenListHolds(3);  // OK: the primes above 2, after the usual confirmation.
        driver->click(form().cmdList);
        QCOMPARE(boxes.texts().mid(1), (QStringList{kEntryTwoQuestion, confirmAbove("2")}));
        QCOMPARE(driver->results().mid(0, 3), (QStringList{"3", "5", "7"}));
        QCOMPARE(driver->ratios().mid(0, 3), (QStringList{"1", "2", "2"}));
        verifyIdleAfterRun();
    }

    // Beyond 2^53 a double no longer holds every whole number; the list must stay exact.
    void listsExactPrimesAboveTwoToThe54()
    {
        escWhenListHolds(3);
        driver->generate("18014398509481984", {Qt::Key_Shift});
        QCOMPARE(driver->results().mid(0, 3),
                 (QStringList{"18014398509482143", "18014398509482147", "18014398509482171"}));
        QCOMPARE(driver->ratios().mid(0, 3), (QStringList{"159", "4", "24"}));
        QCOMPARE(form().lbLow->text(), QString(" 159"));
    }

    void resultsListKeysAndMouse()
    {
        QListWidget *list = form().List1;
        QGuiApplication::clipboard()->setText("kept");
        form().Text1->setText("5");
        for (Qt::Key key : {Qt::Key_C, Qt::Key_F, Qt::Key_P})  // an empty list: nothing happens
            QTest::keyClick(list, key);
        QCOMPARE(clipboardAndEntry(), (QStringList{"kept", "5"}));

        list->addItems({"91 = 7 * 13", "Prime Factors:", "97", "Sum of Factors: 21"});
        // Ctrl+C copies the whole list like C, not the current entry.
        list->setCurrentRow(2);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboardText(), QString("\r\n91 = 7 * 13\r\nPrime Factors:\r\n97\r\nSum of Factors: 21"));

        // F copies the factors of the current entry, P carries its number into the entry box.
        struct Step { Qt::Key key; int row; QStringList after; };
        for (const Step &step : {Step{Qt::Key_F, 0, {"7 * 13", "5"}}, Step{Qt::Key_F, 2, {"97", "5"}},
                                 Step{Qt::Key_P, 1, {"97", "5"}}, Step{Qt::Key_P, 0, {"97", "91"}}}) {
            list->setCurrentRow(step.row);
            QTest::keyClick(list, step.key);
            QCOMPARE(clipboardAndEntry(), step.after);
        }

        list->setCurrentRow(3);  // A right-click takes the selected entry, wherever it lands.
        rightClick(list, 0);
        QCOMPARE(form().Text1->text(), QString("Sum of Factors: 21"));
    }


    // During a run C copies what is listed so far, P carries a listed prime
    // into the entry box, and a right-click or another click does nothing.
    void resultsListDuringARun()
    {
        QString copied, selected, entryAfterClicks;
        driver->when([this] { return form().blList && form().List1->count() >= 5 &&
                                     !form().List1->selectedItems().isEmpty(); },
                     [&] {
                         QTest::keyClick(form().List1, Qt::Key_C);
                         copied = clipboardText();
                         rightClick(form().List1, 0);
                         driver->click(form().cmdList);
                         entryAfterClicks = form().Text1->text();
                         selected = form().List1->selectedItems().first()->text();
                         QTest::keyClick(form().List1, Qt::Key_P);
                         QTest::keyClick(form().List1, Qt::Key_Escape);
                     });

        driver->generate("10", {Qt::Key_Shift});

        QCOMPARE(driver->boxes.texts(), QStringList{confirmAbove("10")});
        QCOMPARE(entryAfterClicks, QString("10"));
        QVERIFY(copied.startsWith("\r\n11\r\n13\r\n17\r\n19\r\n23"));
        const QStringList copiedEntries = copied.mid(2).split("\r\n");
        QCOMPARE(driver->results().mid(0, copiedEntries.size()), copiedEntries);
        QVERIFY(driver->results().contains(selected));
        QCOMPARE(form().Text1->text(), selected);
        QCOMPARE(form().Label4->text(), QString("Process interrupted by user."));
    }
};

QTEST_MAIN(GenerateTest)
#include "tst_generate.moc"
