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
QString confirmAbove(const QString &n)
{
    return "Primes greater than " + n + " will be generated until you press Esc.";
}
const QString kEntryTwoQuestion = QStringLiteral(
    "Do you want to list primes beginning with 2?\r\nNext time, press the Shift key when you click this button.");
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
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "";
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
// one without, ? for one that is not the next prime; ? too for a last line
// left without its line break.
QString openEndedLayout(const QByteArray &bytes, const QString &base)
{
    const QList<QByteArray> lines = bytes.split('\n');
    const auto [primes, intervals] = primesAfter(base, lines.size() - 1);
    QString layout = lines.back().isEmpty() ? "" : "?";
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray bare = " " + primes[i].toLatin1();
        layout += lines[i] == bare + "\r"                                          ? "N"
                  : lines[i] == bare + "   ;    " + intervals[i].toLatin1() + "\r" ? "W"
                                                                                   : "?";
    }
    return layout;
}

// The primes after `base` up to `last`, and the distance of each from the one before.
std::pair<Lines, Lines> primesAfterUpTo(const QString &base, const QString &last)
{
    uint128 previous = entryNumber(base);
    primes::PrimeSource source(previous);
    Lines primes, intervals;
    for (uint128 p = source.next(); p <= entryNumber(last); previous = p, p = source.next())
        primes << digitsText(p), intervals << digitsText(p - previous);
    return {primes, intervals};
}

