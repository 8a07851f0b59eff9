// The text modes, run as a user runs them: the built program with no display,
// its output compared with what the window shows or writes.

#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "generator/list_file.h"
#include "primes/prime_source.h"
#include "support/form_driver.h"

namespace {

struct Run {
    int status = -1;
    bool signalled = false;
    QByteArray out, err;
};

QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    return environment;
}

Run run(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess program;
    program.setProcessEnvironment(withoutDisplay());
    program.start(ZORVELAN_EXECUTABLE, arguments);
    program.write(input);
    program.closeWriteChannel();
    if (!program.waitForFinished(-1))
        return {};
    return {program.exitCode(), program.exitStatus() == QProcess::CrashExit, program.readAllStandardOutput(),
            program.readAllStandardError()};
}

uint128 parse(const QString &digits) { return DecimalNum::fromText(digits.toStdString()).coefficient(); }

// `count` lines of an open-ended list after `after`, as the list-file writer
// makes them, LF-ended.
QByteArray listLinesAbove(const QString &after, int count, LineLayout layout)
{
    uint128 base = parse(after);
    primes::PrimeSource source(base);
    std::string lines;
    for (int i = 0; i < count; ++i) {
        const uint128 prime = source.next();
        appendListLine(lines, prime, prime - base, layout, "\n");
        base = prime;
    }
    return QByteArray::fromStdString(lines);
}

// What the window shows after the command on each number, in the order the
// text modes print it, read from one window that runs them in turn.
QByteArray windowReports(const QStringList &numbers, bool analyze)
{
    FormDriver driver;
    QByteArray reports;
    for (const QString &number : numbers) {
        driver.run(analyze ? driver.form->cmdAnalyze : driver.form->cmdTest, number);
        QStringList lines{driver.form->Label1->text()};
        lines += driver.results();
        if (analyze)
            lines << driver.form->Label12->text() << driver.ratios();
        reports += (lines.join('\n') + "\n\n").toUtf8();
    }
    return reports;
}

// Numbers of 15 to 28 digits drawn at random once (seed 28), 14 to 20 of them composite.
const QStringList kRandomNumbers{
    "935814005850828", "5914826128099100", "42628631089209995", "835488252083654152",
    "8043496176998361510", "32337561163767069704", "291692610073676342221", "2253552405892648836069",
    "40403694588261536968464", "390008771397702578449036", "5065793273221172742168760",
    "58675052768669084910349246", "743390160831278270481732483", "7558285045820423502066970918",
    "3438136099371221", "3144928858053629287", "5236838206737150726444", "1127987200725637252061725",
    "451948100736858545339819683", "3576036854001997949462044301"};

}  // namespace

class TextModeTest : public QObject {
    Q_OBJECT

private slots:
    void reportsEqualTheWindow_data()
    {
        QTest::addColumn<bool>("analyze");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<bool>("onInput");
        QTest::newRow("Analyze: small primes and composites") << true << QStringList{"2", "97", "360", "91"} << false;
        QTest::newRow("Analyze: a perfect number") << true << QStringList{"33550336"} << false;
        QTest::newRow("Analyze: 28 digits, prime and composites")
            << true << QStringList{"7922816251426433759354395033", "9999999999999999999999999999", "1200000002531510000838620587"}
            << false;
        QTest::newRow("Analyze: 6720 divisors") << true << QStringList{"963761198400"} << false;
        QTest::newRow("Analyze: 20 numbers of 15 to 28 digits") << true << kRandomNumbers << false;
        QTest::newRow("Analyze: the same on standard input") << true << kRandomNumbers << true;
        QTest::newRow("Quick Test")
            << false << QStringList{"2", "91", "33550336", "7922816251426433759354395033", "9999999999999999999999999999"} << false;
        QTest::newRow("Quick Test on standard input") << false << QStringList{"2", "91", "33550336"} << true;
    }
    // Numbers on standard input come with blanks around them, CR LF line
    // ends and empty lines, which are passed over.
    void reportsEqualTheWindow()
    {
        QFETCH(bool, analyze);
        QFETCH(QStringList, numbers);
        QFETCH(bool, onInput);
        const QString mode = analyze ? "--analyze" : "--quick";
        const Run printed = onInput ? run({mode}, ("\n \t" + numbers.join(" \r\n\n  ") + "\n\n").toLatin1())
                                    : run(QStringList{mode} + numbers);
        QCOMPARE(printed.err, QByteArray());
        QCOMPARE(printed.status, 0);
        QCOMPARE(printed.out, windowReports(numbers, analyze));
    }

