// Generate shown in the window: bounded and open-ended lists with their
// interval panel, the entry-2 question, and the results list's keys and mouse.

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QtTest>

#include "engine/clock.h"
#include "generate_driving.h"
#include "generator/results_list_text.h"
#include "ui/extent_list.h"

namespace {

const QString kConfirmAbove10 = QStringLiteral("Primes greater than 10 will be generated until you press Esc.");
const QString kEntryTwoQuestion = QStringLiteral(
    "Do you want to list primes beginning with 2?\r\nNext time, press the Shift key when you click this button.");

void rightClick(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualItemRect(list->item(row)).center());
}

void moveMouseOver(QListWidget *list)
{
    const QPoint at(5, 5);
    QMouseEvent move(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &move);
}

QString clipboardText() { return QGuiApplication::clipboard()->text(); }

}  // namespace

class GenerateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<GenerateDriver> driver;
    Form1 &form() { return *driver->form; }
    QStringList list1() { return GenerateDriver::lines(form().List1); }
    QStringList intervals() { return GenerateDriver::lines(form().lsLMO); }

    void escWhenListHolds(int entries)
    {
        driver->when([this, entries] { return form().blList && form().List1->count() >= entries; },
                     [this] { driver->pressEsc(); });
    }

    void verifyIdleAfterRun()
    {
        QVERIFY(!form().blRunning && !form().blList && !form().blPrimeList);
        QVERIFY(!form().blPrint && !form().blPlus && !form().blEsc);
        QVERIFY(!form().Text1->isReadOnly());
    }