QString clipboardText() { return QGuiApplication::clipboard()->text(); }
void rightClickFirst(LineListView *list)
{
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, FormDriver::rowCenter(list, 0));
}

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
    auto primeAfter(DecimalNum after)
    {
        return [this, after] { return form().blList && form().lcn > after; };
    }

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
    bool idleAfterRun()
    {
        return !(form().blRunning || form().blList || form().blPrint || form().blPlus || form().blEsc ||
                 form().Text1->isReadOnly());
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

    // The panel shows a new largest interval only once a later candidate is
    // tested (30 never shows 6 at 29, 31 does); progress counts candidates, so
    // its last count may miss the last primes (1009 counts at 999, 2000 at 1999).
    void boundedListWithItsPanel_data()
    {
        QTest::addColumn<int>("primes");
        QTest::addColumn<Lines>("panel");  // largest interval, the prime ending it, smallest; the count
        QTest::newRow("3") << 2 << Lines{" 2", " 2", " 2", ""};
        QTest::newRow("30") << 10 << Lines{" 4", " 11", " 2", ""};
        QTest::newRow("31") << 11 << Lines{" 6", " 29", " 2", ""};
        QTest::newRow("2000") << 303 << Lines{" 34", " 1361", " 2", " 303 Primes "};
        QTest::newRow("1009") << 169 << Lines{" 20", " 907", " 2", " 168 Primes "};
    }
    void boundedListWithItsPanel()
    {
        QFETCH(int, primes);
        generate(QTest::currentDataTag());
        const auto [expected, intervals] = primesAfter("1", primes);
        QCOMPARE(driver->boxes.texts() + driver->results() + driver->ratios(),
                 expected + Lines{"2"} + intervals.mid(1));
        QTEST(panel() << form().Label1->text(), "panel");
        QCOMPARE(form().Label4->text(), QString("Generating primes complete."));
        QVERIFY(form().List1->currentRow() == primes - 1 && idleAfterRun());
    }

    // Shown open-ended lists, exact beyond 2^53 and 2^64. During the run C
    // copies what is listed so far, P carries a listed prime into the entry
    // box, a right-click or another click does nothing; Esc keeps what is listed.
    void openEndedListRunsUntilEsc_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("shift");  // without Shift, entry 2 asks first
        for (const QString &number :
             Lines{"2", "10", "11", kProvenStart, "1000000000000000000000000000", "9999999999999999999999999999"})
            QTest::newRow(qPrintable(number)) << number << true;
        QTest::newRow("2, OK to the question") << "2" << false;
    }
    void openEndedListRunsUntilEsc()
    {
        QFETCH(QString, number);
        QFETCH(bool, shift);
        LineListView *list = form().List1;
        QString copied, selected, entryAfterClicks;
        driver->when([&] { return form().blList && list->model()->rowCount() >= 3; },
                     [&] {
                         QTest::keyClick(list, Qt::Key_C);
                         copied = clipboardText();
                         rightClickFirst(list);
                         driver->click(form().cmdList);
                         entryAfterClicks = form().Text1->text();
                         QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
                         selected = list->selectedLine().value_or("");
                         QTest::keyClick(list, Qt::Key_P);
                         driver->pressEsc();
                     });
        generate(number, shift ? QList{Qt::Key_Shift} : QList<Qt::Key>{});
        QCOMPARE(driver->boxes.texts() << entryAfterClicks, (shift ? Lines{} : Lines{kEntryTwoQuestion})
                                                                << confirmAbove(number) << number);
        // Both lists hold consecutive primes and their intervals; each is
        // emptied whenever it passes 32000 lines.
        const auto [primes, intervals] = primesAfterUpTo(number, driver->results().back());
        const qsizetype listedFrom = primes.size() - driver->results().size();
        QCOMPARE(driver->results() + driver->ratios(), primes.mid(listedFrom) + intervals.mid(listedFrom));
        QCOMPARE(listedFrom % 32001, 0);
        QVERIFY(("\r\n" + primes.join("\r\n") + "\r\n").contains(copied + "\r\n"));
        QVERIFY(primes.contains(selected) && form().Text1->text() == selected);
        // "Smallest:" keeps the first interval; "Largest:" an interval of the run and the prime ending it.
        const qsizetype row = std::max<qsizetype>(0, primes.indexOf(form().lbLMO->text().trimmed()));
        QCOMPARE(panel() << form().Label4->text(),
                 (Lines{" " + intervals[row], " " + primes[row], " " + intervals[0], "Process interrupted by user."}));
        QVERIFY(idleAfterRun());
    }

    // On an empty list C does nothing. Ctrl+C copies the whole list like C,
    // not the current entry; F copies the factors of the current entry, P
    // carries its number into the entry box. A right-click takes the selected
    // entry, wherever it lands.
    void resultsListKeysAndMouse()
    {
        LineListView *list = form().List1;
        QGuiApplication::clipboard()->setText("kept");
        form().Text1->setText("5");
        struct Step {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int row;
            Lines after;
        };
        const QString whole = "\r\n91 = 7 * 13\r\nPrime Factors:\r\n97\r\nSum of Factors: 21";
        for (const Step &step :
             {Step{Qt::Key_C, {}, -1, {"kept", "5"}}, Step{Qt::Key_C, Qt::ControlModifier, 2, {whole, "5"}},
              Step{Qt::Key_F, {}, 0, {"7 * 13", "5"}}, Step{Qt::Key_F, {}, 2, {"97", "5"}},
              Step{Qt::Key_P, {}, 1, {"97", "5"}}, Step{Qt::Key_P, {}, 0, {"97", "91"}}}) {
            if (step.row >= 0 && list->count() == 0)
                FormDriver::fill(list, {"91 = 7 * 13", "Prime Factors:", "97", "Sum of Factors: 21"});
            list->setCurrentRow(step.row);
            QTest::keyClick(list, step.key, step.modifiers);
            QCOMPARE(clipboardAndEntry(), step.after);
        }
        list->setCurrentRow(3);
        rightClickFirst(list);
        QCOMPARE(form().Text1->text(), QString("Sum of Factors: 21"));
    }

    void boundedFile_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("holdZ");
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("11") << "11" << false << kFileFor10;
        QTest::newRow("10 with Z") << "10" << true << QByteArray(" 2\r\n 3\r\n 5\r\n 7\r\n 11\r\n");  // 10 takes 11 in
    }
    void boundedFile()
    {
        QFETCH(QString, number);
        QFETCH(bool, holdZ);
        const QString path = pathOf(number + ".txt");
        generate(number, holdZ ? QList{Qt::Key_Control, Qt::Key_Z} : QList{Qt::Key_Control});
        QCOMPARE(driver->boxes.texts() << opened, (Lines{savingNotice(path), path}));
        QTEST(contentsOf(path), "contents");
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
        std::function<void()> pressZReleaseZEsc = [&] {
            const QByteArray bytes = contentsOf(path);  // its last line the last prime found
            wholeAtPump << (bytes.endsWith("\r\n") &&
                            bytes.chopped(2).split('\n').back().split(' ').value(1).toStdString() ==
                                form().lcn.trimmedText());
            if (wholeAtPump.size() == 3)
                return driver->pressEsc();
            QTest::keyEvent(wholeAtPump.size() == 1 ? QTest::Press : QTest::Release, driver->form.get(), Qt::Key_Z);
            driver->when(primeAfter(form().lcn), pressZReleaseZEsc);
        };
        driver->when(primeAfter(DecimalNum::fromText(kProvenStart.toStdString())), pressZReleaseZEsc);
        generate(kProvenStart, {Qt::Key_Control, Qt::Key_Shift});
        QCOMPARE(driver->boxes.texts(), Lines{savingNotice(path)});
        const QString layout = openEndedLayout(contentsOf(path), kProvenStart);
        QVERIFY2(QRegularExpression("^W+N+W+$").match(layout).hasMatch(), qPrintable(layout.left(200)));
        QCOMPARE(
            (Lines{form().Label1->text(), form().Label4->text()}),
            (Lines{" " + QString::number(layout.size()) + " Primes Saved", "File +" + kProvenStart + ".txt saved."}));
        QCOMPARE(wholeAtPump, (QList<bool>{true, true, true}));
    }

    // Cancel to the entry-2 question leaves the list as it was; Cancel to
    // overwriting a file leaves the file, OK overwrites it.
    void questionsBeforeARun()
    {
        const QString path = pathOf("10.txt"), overwrite = "This file already exists. Do you want to overwrite it?";
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3 && old.flush());
        generate("30");
        form().Text1->setText("2");  // editing the entry clears the status line
        const Lines before = driver->results() << form().Label4->text();
        driver->boxes.queue(QMessageBox::Cancel), driver->boxes.queue(QMessageBox::Cancel);
        generate("2");
        QCOMPARE(driver->results() << form().Label4->text(), before);
        generate("10", {Qt::Key_Control});
        QCOMPARE(driver->boxes.texts() << contentsOf(path) << opened, (Lines{kEntryTwoQuestion, overwrite, "old"}));
        for (const auto &box : driver->boxes.seen())
            QCOMPARE(box.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        generate("10", {Qt::Key_Control});
        QCOMPARE(driver->boxes.texts().mid(2) << contentsOf(path) << opened,
                 (Lines{overwrite, savingNotice(path), kFileFor10, path}));
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
            driver->pressEsc();
        });
        generate(kProvenStart, {Qt::Key_Control, Qt::Key_Shift});
        QCOMPARE(QFileInfo(pathOf(name)).size(), size);
        const QString tooLarge =
            "File " + name + " has been saved to " + QDir::toNativeSeparators(folder->path()) +
            ".\r\nThis file is too large for Notepad. You should open this file using an advanced text editor.";
        QCOMPARE(driver->boxes.texts().mid(1) << opened, Lines{size <= 5000000 ? pathOf(name) : tooLarge});
    }

    // A full disk mid-run is reported with the system's description; the run
    // stops at the failure and what reached the disk stays.
    void writeFailureIsReported()
    {
        const QString path = pathOf("100000.txt");
        // A lowered limit on the size of files this process writes fails the
        // write as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{}, lowered{4096, 0};
        getrlimit(RLIMIT_FSIZE, &saved);
        setrlimit(RLIMIT_FSIZE, (lowered.rlim_max = saved.rlim_max, &lowered));
        generate("100000", {Qt::Key_Control});
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(driver->boxes.texts() << opened << form().Label4->text(),
                 (Lines{savingNotice(path), "File too large", "Saving primes to file... click Esc to stop."}));
        QVERIFY(contentsOf(path).size() == 4096 && contentsOf(path).startsWith(kFileFor10));
        QVERIFY(!form().Label1->text().contains("Saved") && !form().blRunning &&
                driver->boxes.seen()[1].icon == QMessageBox::NoIcon);
        const qulonglong shown = form().lbLMO->text().trimmed().toULongLong();  // the candidate that failed
        QVERIFY2(shown > 300 && shown < 100000, qPrintable(form().lbLMO->text()));
    }
};

QTEST_MAIN(GenerateTest)
#include "tst_generate.moc"
