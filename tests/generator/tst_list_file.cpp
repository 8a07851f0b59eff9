// Generate with Ctrl held: the list file, byte for byte, its questions, the
// viewer, and what happens when the file cannot be written.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <optional>
#include <sys/resource.h>

#include "engine/clock.h"
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

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The bounded file of the primes up to `limit`, with their intervals.
QByteArray boundedFileUpTo(std::uint64_t limit)
{
    QByteArray bytes;
    std::uint64_t previous = 0;
    for (std::uint64_t p = nextPrime(0); p <= limit; p = nextPrime(p)) {
        bytes += " " + QByteArray::number(p) + "  ;  " + QByteArray::number(p - previous) + "\r\n";
        previous = p;
    }
    return bytes;
}

// One line of an open-ended file: the prime and, unless left out, its interval.
struct Line {
    std::uint64_t prime;
    std::optional<std::uint64_t> interval;
};

// The lines of an open-ended file; an empty list if any line is malformed.
QList<Line> openEndedLines(const QByteArray &bytes)
{
    static const QRegularExpression layout(QStringLiteral("^ (\\d+)(?:   ;    (\\d+))?$"));
    QList<QByteArray> texts = bytes.split('\n');
    if (texts.takeLast() != "")
        return {};
    QList<Line> lines;
    for (const QByteArray &text : texts) {
        const auto match = layout.match(QString::fromLatin1(text.chopped(text.endsWith('\r') ? 1 : 0)));
        if (!text.endsWith('\r') || !match.hasMatch())
            return {};
        lines << Line{match.captured(1).toULongLong(), std::nullopt};
        if (match.hasCaptured(2))
            lines.last().interval = match.captured(2).toULongLong();
    }
    return lines;
}

// Lowers the largest file size this process may write, so that writing the
// list file fails as on a full disk; the limit is lifted again on leaving.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

}  // namespace

class ListFileTest : public QObject {
    Q_OBJECT

    std::unique_ptr<GenerateDriver> driver;
    std::unique_ptr<QTemporaryDir> folder;
    QStringList opened;

    Form1 &form() { return *driver->form; }
    QString pathOf(const QString &name) { return QDir(folder->path()).filePath(name); }

    void verifyNothingSaved(const QString &status)
    {
        QCOMPARE(form().Label4->text(), status);
        QVERIFY(!form().Label1->text().contains("Saved"));
        QVERIFY(opened.isEmpty());
        QVERIFY(!form().blRunning && !form().blPrint && !form().blPlus);
    }

private slots:
    void init()
    {
        const QDateTime fixed(QDate(2024, 3, 1), QTime(9, 30, 0));
        zclock::setSource([fixed] { return fixed; });
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        opened.clear();
        driver = std::make_unique<GenerateDriver>();
        form().listFolder = folder->path();
        form().openInViewer = [this](const QString &path) { opened << path; };
        QVERIFY(driver->ready());
    }
    void cleanup()
    {
        driver.reset();
        folder.reset();
        zclock::resetSource();
    }

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
        MessageBoxAnswerer answerer;
        const QString path = pathOf(number + ".txt");

        driver->generate(number, holdZ ? QList{Qt::Key_Control, Qt::Key_Z} : QList{Qt::Key_Control});

