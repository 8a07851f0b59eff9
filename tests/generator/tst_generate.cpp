// Generate: shown lists with their interval panel and progress, the list
// file byte for byte with its questions, viewer and failures, the entry-2
// question, and the results list's keys and mouse, also during a run.

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

#include "generator/exact_text.h"
#include "generator/prime_run.h"
#include "primes/prime_source.h"
#include "support/form_driver.h"

namespace {

using Lines = QStringList;
QString confirmAbove(const QString &n) { return "Primes greater than " + n + " will be generated until you press Esc."; }
const QString kEntryTwoQuestion = QStringLiteral(
    "Do you want to list primes beginning with 2?\r\nNext time, press the Shift key when you click this button.");
const QString kOverwriteQuestion = QStringLiteral("This file already exists. Do you want to overwrite it?");
const QByteArray kFileFor10 = " 2  ;  2\r\n 3  ;  1\r\n 5  ;  2\r\n 7  ;  2\r\n 11  ;  4\r\n";
// Above 2^40 every prime is proven one by one: slow enough for a test to act
// between two of the window's event pumps.
const QString kProvenStart = QStringLiteral("18014398509481984");  // 2^54

QString savingNotice(const QString &path)
{
    return "All data will be saved to " + QDir::toNativeSeparators(path) +
           ".\r\nDuring this time, the user interface will show minimal data to maximize performance."
           "\r\n(You can minimize the program.)\r\nTo stop and save the file, press the Esc key at any time.";
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The `count` primes after `base` and the distance of each from the one before.
std::pair<Lines, Lines> primesAfter(const QString &base, qsizetype count)
{
    uint128 previous = entryNumber(base);
    primes::PrimeSource source(previous);
    Lines primes, intervals;
    for (uint128 p = source.next(); primes.size() < count; previous = p, p = source.next())
        primes << digitsText(p), intervals << digitsText(p - previous);
    return {primes, intervals};
}

// An open-ended file above `base`: W for each line with its interval, N for
// one without, or "" at the first line that is not the next prime.
QString openEndedLayout(const QByteArray &bytes, const QString &base)
{
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    const auto [primes, intervals] = primesAfter(base, lines.size());
    QString layout;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray bare = " " + primes[i].toLatin1();
        layout += lines[i] == bare + "\r" ? "N" : lines[i] == bare + "   ;    " + intervals[i].toLatin1() + "\r" ? "W" : "?";
    }
    return bytes.endsWith("\r\n") && !layout.contains('?') ? layout : QString();
}

void rightClick(QListWidget *list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->visualItemRect(list->item(row)).center());
}

QString clipboardText() { return QGuiApplication::clipboard()->text(); }

}  // namespace

class GenerateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormDriver> driver;
    std::unique_ptr<QTemporaryDir> folder;
    QStringList opened;

    Form1 &form() { return *driver->form; }
    QString pathOf(const QString &name) { return QDir(folder->path()).filePath(name); }
    Lines clipboardAndEntry() { return {clipboardText(), form().Text1->text()}; }
    Lines panel() { return {form().lbNo->text(), form().lbLMO->text(), form().lbLow->text()}; }
    auto primeAfter(DecimalNum after) { return [this, after] { return form().blList && form().lcn > after; }; }

    // Types the number and clicks Generate with the keys held, released after the run.
    void generate(const QString &number, const QList<Qt::Key> &held = {})
    {
        form().Text1->setText(number);
        for (Qt::Key key : held)
            QTest::keyPress(driver->form.get(), key);
        driver->click(form().cmdList);
        for (Qt::Key key : held)
            QTest::keyRelease(driver->form.get(), key);
    }
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
        folder = std::make_unique<QTemporaryDir>();
        opened.clear();
        driver = std::make_unique<FormDriver>();
        form().listFolder = folder->path();
        form().openInViewer = [this](const QString &path) { opened << path; };
        QVERIFY(folder->isValid() && driver->ready());
    }
    void cleanup() { driver.reset(); folder.reset(); }

    // The panel shows a new largest interval only once a later candidate is
    // tested; progress counts candidates, so its last count may miss the last primes.
    void boundedListWithItsPanel_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("primes");
        QTest::addColumn<Lines>("panel");  // largest interval, the prime ending it, smallest
        QTest::addColumn<QString>("count");
        QTest::newRow("3") << "3" << 2 << Lines{" 2", " 2", " 2"} << "";
        QTest::newRow("10") << "10" << 4 << Lines{" 2", " 2", " 2"} << "";
        QTest::newRow("30: 6 at 29 never shown") << "30" << 10 << Lines{" 4", " 11", " 2"} << "";
        QTest::newRow("31: 6 at 29 shown") << "31" << 11 << Lines{" 6", " 29", " 2"} << "";
        QTest::newRow("2000: counted at 1999") << "2000" << 303 << Lines{" 34", " 1361", " 2"} << " 303 Primes ";
        QTest::newRow("1009: counted at 999") << "1009" << 169 << Lines{" 20", " 907", " 2"} << " 168 Primes ";
    }
    void boundedListWithItsPanel()
    {
        QFETCH(QString, number);
        QFETCH(int, primes);
        generate(number);
        QVERIFY(driver->boxes.seen().empty());
        const auto [expected, intervals] = primesAfter("1", primes);
        QCOMPARE(driver->results(), expected);
        QCOMPARE(driver->ratios(), Lines{"2"} + intervals.mid(1));
        QCOMPARE(form().List1->currentRow(), primes - 1);
        QTEST(panel(), "panel");
        QTEST(form().Label1->text(), "count");
        QCOMPARE(form().Label4->text(), QString("Generating primes complete."));
        verifyIdleAfterRun();
    }

    // Shown open-ended lists, exact beyond 2^53 and 2^64; Esc keeps what is listed.
    void openEndedListRunsUntilEsc_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<Lines>("first");  // the first three primes with their intervals
        QTest::newRow("2") << "2" << Lines{"3", "5", "7", "1", "2", "2"};
        QTest::newRow("10") << "10" << Lines{"11", "13", "17", "1", "2", "4"};
        QTest::newRow("11") << "11" << Lines{"13", "17", "19", "2", "4", "2"};
        QTest::newRow("2^54") << kProvenStart
                              << Lines{"18014398509482143", "18014398509482147", "18014398509482171", "159", "4", "24"};
        QTest::newRow("10^27") << "1000000000000000000000000000"
                               << Lines{"1000000000000000000000000103", "1000000000000000000000000279",
                                        "1000000000000000000000000283", "103", "176", "4"};
        QTest::newRow("largest entry") << "9999999999999999999999999999"
                                       << Lines{"10000000000000000000000000331", "10000000000000000000000000457",
                                                "10000000000000000000000000469", "332", "126", "12"};
    }
    void openEndedListRunsUntilEsc()
    {
        QFETCH(QString, number);
        QFETCH(Lines, first);
        escWhenListHolds(3);
        generate(number, {Qt::Key_Shift});
        QCOMPARE(driver->boxes.texts(), Lines{confirmAbove(number)});
        const auto [primes, intervals] = primesAfter(number, driver->results().size());
        QCOMPARE(driver->results(), primes);
        QCOMPARE(driver->ratios(), intervals);
        QCOMPARE(primes.mid(0, 3) + intervals.mid(0, 3), first);
        // "Smallest:" keeps the first interval; "Largest:" a listed interval and the prime ending it.
        const qsizetype row = primes.indexOf(form().lbLMO->text().trimmed());
        QVERIFY2(row >= 0, qPrintable(form().lbLMO->text()));
        QCOMPARE(panel(), (Lines{" " + intervals[row], form().lbLMO->text(), " " + first[3]}));
        QCOMPARE(form().Label4->text(), QString("Process interrupted by user."));
        verifyIdleAfterRun();
    }

    void entryTwoAsksWhetherToListFromTwo()
    {
        MessageBoxAnswerer &boxes = driver->boxes;
        generate("10");
        form().Text1->setText("2");
        const Lines before{driver->results().join(","), form().Label4->text()};
        boxes.queue(QMessageBox::Cancel);  // Cancel: nothing changes.
        driver->click(form().cmdList);
        QCOMPARE(boxes.texts(), Lines{kEntryTwoQuestion});
        QCOMPARE(boxes.seen()[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE((Lines{driver->results().join(","), form().Label4->text()}), before);
        escWhenListHolds(3);  // OK: the primes above 2, after the usual confirmation.
        driver->click(form().cmdList);
        QCOMPARE(boxes.texts().mid(1), (Lines{kEntryTwoQuestion, confirmAbove("2")}));
        QCOMPARE(driver->results().mid(0, 3) + driver->ratios().mid(0, 3), (Lines{"3", "5", "7", "1", "2", "2"}));
        verifyIdleAfterRun();
    }

    void resultsListKeysAndMouse()
    {
        QListWidget *list = form().List1;
        QGuiApplication::clipboard()->setText("kept");
        form().Text1->setText("5");
        for (Qt::Key key : {Qt::Key_C, Qt::Key_F, Qt::Key_P})  // an empty list: nothing happens
            QTest::keyClick(list, key);
        QCOMPARE(clipboardAndEntry(), (Lines{"kept", "5"}));
        list->addItems({"91 = 7 * 13", "Prime Factors:", "97", "Sum of Factors: 21"});
        list->setCurrentRow(2);  // Ctrl+C copies the whole list like C, not the current entry.
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboardText(), QString("\r\n91 = 7 * 13\r\nPrime Factors:\r\n97\r\nSum of Factors: 21"));
        // F copies the factors of the current entry, P carries its number into the entry box.
        struct Step { Qt::Key key; int row; Lines after; };
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
        driver->when([this] { return form().blList && form().List1->count() >= 5 && !form().List1->selectedItems().isEmpty(); },
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
        generate("10", {Qt::Key_Shift});
        QCOMPARE(driver->boxes.texts(), Lines{confirmAbove("10")});
        QCOMPARE(entryAfterClicks, QString("10"));
        QVERIFY(copied.startsWith("\r\n11\r\n13\r\n17\r\n19\r\n23"));
        const Lines copiedEntries = copied.mid(2).split("\r\n");
        QCOMPARE(driver->results().mid(0, copiedEntries.size()), copiedEntries);
        QVERIFY(driver->results().contains(selected));
        QCOMPARE(form().Text1->text(), selected);
        QCOMPARE(form().Label4->text(), QString("Process interrupted by user."));
    }

    void boundedFile_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("holdZ");
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("10") << "10" << false << kFileFor10;  // an even entry takes the limit one higher
        QTest::newRow("11") << "11" << false << kFileFor10;
        QTest::newRow("10 with Z") << "10" << true << QByteArray(" 2\r\n 3\r\n 5\r\n 7\r\n 11\r\n");
    }
    void boundedFile()
    {
        QFETCH(QString, number);
        QFETCH(bool, holdZ);
        const QString path = pathOf(number + ".txt");
        generate(number, holdZ ? QList{Qt::Key_Control, Qt::Key_Z} : QList{Qt::Key_Control});
        QCOMPARE(driver->boxes.texts(), Lines{savingNotice(path)});
        QTEST(contentsOf(path), "contents");
        QCOMPARE(opened, Lines{path});
        QCOMPARE((Lines{form().Label4->text(), form().Label1->text(), form().lbLMO->text()}),
                 (Lines{"File " + number + ".txt saved.", " 5 Primes Saved", " 11"}));  // the last candidate
        QVERIFY(form().List1->count() == 0 && form().lbNo->text().isEmpty() && !form().blRunning);
    }

    // Z held for a while in the middle of an open-ended file: those lines have
    // no interval. Releasing a key clears the Ctrl flag too, yet the run goes
    // on as a file run. Whenever events run, the file already holds every
    // prime found; after Esc it holds every prime counted, in order.
    void openEndedFileKeepsEveryLine()
    {
        const QString path = pathOf("+" + kProvenStart + ".txt");
        QList<bool> wholeAtPump;
        const auto noteFileAtPump = [&] {
            const QList<QByteArray> lines = contentsOf(path).split('\n');
            wholeAtPump << (lines.size() > 1 && lines.back().isEmpty() &&
                            lines[lines.size() - 2].trimmed().split(' ')[0] == QByteArray::fromStdString(form().lcn.trimmedText()));
        };
        driver->when(primeAfter(DecimalNum::fromText(kProvenStart.toStdString())), [&] {
            noteFileAtPump();
            QTest::keyPress(driver->form.get(), Qt::Key_Z);
            driver->when(primeAfter(form().lcn), [&] {
                noteFileAtPump();
                QTest::keyRelease(driver->form.get(), Qt::Key_Z);
                driver->when(primeAfter(form().lcn), [&] { noteFileAtPump(), driver->pressEsc(); });
            });
        });
        generate(kProvenStart, {Qt::Key_Control, Qt::Key_Shift});
        QCOMPARE(driver->boxes.texts(), Lines{savingNotice(path)});
        const QString layout = openEndedLayout(contentsOf(path), kProvenStart);
        QVERIFY2(QRegularExpression("^W+N+W+$").match(layout).hasMatch(), qPrintable(layout.left(200)));
        QCOMPARE(form().Label1->text(), " " + QString::number(layout.size()) + " Primes Saved");
        QCOMPARE(form().Label4->text(), "File +" + kProvenStart + ".txt saved.");
        QCOMPARE(wholeAtPump, (QList<bool>{true, true, true}));
    }

    void overwriteQuestion()
    {
        const QString path = pathOf("10.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3 && old.flush());
        MessageBoxAnswerer &boxes = driver->boxes;
        boxes.queue(QMessageBox::Cancel);
        generate("10", {Qt::Key_Control});
        QCOMPARE(boxes.texts(), Lines{kOverwriteQuestion});
        QCOMPARE(boxes.seen()[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(contentsOf(path) == "old" && opened.isEmpty());
        generate("10", {Qt::Key_Control});
        QCOMPARE(boxes.texts().mid(1), (Lines{kOverwriteQuestion, savingNotice(path)}));
        QCOMPARE(contentsOf(path), kFileFor10);
        QCOMPARE(opened, Lines{path});
    }

    // The file is made exactly as long as wanted while the run writes it: the
    // test writes one byte far out, beyond what the run writes at the start.
    void viewerOnlyUpToFiveMillionBytes_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("5000000 bytes") << qint64(5000000);
        QTest::newRow("5000001 bytes") << qint64(5000001);
    }
    void viewerOnlyUpToFiveMillionBytes()
    {
        QFETCH(qint64, size);
        const QString name = "+" + kProvenStart + ".txt";
        driver->when(primeAfter(DecimalNum::fromText(kProvenStart.toStdString())), [&] {
            QFile file(pathOf(name));
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(size - 1) && file.write("x") == 1);
            file.close();
            driver->pressEsc();
        });
        generate(kProvenStart, {Qt::Key_Control, Qt::Key_Shift});
        QCOMPARE(QFileInfo(pathOf(name)).size(), size);
        const QString tooLarge = "File " + name + " has been saved to " + QDir::toNativeSeparators(folder->path()) +
                                 ".\r\nThis file is too large for Notepad. You should open this file using an advanced text editor.";
        QCOMPARE(driver->boxes.texts().mid(1), (size <= 5000000 ? Lines{} : Lines{tooLarge}));
        QCOMPARE(opened, (size <= 5000000 ? Lines{pathOf(name)} : Lines{}));
    }

    // A full disk mid-run is reported with the system's description; the run
    // stops at the failure and what reached the disk stays.
    void writeFailureIsReported()
    {
        const QString path = pathOf("100000.txt");
        // A lowered limit on the size of files this process writes fails the
        // write as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit lowered{4096, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lowered);
        generate("100000", {Qt::Key_Control});
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(driver->boxes.texts(), (Lines{savingNotice(path), "File too large"}));
        QCOMPARE(driver->boxes.seen()[1].icon, QMessageBox::NoIcon);
        QVERIFY(contentsOf(path).size() == 4096 && contentsOf(path).startsWith(kFileFor10));
        QCOMPARE(form().Label4->text(), QString("Saving primes to file... click Esc to stop."));
        QVERIFY(!form().Label1->text().contains("Saved") && opened.isEmpty() && !form().blRunning);
        const qulonglong shown = form().lbLMO->text().trimmed().toULongLong();  // the candidate that failed
        QVERIFY2(shown > 300 && shown < 100000, qPrintable(form().lbLMO->text()));
    }
};

QTEST_MAIN(GenerateTest)
#include "tst_generate.moc"