    // Entries the window refuses are named on standard error; the others are
    // reported all the same, in order.
    void refusedEntriesNamedOthersDone()
    {
        const Run printed = run({"--quick", "6", "12x", " 0042 ", "1", "7"});
        QCOMPARE(printed.status, 1);
        QCOMPARE(printed.err, QByteArray("zorvelan: '12x': Value cannot be evaluated.\n"
                                         "zorvelan: '1': Value cannot be evaluated.\n"));
        QCOMPARE(printed.out, windowReports({"6", "42", "7"}, false));
    }

    // The window's list file with CR LF made LF, byte for byte; the list to
    // 10^6 checked against its known count and last prime as well.
    void generateEqualsTheListFile()
    {
        QTemporaryDir folder;
        FormDriver driver;
        driver.form->listFolder = folder.path();
        driver.form->openInViewer = [](const QString &) {};
        QVERIFY(driver.ready());
        driver.form->Text1->setText("100000");
        QTest::keyPress(driver.form.get(), Qt::Key_Control);
        driver.click(driver.form->cmdList);
        QTest::keyRelease(driver.form.get(), Qt::Key_Control);
        QFile file(folder.filePath("100000.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray windowFile = file.readAll();
        QVERIFY(windowFile.endsWith(" 99991  ;  2\r\n"));

        const Run printed = run({"--generate", "100000"});
        QCOMPARE(printed.status, 0);
        QCOMPARE(printed.out, QByteArray(windowFile).replace("\r\n", "\n"));
        QCOMPARE(printed.err, QByteArray());

        const QByteArray million = run({"--generate", "1000000"}).out;
        QCOMPARE(million.count('\n'), 78498);
        QVERIFY(million.endsWith("\n 999983  ;  4\n"));
    }

    void openEndedLists_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("lines");
        const QString start = "1000000000000000000000000000";  // 10^27: primes proven one by one
        QTest::newRow("above 10^27, 20 primes")
            << QStringList{"--generate", start, "--above", "--count", "20"} << listLinesAbove(start, 20, LineLayout::OpenEnded);
        QTest::newRow("above 2^64 - 100, no intervals, across the sieve's end")
            << QStringList{"--count", "5", "--no-intervals", "--above", "--generate", "18446744073709551516"}
            << listLinesAbove("18446744073709551516", 5, LineLayout::NoInterval);
        QTest::newRow("above 2, which asks no question with --above")
            << QStringList{"--generate", "2", "--above", "--count", "3"} << QByteArray(" 3   ;    1\n 5   ;    2\n 7   ;    2\n");
        QTest::newRow("up to 007 with blanks, cleaned up as in the entry box")
            << QStringList{"--generate", " 007 "} << QByteArray(" 2  ;  2\n 3  ;  1\n 5  ;  2\n 7  ;  2\n");
    }
    void openEndedLists()
    {
        QFETCH(QStringList, arguments);
        const Run printed = run(arguments);
        QCOMPARE(printed.err, QByteArray());
        QCOMPARE(printed.status, 0);
        QTEST(printed.out, "lines");
    }

    // Refused entries get the window's message naming them (status 1); mistakes
    // in the options get status 2 and print nothing on standard output.
    void refusalsAndMistakes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a number") << QStringList{"--generate", "12x"} << 1 << "zorvelan: '12x': Value cannot be evaluated.\n";
        QTest::newRow("29 digits") << QStringList{"--generate", QString(29, '9')} << 1
                                   << "zorvelan: '" + QString(29, '9') + "': Number exceeds Zorvelan's maximum (28 digits).\n";
        QTest::newRow("2 without --above") << QStringList{"--generate", "2"} << 1
                                           << "zorvelan: '2': Do you want to list primes beginning with 2? Add --above to list them.\n";
        QTest::newRow("unknown option") << QStringList{"--generate", "5", "--bogus"} << 2 << "zorvelan: Unknown option 'bogus'.";
        QTest::newRow("--count without --above") << QStringList{"--generate", "5", "--count", "3"} << 2 << "--count goes with --above";
        QTest::newRow("--count 0") << QStringList{"--generate", "5", "--above", "--count", "0"} << 2 << "--count takes a whole number";
        QTest::newRow("--above alone") << QStringList{"--above", "5"} << 2 << "go with --generate";
        QTest::newRow("two numbers") << QStringList{"--generate", "5", "7"} << 2 << "--generate takes one number";
        QTest::newRow("two modes") << QStringList{"--analyze", "--quick", "5"} << 2 << "give one of --analyze, --quick and --generate";
        QTest::newRow("--no-intervals with --analyze") << QStringList{"--analyze", "5", "--no-intervals"} << 2 << "go with --generate";
    }
    void refusalsAndMistakes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run printed = run(arguments);
        QTEST(printed.status, "status");
        QVERIFY2(QString::fromLocal8Bit(printed.err).contains(message),
                 printed.err.constData());
        QCOMPARE(printed.out, QByteArray());
    }

    // Each report is printed as soon as it is done, while the next number is
    // still to come.
    void reportsComeAsNumbersArrive()
    {
        const QStringList numbers{"91", "97"};
        QByteArrayList reports;
        for (const QString &number : numbers)
            reports << windowReports({number}, true);
        QProcess program;
        program.setProcessEnvironment(withoutDisplay());
        program.start(ZORVELAN_EXECUTABLE, {"--analyze"});
        for (int i = 0; i < numbers.size(); ++i) {
            program.write(numbers[i].toLatin1() + "\n");
            QByteArray out;  // a report held back until the input ends never comes
            while (out.size() < reports[i].size() && program.waitForReadyRead(60000))
                out += program.readAllStandardOutput();
            QCOMPARE(out, reports[i]);
        }
        program.closeWriteChannel();
        QVERIFY(program.waitForFinished(-1));
        QCOMPARE(program.exitCode(), 0);
    }

    // A reader that stops early (| head -n 2) ends the list quietly.
    void closedPipeEndsQuietly()
    {
        QProcess program, head;
        program.setProcessEnvironment(withoutDisplay());
        program.setStandardOutputProcess(&head);
        head.start("head", {"-n", "2"});
        program.start(ZORVELAN_EXECUTABLE, {"--generate", "1000000000"});
        QVERIFY(head.waitForFinished(-1) && program.waitForFinished(-1));
        QCOMPARE(head.readAllStandardOutput(), QByteArray(" 2  ;  2\n 3  ;  1\n"));
        QCOMPARE(program.readAllStandardError(), QByteArray());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    // Ctrl+C ends the program as the signal does, never inside a line: in the
    // middle of an endless list, and while it waits for the next number.
    void interruptEndsAfterAWholeLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("outputBefore");  // read before Ctrl+C
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("endless list") << QStringList{"--generate", "100000000000", "--above"} << QByteArray()
                                      << QByteArray(1000000, 'x') << QByteArray(" 100000000003   ;    3\n");
        QTest::newRow("waiting for a number") << QStringList{"--quick"} << QByteArray("91\n")
                                              << QByteArray("Certified Composite\nFactor found: 7\nClick Analyze for prime factors\n\n")
                                              << QByteArray("Certified Composite\n");
    }
    void interruptEndsAfterAWholeLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, outputBefore);
        QFETCH(QByteArray, start);
        QProcess program;
        program.setProcessEnvironment(withoutDisplay());
        program.start(ZORVELAN_EXECUTABLE, arguments);
        program.write(input);
        QByteArray out;
        while (out.size() < outputBefore.size() && program.waitForReadyRead(-1))
            out += program.readAllStandardOutput();
        ::kill(static_cast<pid_t>(program.processId()), SIGINT);
        QVERIFY(program.waitForFinished(-1));
        out += program.readAllStandardOutput();
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        QVERIFY(out.endsWith('\n') && out.startsWith(start));
        if (!input.isEmpty())
            QCOMPARE(out, outputBefore);
    }
};

QTEST_MAIN(TextModeTest)
#include "tst_text_mode.moc"