        QCOMPARE(answerer.texts(), QStringList{savingNotice(path)});
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Warning);
        QCOMPARE(contentsOf(path), contents);
        QCOMPARE(opened, QStringList{path});
        QCOMPARE(form().Label4->text(), "File " + number + ".txt saved.");
        QCOMPARE(form().Label1->text(), QString(" 5 Primes Saved"));
        QCOMPARE(form().Label13->text(), QString("Elapsed time: <1 sec"));
        QCOMPARE(form().lbLMO->text(), QString(" 11"));  // the last candidate
        QVERIFY(form().List1->count() == 0 && form().lsLMO->count() == 0);
        QVERIFY(form().lbNo->text().isEmpty() && form().lbLow->text().isEmpty());
        QVERIFY(!form().blRunning && !form().blPrint && !form().blPlus && !form().Text1->isReadOnly());
    }

    // Z held for a while in the middle of an open-ended file: those lines
    // have no interval. Releasing a key clears the Ctrl flag too, yet the run
    // goes on writing the file and ends as a file run.
    void openEndedFileWithIntervalsLeftOutMeanwhile()
    {
        MessageBoxAnswerer answerer;
        const QString path = pathOf("+10.txt");
        auto primeWritten = [this](DecimalNum after) { return [this, after] { return form().lcn > after; }; };
        driver->when(primeWritten(DecimalNum::fromInt(17)), [&] {
            QTest::keyPress(driver->form.get(), Qt::Key_Z);
            driver->when(primeWritten(form().lcn), [&] {
                QTest::keyRelease(driver->form.get(), Qt::Key_Z);
                driver->when(primeWritten(form().lcn), [&] { driver->pressEsc(); });
            });
        });

        driver->generate("10", {Qt::Key_Control, Qt::Key_Shift});

        QCOMPARE(answerer.texts(), QStringList{savingNotice(path)});
        const QByteArray bytes = contentsOf(path);
        QVERIFY(bytes.startsWith(" 11   ;    1\r\n 13   ;    2\r\n 17   ;    4\r\n"));
        const QList<Line> lines = openEndedLines(bytes);
        QVERIFY(!lines.isEmpty());
        std::uint64_t previous = 10;
        QString layouts;  // W for a line with its interval, N for one without
        for (const Line &line : lines) {
            QCOMPARE(line.prime, nextPrime(previous));
            if (line.interval)
                QCOMPARE(*line.interval, line.prime - previous);
            layouts += line.interval ? u'W' : u'N';
            previous = line.prime;
        }
        QVERIFY2(QRegularExpression("^W+N+W+$").match(layouts).hasMatch(), qPrintable(layouts.left(200)));

        QCOMPARE(form().Label4->text(), QString("File +10.txt saved."));
        QCOMPARE(form().Label1->text(), " " + QString::number(lines.size()) + " Primes Saved");
        QCOMPARE(opened, QStringList{path});
        QVERIFY(form().List1->count() == 0 && form().lbNo->text().isEmpty() && form().lbLMO->text().isEmpty());
    }

    // Letting go of Ctrl clears its flag, but the run stays a file run: the
    // panel is left alone (new largest gaps come after the release) and the
    // run ends as a saved file.
    void releasingCtrlDuringTheRunKeepsItAFileRun()
    {
        MessageBoxAnswerer answerer;
        driver->when([this] { return form().blList; },
                     [this] { QTest::keyRelease(driver->form.get(), Qt::Key_Control); });

        driver->generate("1000000", {Qt::Key_Control});

        QCOMPARE(form().Label4->text(), QString("File 1000000.txt saved."));
        QCOMPARE(form().Label1->text(), QString(" 78498 Primes Saved"));
        QVERIFY(form().lbNo->text().isEmpty() && form().lbLow->text().isEmpty());
        QCOMPARE(opened, QStringList{pathOf("1000000.txt")});
    }

    void overwriteQuestion()
    {
        const QString path = pathOf("10.txt");
        writeFile(path, "old");
        {
            MessageBoxAnswerer answerer;
            answerer.queue(QMessageBox::Cancel);
            driver->generate("10", {Qt::Key_Control});
            QCOMPARE(answerer.texts(), QStringList{kOverwriteQuestion});
            QCOMPARE(answerer.seen()[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
            QCOMPARE(contentsOf(path), QByteArray("old"));
            verifyNothingSaved("Evaluating: 0% complete.");
            QVERIFY(form().Label13->text().startsWith("Start time: "));
        }
        {
            MessageBoxAnswerer answerer;
            answerer.queue(QMessageBox::Ok);
            answerer.queue(QMessageBox::Cancel);
            driver->generate("10", {Qt::Key_Control});
            QCOMPARE(answerer.texts(), (QStringList{kOverwriteQuestion, savingNotice(path)}));
            QCOMPARE(contentsOf(path), QByteArray("old"));
            verifyNothingSaved("Saving primes to file... click Esc to stop.");
        }
        {
            MessageBoxAnswerer answerer;
            driver->generate("10", {Qt::Key_Control});
            QCOMPARE(answerer.texts(), (QStringList{kOverwriteQuestion, savingNotice(path)}));
            QCOMPARE(contentsOf(path), kFileFor10);
            QCOMPARE(opened, QStringList{path});
        }
    }

    // The file is made exactly as long as wanted while the run writes it: the
    // test writes one byte far out, beyond what the run writes at the start.
    void viewerOnlyUpToFiveMillionBytes_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("viewed");
        QTest::newRow("5000000 bytes") << qint64(5000000) << true;
        QTest::newRow("5000001 bytes") << qint64(5000001) << false;
    }
    void viewerOnlyUpToFiveMillionBytes()
    {
        QFETCH(qint64, size);
        QFETCH(bool, viewed);
        MessageBoxAnswerer answerer;
        const QString path = pathOf("+10.txt");
        driver->when([this] { return form().blList && form().lcn > DecimalNum::fromInt(17); }, [&] {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(size - 1));
            file.write("x");
            file.close();
            driver->pressEsc();
        });

        driver->generate("10", {Qt::Key_Control, Qt::Key_Shift});

        QCOMPARE(QFileInfo(path).size(), size);
        QVERIFY(contentsOf(path).startsWith(" 11   ;    1\r\n"));
        QStringList expectedMessages{savingNotice(path)};
        if (!viewed)
            expectedMessages << "File +10.txt has been saved to " + QDir::toNativeSeparators(folder->path()) +
                                    ".\r\nThis file is too large for Notepad. You should open this file using "
                                    "an advanced text editor.";
        QCOMPARE(answerer.texts(), expectedMessages);
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
        MessageBoxAnswerer answerer;
        if (room == 0)
            form().listFolder = pathOf("missing");
        const QString path = QDir(form().listFolder).filePath(number + ".txt");
        {
            std::optional<FileSizeLimit> limit;
            if (room > 0)
                limit.emplace(static_cast<rlim_t>(room));
            driver->generate(number, {Qt::Key_Control});
        }
        QCOMPARE(answerer.texts(), (QStringList{savingNotice(path), description}));
        QCOMPARE(answerer.seen()[1].icon, QMessageBox::NoIcon);
        QCOMPARE(contentsOf(path), boundedFileUpTo(number.toULongLong() + 1).left(room));
        verifyNothingSaved("Saving primes to file... click Esc to stop.");
        QVERIFY(form().lbLMO->text().trimmed().toULongLong() < 50000);  // the last candidate tried
    }

    void fileAboveTwoToThe54IsExact()
    {
        MessageBoxAnswerer answerer;
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
        MessageBoxAnswerer answerer;
        const QString path = pathOf("+10.txt");
        QByteArray atClose;
        QString lastPrime;
        driver->when([this] { return form().blList && form().lcn > DecimalNum::fromInt(1000); }, [&] {
            form().close();
            atClose = contentsOf(path);
            lastPrime = QString::fromStdString(form().lcn.trimmedText());
        });

        driver->generate("10", {Qt::Key_Control, Qt::Key_Shift});

        QCOMPARE(answerer.seen().size(), size_t(1));  // the run stopped; nothing failed
        QVERIFY(atClose.startsWith(" 11   ;    1\r\n"));
        const QList<Line> lines = openEndedLines(atClose);
        QVERIFY(!lines.isEmpty());
        QCOMPARE(QString::number(lines.last().prime), lastPrime);
    }
};

QTEST_MAIN(ListFileTest)
#include "tst_list_file.moc"
