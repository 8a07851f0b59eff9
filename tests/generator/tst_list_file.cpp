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
        QCOMPARE(contentsOf(path), contents);
        QCOMPARE(opened, QStringList{path});
        QCOMPARE((QStringList{form().Label4->text(), form().Label1->text(), form().lbLMO->text()}),
                 (QStringList{"File " + number + ".txt saved.", " 5 Primes Saved", " 11"}));  // the last candidate
        QVERIFY(form().List1->count() == 0 && form().lbNo->text().isEmpty() && !form().blRunning);
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
        const QString layout = openEndedLayout(contentsOf(path), 10);
        QVERIFY2(QRegularExpression("^W+N+W+$").match(layout).hasMatch(), qPrintable(layout.left(200)));
        QCOMPARE(form().Label1->text(), " " + QString::number(layout.size()) + " Primes Saved");
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
        QVERIFY(contentsOf(path) == "old" && opened.isEmpty());

        driver->generate("10", {Qt::Key_Control});
        QCOMPARE(boxes.texts().mid(1), (QStringList{kOverwriteQuestion, savingNotice(path)}));
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
        const QString tooLarge = "File +10.txt has been saved to " + QDir::toNativeSeparators(folder->path()) +
                                 ".\r\nThis file is too large for Notepad. You should open this file using "
                                 "an advanced text editor.";
        QCOMPARE(driver->boxes.texts(), (size <= 5000000 ? QStringList{savingNotice(path)}
                                                         : QStringList{savingNotice(path), tooLarge}));
        QCOMPARE(opened, (size <= 5000000 ? QStringList{path} : QStringList{}));
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
        driver->generate("100000", {Qt::Key_Control});
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(driver->boxes.texts(), (QStringList{savingNotice(path), "File too large"}));
        QCOMPARE(driver->boxes.seen()[1].icon, QMessageBox::NoIcon);
        QVERIFY(contentsOf(path).size() == 4096 && contentsOf(path).startsWith(kFileFor10));
        QCOMPARE(form().Label4->text(), QString("Saving primes to file... click Esc to stop."));
        QVERIFY(!form().Label1->text().contains("Saved") && opened.isEmpty() && !form().blRunning);
        QVERIFY(form().lbLMO->text().trimmed().toULongLong() < 50000);  // the last candidate tried
    }

    void fileAboveTwoToThe54IsExact()
    {
        driver->when([&] { return form().blList && form().lcn >= DecimalNum::fromText("18014398509482171"); },
                     [&] { driver->pressEsc(); });

        driver->generate("18014398509481984", {Qt::Key_Control, Qt::Key_Shift});

        QVERIFY(contentsOf(pathOf("+18014398509481984.txt"))
                    .startsWith(" 18014398509482143   ;    159\r\n 18014398509482147   ;    4\r\n"
                                " 18014398509482171   ;    24\r\n"));
        QCOMPARE(form().Label4->text(), QString("File +18014398509481984.txt saved."));
    }
};

QTEST_MAIN(ListFileTest)
#include "tst_list_file.moc"
