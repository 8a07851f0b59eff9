// Generate with Ctrl held: the list file, byte for byte, its questions, the
// viewer, and what happens when the file cannot be written.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

#include "generate_driving.h"

namespace {

const QString kOverwriteQuestion = QStringLiteral("This file already exists. Do you want to overwrite it?");
const QByteArray kFileFor10 = " 2  ;  2\r\n 3  ;  1\r\n 5  ;  2\r\n 7  ;  2\r\n 11  ;  4\r\n";

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

// Checks an open-ended file of the primes after `base`, line by line; returns
// W for each line with its interval and N for one without, or "" if a line is wrong.
QString openEndedLayout(const QByteArray &bytes, std::uint64_t base)
{
    QString layout;
    if (!bytes.endsWith("\r\n"))
        return {};
    for (const QByteArray &line : bytes.chopped(1).split('\n')) {
        const std::uint64_t prime = nextPrime(base);
        const QByteArray bare = " " + QByteArray::number(prime);
        if (line == bare + "\r")
            layout += u'N';
        else if (line == bare + "   ;    " + QByteArray::number(prime - base) + "\r")
            layout += u'W';
        else
            return {};
        base = prime;
    }
    return layout;
}

}  // namespace

class ListFileTest : public QObject {
    Q_OBJECT

    std::unique_ptr<GenerateDriver> driver;
    std::unique_ptr<QTemporaryDir> folder;
    QStringList opened;

    Form1 &form() { return *driver->form; }
    QString pathOf(const QString &name) { return QDir(folder->path()).filePath(name); }
    auto primeWrittenAfter(DecimalNum after) { return [this, after] { return form().blList && form().lcn > after; }; }