private slots:
    void init()
    {
        const QDateTime fixed(QDate(2024, 3, 1), QTime(9, 30, 0));
        zclock::setSource([fixed] { return fixed; });
        driver = std::make_unique<GenerateDriver>();
        QVERIFY(driver->ready());
    }
    void cleanup()
    {
        driver.reset();
        zclock::resetSource();
    }

    void boundedListWithItsPanel_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("primes");
        QTest::addColumn<QStringList>("gaps");
        QTest::addColumn<QString>("largest");
        QTest::addColumn<QString>("largestAt");
        QTest::newRow("3") << "3" << QStringList{"2", "3"} << QStringList{"2", "1"} << " 2" << " 2";
        QTest::newRow("10") << "10" << QStringList{"2", "3", "5", "7"} << QStringList{"2", "1", "2", "2"} << " 2"
                            << " 2";
        // The gap of 6 before 29 is never shown: no candidate is tested after it.
        QTest::newRow("30") << "30" << QStringList{"2", "3", "5", "7", "11", "13", "17", "19", "23", "29"}
                            << QStringList{"2", "1", "2", "2", "4", "2", "4", "2", "4", "6"} << " 4" << " 11";
    }
    void boundedListWithItsPanel()
    {
        QFETCH(QString, number);
        QFETCH(QStringList, primes);
        QFETCH(QStringList, gaps);
        QFETCH(QString, largest);
        QFETCH(QString, largestAt);
        MessageBoxAnswerer answerer;

        driver->generate(number);

        QVERIFY(answerer.seen().empty());
        QCOMPARE(list1(), primes);
        QCOMPARE(intervals(), gaps);
        QCOMPARE(form().List1->currentRow(), primes.size() - 1);
        QCOMPARE(form().lbNo->text(), largest);
        QCOMPARE(form().lbLMO->text(), largestAt);
        QCOMPARE(form().lbLow->text(), QString(" 2"));
        QCOMPARE(form().Frame1->title(), QString("Intervals"));
        QCOMPARE(form().Label12->text(), QString("Largest:"));
        QVERIFY(form().lbCR->isHidden() && !form().Label14->isHidden() && !form().lbLow->isHidden());
        QCOMPARE(form().lbNo->x(), 56);
        QCOMPARE(form().Label4->text(), QString("Generating primes complete."));
        QCOMPARE(form().Label13->text(), QString("Elapsed time: <1 sec"));
        verifyIdleAfterRun();
    }

    void openEndedListRunsUntilEsc_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("firstPrimes");
        QTest::addColumn<QStringList>("firstGaps");
        QTest::newRow("2") << "2" << QStringList{"3", "5", "7"} << QStringList{"1", "2", "2"};
        QTest::newRow("10") << "10" << QStringList{"11", "13", "17", "19"} << QStringList{"1", "2", "4", "2"};
        QTest::newRow("11") << "11" << QStringList{"13", "17", "19"} << QStringList{"2", "4", "2"};
    }
    void openEndedListRunsUntilEsc()
    {
        QFETCH(QString, number);
        QFETCH(QStringList, firstPrimes);
        QFETCH(QStringList, firstGaps);
        MessageBoxAnswerer answerer;
        escWhenListHolds(5);

        driver->generate(number, {Qt::Key_Shift});

        QCOMPARE(answerer.texts(),
                 QStringList{"Primes greater than " + number + " will be generated until you press Esc."});
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Warning);
        QCOMPARE(answerer.seen()[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(form().List1->count() >= 5);
        QCOMPARE(list1().mid(0, firstPrimes.size()), firstPrimes);
        QCOMPARE(intervals().mid(0, firstGaps.size()), firstGaps);
        const PrimeList expected = primesAfter(number.toULongLong(), list1().size());
        QCOMPARE(list1(), expected.primes);
        QCOMPARE(intervals(), expected.intervals);

        // "Smallest:" keeps the first gap; "Largest:" shows a listed gap and
        // the prime that ends it.
        QCOMPARE(form().lbLow->text(), " " + firstGaps[0]);
        const qsizetype row = list1().indexOf(form().lbLMO->text().trimmed());
        QVERIFY2(row >= 0, qPrintable(form().lbLMO->text()));
        QCOMPARE(form().lbNo->text(), " " + intervals()[row]);

        QCOMPARE(form().Label4->text(), QString("Process interrupted by user."));
        verifyIdleAfterRun();
    }

    void entryTwoAsksWhetherToListFromTwo()
    {
        driver->generate("10");
        form().Text1->setText("2");
        const QStringList listBefore = list1();
        const QString statusBefore = form().Label4->text();

        {   // Cancel: nothing changes.
            MessageBoxAnswerer answerer;
            answerer.queue(QMessageBox::Cancel);
            driver->click(form().cmdList);
            QCOMPARE(answerer.texts(), QStringList{kEntryTwoQuestion});
            QCOMPARE(answerer.seen()[0].icon, QMessageBox::Warning);
            QCOMPARE(answerer.seen()[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
            QCOMPARE(list1(), listBefore);
            QCOMPARE(form().Label4->text(), statusBefore);
            QVERIFY(!form().blRunning && !form().Text1->isReadOnly());
        }
        {   // OK: the primes above 2, after the usual confirmation.
            MessageBoxAnswerer answerer;
            escWhenListHolds(3);
            driver->click(form().cmdList);
            QCOMPARE(answerer.texts(), (QStringList{kEntryTwoQuestion,
                                                    "Primes greater than 2 will be generated until you press Esc."}));
            QCOMPARE(list1().mid(0, 3), (QStringList{"3", "5", "7"}));
            QCOMPARE(intervals().mid(0, 3), (QStringList{"1", "2", "2"}));
            verifyIdleAfterRun();
        }
        {   // Cancel on the confirmation that follows: nothing is listed.
            MessageBoxAnswerer answerer;
            answerer.queue(QMessageBox::Ok);
            answerer.queue(QMessageBox::Cancel);
            driver->click(form().cmdList);
            QCOMPARE(answerer.seen().size(), size_t(2));
            QVERIFY(list1().isEmpty() && intervals().isEmpty());
            QCOMPARE(form().Label4->text(), QString("Evaluating: 0% complete."));
            QVERIFY(form().Label13->text().startsWith("Start time: "));
        }
        {   // Without keys after those runs: an ordinary bounded list again.
            MessageBoxAnswerer answerer;
            driver->generate("3");
            QVERIFY(answerer.seen().empty());
            QCOMPARE(list1(), (QStringList{"2", "3"}));
        }
    }

    // Beyond 2^53 a double no longer holds every whole number; the list must
    // stay exact.
    void listsExactPrimesAboveTwoToThe54()
    {
        MessageBoxAnswerer answerer;
        escWhenListHolds(3);

        driver->generate("18014398509481984", {Qt::Key_Shift});

        QCOMPARE(list1().mid(0, 3), (QStringList{"18014398509482143", "18014398509482147", "18014398509482171"}));
        QCOMPARE(intervals().mid(0, 3), (QStringList{"159", "4", "24"}));
        QCOMPARE(form().lbLow->text(), QString(" 159"));
    }

    // The 32001st prime (376133) empties both lists; 376147 then stands alone
    // and the selection no longer follows the count.
    void listsAreEmptiedPast32000Entries()
    {
        driver->generate("376147");

        QCOMPARE(list1(), QStringList{"376147"});
        QCOMPARE(intervals(), QStringList{"14"});
        QCOMPARE(form().List1->currentRow(), 0);
        QVERIFY(form().lsLMO->selectedItems().isEmpty());
    }

    void resultsListKeysAndMouse()
    {
        QListWidget *list = form().List1;
        moveMouseOver(list);
        QVERIFY(list->toolTip().isEmpty());
        QGuiApplication::clipboard()->setText("kept");
        form().Text1->setText("5");
        for (Qt::Key key : {Qt::Key_C, Qt::Key_F, Qt::Key_P})
            QTest::keyClick(list, key);
        QCOMPARE(clipboardText(), QString("kept"));
        QCOMPARE(form().Text1->text(), QString("5"));

        list->addItems({"91 = 7 * 13", "Prime Factors:", "97", "Sum of Factors: 21"});
        moveMouseOver(list);
        QCOMPARE(list->toolTip(), results_list::kHint);
        // Ctrl+C copies the whole list like C, not the list box's current entry.
        list->setCurrentRow(2);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboardText(), QString("\r\n91 = 7 * 13\r\nPrime Factors:\r\n97\r\nSum of Factors: 21"));

        auto keyOnRow = [list](Qt::Key key, int row) {
            list->setCurrentRow(row);
            QTest::keyClick(list, key);
        };
        keyOnRow(Qt::Key_F, 0);
        QCOMPARE(clipboardText(), QString("7 * 13"));
        keyOnRow(Qt::Key_F, 2);
        QCOMPARE(clipboardText(), QString("97"));
        keyOnRow(Qt::Key_P, 1);
        QCOMPARE(form().Text1->text(), QString("5"));
        keyOnRow(Qt::Key_P, 0);
        QCOMPARE(form().Text1->text(), QString("91"));

        // A right-click takes the selected entry, wherever it lands.
        list->setCurrentRow(0);
        rightClick(list, 3);
        QCOMPARE(form().Text1->text(), QString("91"));
        QCOMPARE(list->currentRow(), 0);
        list->setCurrentRow(3);
        rightClick(list, 0);
        QCOMPARE(form().Text1->text(), QString("Sum of Factors: 21"));

        list->clear();
        moveMouseOver(list);
        QCOMPARE(list->toolTip(), results_list::kHint);
    }

    // During a run C copies what is listed so far, P carries a listed prime
    // into the entry box, and a right-click or another click does nothing.
    void resultsListDuringARun()
    {
        MessageBoxAnswerer answerer;
        QString copied;
        QString selected;
        QString entryAfterClicks;
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

        QCOMPARE(answerer.texts(), QStringList{kConfirmAbove10});
        QCOMPARE(entryAfterClicks, QString("10"));
        QVERIFY(copied.startsWith("\r\n11\r\n13\r\n17\r\n19\r\n23"));
        const QStringList copiedEntries = copied.mid(2).split("\r\n");
        QCOMPARE(list1().mid(0, copiedEntries.size()), copiedEntries);
        QVERIFY(list1().contains(selected));
        QCOMPARE(form().Text1->text(), selected);
        QCOMPARE(form().Label4->text(), QString("Process interrupted by user."));
    }
};

QTEST_MAIN(GenerateTest)
#include "tst_generate.moc"