    void verifyNothingSaved(const QString &status)
    {
        QCOMPARE(form().Label4->text(), status);
        QVERIFY(!form().Label1->text().contains("Saved") && opened.isEmpty());
        QVERIFY(!form().blRunning && !form().blPrint && !form().blPlus);
    }

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        opened.clear();
        driver = std::make_unique<GenerateDriver>();
        form().listFolder = folder->path();
        form().openInViewer = [this](const QString &path) { opened << path; };
        QVERIFY(folder->isValid() && driver->ready());
    }
    void cleanup() { driver.reset(); folder.reset(); }

    void boundedFile_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("holdZ");
        QTest::addColumn<QByteArray>("contents");
        // An even entry takes the limit one higher.
        QTest::newRow("10") << "10" << false << kFileFor10;
        QTest::newRow("11") << "11" << false << kFileFor10;
        QTest::newRow("10 with Z") << "10" << true << QByteArray(" 2\r\n 3\r\n 5\r\n 7\r\n 11\r\n");
    }
    void boundedFile()
    {
        QFETCH(QString, number);
        QFETCH(bool, holdZ);
        QFETCH(QByteArray, contents);
        const QString path = pathOf(number + ".txt");

        driver->generate(number, holdZ ? QList{Qt::Key_Control, Qt::Key_Z} : QList{Qt::Key_Control});

        QCOMPARE(driver->boxes.texts(), QStringList{savingNotice(path)});
        QCOMPARE(driver->boxes.seen()[0].icon, QMessageBox::Warning);
        QCOMPARE(contentsOf(path), contents);
        QCOMPARE(opened, QStringList{path});
        QCOMPARE((QStringList{form().Label4->text(), form().Label1->text(), form().lbLMO->text()}),
                 (QStringList{"File " + number + ".txt saved.", " 5 Primes Saved", " 11"}));  // the last candidate
        QVERIFY(form().List1->count() == 0 && form().lsLMO->count() == 0 && form().lbNo->text().isEmpty() &&
                form().lbLow->text().isEmpty());
        QVERIFY(!form().blRunning && !form().blPrint && !form().blPlus && !form().Text1->isReadOnly());
    }

    // Z held for a while in the middle of an open-ended file: those lines
    // have no interval. Releasing a key clears the Ctrl flag too, yet the run
    // goes on writing the file and ends as a file run.
    void openEndedFileWithIntervalsLeftOutMeanwhile()
    {
        const QString path = pathOf("+10.txt");
        driver->when(primeWrittenAfter(DecimalNum::fromInt(17)), [&] {
            QTest::keyPress(driver->form.get(), Qt::Key_Z);
            driver->when(primeWrittenAfter(form().lcn), [&] {
                QTest::keyRelease(driver->form.get(), Qt::Key_Z);
                driver->when(primeWrittenAfter(form().lcn), [&] { driver->pressEsc(); });
            });
        });

        driver->generate("10", {Qt::Key_Control, Qt::Key_Shift});

        QCOMPARE(driver->boxes.texts(), QStringList{savingNotice(path)});
        const QByteArray bytes = contentsOf(path);
        QVERIFY(bytes.startsWith(" 11   ;    1\r\n 13   ;    2\r\n 17   ;    4\r\n"));
        const QString layout = openEndedLayout(bytes, 10);
        QVERIFY2(QRegularExpression("^W+N+W+$").match(layout).hasMatch(), qPrintable(layout.left(200)));
        QCOMPARE(form().Label4->text(), QString("File +10.txt saved."));
        QCOMPARE(form().Label1->text(), " " + QString::number(layout.size()) + " Primes Saved");
        QCOMPARE(opened, QStringList{path});
        QVERIFY(form().List1->count() == 0 && form().lbNo->text().isEmpty() && form().lbLMO->text().isEmpty());
    }

    void overwriteQuestion()
    {
        const QString path = pathOf("10.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3 && old.flush());
        MessageBoxAnswerer &boxes = driver->boxes;

        boxes.queue(QMessageBox::Cancel);
        driver->generate("10", {Qt::Key_Control});
        QCOMPARE(boxes.texts(), QStringList{kOverwriteQuestion});
        QCOMPARE(boxes.seen()[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(contentsOf(path), QByteArray("old"));
        verifyNothingSaved("Evaluating: 0% complete.");

        boxes.queue(QMessageBox::Ok);  // Cancel on the notice that follows: still nothing written.
        boxes.queue(QMessageBox::Cancel);
        driver->generate("10", {Qt::Key_Control});
        QCOMPARE(boxes.texts().mid(1), (QStringList{kOverwriteQuestion, savingNotice(path)}));
        QCOMPARE(contentsOf(path), QByteArray("old"));
        verifyNothingSaved("Saving primes to file... click Esc to stop.");

        driver->generate("10", {Qt::Key_Control});
        QCOMPARE(boxes.texts().mid(3), (QStringList{kOverwriteQuestion, savingNotice(path)}));
        QCOMPARE(contentsOf(path), kFileFor10);
        QCOMPARE(opened, QStringList{path});
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
        const QString path = pathOf("+10.txt");
        driver->when(primeWrittenAfter(DecimalNum::fromInt(17)), [&] {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(size - 1) && file.write("x") == 1);
            file.close();
            driver->pressEsc();
        });

        driver->generate("10", {Qt::Key_Control, Qt::Key_Shift});

        QCOMPARE(QFileInfo(path).size(), size);
        const bool viewed = size <= 5000000;
        QStringList expectedMessages{savingNotice(path)};
        if (!viewed)
            expectedMessages << "File +10.txt has been saved to " + QDir::toNativeSeparators(folder->path()) +
                                    ".\r\nThis file is too large for Notepad. You should open this file using "
                                    "an advanced text editor.";
        QCOMPARE(driver->boxes.texts(), expectedMessages);
        QCOMPARE(opened, viewed ? QStringList{path} : QStringList{});
    }

    // Reported with the system's description; the run stops at the failure
    // and what reached the disk stays.
    void writeFailureIsReported_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("room");  // bytes the file may take; 0: its folder is missing
        QTest::addColumn<QString>("description");
        QTest::newRow("folder missing") << "10" << 0 << "No such file or directory";
        QTest::newRow("disk full at the close") << "10" << 30 << "File too large";
        QTest::newRow("disk full mid-run") << "100000" << 4096 << "File too large";
    }
    void writeFailureIsReported()
    {
        QFETCH(QString, number);
        QFETCH(int, room);
        QFETCH(QString, description);
        if (room == 0)
            form().listFolder = pathOf("missing");
        const QString path = QDir(form().listFolder).filePath(number + ".txt");
        // A lowered limit on the size of files this process writes fails the
        // write as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit lowered{room > 0 ? static_cast<rlim_t>(room) : saved.rlim_cur, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lowered);
        driver->generate(number, {Qt::Key_Control});
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(driver->boxes.texts(), (QStringList{savingNotice(path), description}));
        QCOMPARE(driver->boxes.seen()[1].icon, QMessageBox::NoIcon);
        QByteArray bounded;  // the whole file the run would have written
        for (std::uint64_t p = 2, previous = 0; p <= number.toULongLong() + 1; previous = p, p = nextPrime(p))
            bounded += " " + QByteArray::number(p) + "  ;  " + QByteArray::number(p - previous) + "\r\n";
        QCOMPARE(contentsOf(path), bounded.left(room));
        verifyNothingSaved("Saving primes to file... click Esc to stop.");
        QVERIFY(form().lbLMO->text().trimmed().toULongLong() < 50000);  // the last candidate tried
    }

    void fileAboveTwoToThe54IsExact()
    {
        const DecimalNum third = DecimalNum::fromText("18014398509482171");
        driver->when([&] { return form().blList && form().lcn >= third; }, [&] { driver->pressEsc(); });

        driver->generate("18014398509481984", {Qt::Key_Control, Qt::Key_Shift});

        QVERIFY(contentsOf(pathOf("+18014398509481984.txt"))
                    .startsWith(" 18014398509482143   ;    159\r\n 18014398509482147   ;    4\r\n"
                                " 18014398509482171   ;    24\r\n"));
        QCOMPARE(form().Label4->text(), QString("File +18014398509481984.txt saved."));
    }

    // Closing the window ends the program at once; the file keeps every
    // prime written up to then.
    void closingTheWindowKeepsTheLinesWritten()
    {
        QByteArray atClose;
        QString lastPrime;
        driver->when(primeWrittenAfter(DecimalNum::fromInt(1000)), [&] {
            form().close();
            atClose = contentsOf(pathOf("+10.txt"));
            lastPrime = QString::fromStdString(form().lcn.trimmedText());
        });

        driver->generate("10", {Qt::Key_Control, Qt::Key_Shift});

        QCOMPARE(driver->boxes.seen().size(), size_t(1));  // the run stopped; nothing failed
        QVERIFY(openEndedLayout(atClose, 10).startsWith("WWW"));  // every line whole
        QVERIFY2(atClose.contains("\n " + lastPrime.toLatin1() + "   ;    "), qPrintable(lastPrime));
    }
};

QTEST_MAIN(ListFileTest)
#include "tst_list_file.moc"
