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
#include "support/program_run.h"

namespace {

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

// The list file the window writes for `number` (Generate with Ctrl).
QByteArray windowListFile(const QString &number)
{
    QTemporaryDir folder;
    FormDriver driver;
    driver.form->listFolder = folder.path();
    driver.form->openInViewer = [](const QString &) {};
    driver.form->Text1->setText(number);
    QTest::keyPress(driver.form.get(), Qt::Key_Control);
    driver.click(driver.form->cmdList);
    QFile file(folder.filePath(number + ".txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Numbers of 15 to 28 digits drawn at random once (seed 28), 14 to 20 of them composite.
const QStringList kRandomNumbers{"935814005850828",
                                 "5914826128099100",
                                 "42628631089209995",
                                 "835488252083654152",
                                 "8043496176998361510",
                                 "32337561163767069704",
                                 "291692610073676342221",
                                 "2253552405892648836069",
                                 "40403694588261536968464",
                                 "390008771397702578449036",
                                 "5065793273221172742168760",
                                 "58675052768669084910349246",
                                 "743390160831278270481732483",
                                 "7558285045820423502066970918",
                                 "3438136099371221",
                                 "3144928858053629287",
                                 "5236838206737150726444",
                                 "1127987200725637252061725",
                                 "451948100736858545339819683",
                                 "3576036854001997949462044301"};

}  // namespace

class TextModeTest : public QObject {
    Q_OBJECT

private slots:
    // Each command line printed as expected: reports equal to the window's,
    // the list file's lines with LF ends, refused entries named on standard
    // error (status 1) while the others are still done, mistakes in the
    // options (status 2), and the window with no display (status 1).
    // Numbers on standard input come with blanks around them, CR LF line
    // ends and empty lines, which are passed over.
    void printsWhatTheWindowShows_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("err");  // contained in standard error, which is empty if this is
        const auto onInput = [](const QStringList &numbers) {
            return ("\n \t" + numbers.join(" \r\n\n  ") + "\n\n").toLatin1();
        };
        const auto reports = [&](const char *tag, bool analyze, const QStringList &numbers, bool input) {
            const QString mode = analyze ? "--analyze" : "--quick";
            QTest::newRow(tag) << (input ? QStringList{mode} : QStringList{mode} + numbers)
                               << (input ? onInput(numbers) : QByteArray()) << 0 << windowReports(numbers, analyze)
                               << "";
        };
        reports("Analyze: small primes and composites", true, {"2", "97", "360", "91"}, false);
        reports("Analyze: a perfect number", true, {"33550336"}, false);
        reports("Analyze: 28 digits, prime and composites", true,
                {"7922816251426433759354395033", "9999999999999999999999999999", "1200000002531510000838620587"},
                false);
        reports("Analyze: 6720 divisors", true, {"963761198400"}, false);
        reports("Analyze: 20 numbers of 15 to 28 digits", true, kRandomNumbers, false);
        reports("Analyze: the same on standard input", true, kRandomNumbers, true);
        reports("Quick Test", false,
                {"2", "91", "33550336", "7922816251426433759354395033", "9999999999999999999999999999"}, false);
        reports("Quick Test on standard input", false, {"2", "91", "33550336"}, true);
        QTest::newRow("refused entries named, the others done")
            << QStringList{"--quick", "6", "12x", " 0042 ", "1", "7"} << QByteArray() << 1
            << windowReports({"6", "42", "7"}, false)
            << "zorvelan: '12x': Value cannot be evaluated.\nzorvelan: '1': Value cannot be evaluated.\n";

        const QString start = "1000000000000000000000000000";  // 10^27: primes proven one by one
        const auto list = [](const char *tag, const QStringList &arguments, const QByteArray &lines) {
            QTest::newRow(tag) << arguments << QByteArray() << 0 << lines << "";
        };
        list("the window's list file", {"--generate", "100000"}, windowListFile("100000").replace("\r\n", "\n"));
        list("above 10^27, 20 primes", {"--generate", start, "--above", "--count", "20"},
             listLinesAbove(start, 20, LineLayout::OpenEnded));
        list("above 2^64 - 100, no intervals, across the sieve's end",
             {"--count", "5", "--no-intervals", "--above", "--generate", "18446744073709551516"},
             listLinesAbove("18446744073709551516", 5, LineLayout::NoInterval));
        list("above 2, which asks no question with --above", {"--generate", "2", "--above", "--count", "3"},
             " 3   ;    1\n 5   ;    2\n 7   ;    2\n");
        list("up to 007 with blanks, cleaned up as in the entry box", {"--generate", " 007 "},
             " 2  ;  2\n 3  ;  1\n 5  ;  2\n 7  ;  2\n");

        const auto refused = [](const char *tag, const QStringList &arguments, int status, const QString &message) {
            QTest::newRow(tag) << arguments << QByteArray() << status << QByteArray() << message;
        };
        refused("not a number", {"--generate", "12x"}, 1, "zorvelan: '12x': Value cannot be evaluated.\n");
        refused("29 digits", {"--generate", QString(29, '9')}, 1,
                "zorvelan: '" + QString(29, '9') + "': Number exceeds Zorvelan's maximum (28 digits).\n");
        refused("2 without --above", {"--generate", "2"}, 1,
                "zorvelan: '2': Do you want to list primes beginning with 2? Add --above to list them.\n");
        refused("unknown option", {"--generate", "5", "--bogus"}, 2, "zorvelan: Unknown option 'bogus'.");
        refused("--count without --above", {"--generate", "5", "--count", "3"}, 2, "--count goes with --above");
        refused("--count 0", {"--generate", "5", "--above", "--count", "0"}, 2, "--count takes a whole number");
        refused("--above alone", {"--above", "5"}, 2, "go with --generate");
        refused("two numbers", {"--generate", "5", "7"}, 2, "--generate takes one number");
        refused("two modes", {"--analyze", "--quick", "5"}, 2, "give one of --analyze, --quick and --generate");
        refused("--no-intervals with --analyze", {"--analyze", "5", "--no-intervals"}, 2, "go with --generate");
        refused("--json without a mode", {"--json", "5"}, 2, "--json goes with --analyze, --quick or --generate");
        refused("the window, with no display", {"360"}, 1,
                "zorvelan: no display for the window: DISPLAY and WAYLAND_DISPLAY are not set.\n"
                "Without a display, --analyze, --quick and --generate give text output; see 'zorvelan --help'.\n");
    }
    void printsWhatTheWindowShows()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QString, err);
        const Run printed = run(arguments, input);
        QVERIFY2(err.isEmpty() ? printed.err.isEmpty() : QString::fromLocal8Bit(printed.err).contains(err),
                 printed.err.constData());
        QTEST(printed.status, "status");
        QTEST(printed.out, "out");
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
    // middle of an endless list, and while it waits for the next number, by
    // when the report on the last one is out whole.
    void interruptEndsAfterAWholeLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("outputBefore");  // read before Ctrl+C
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("endless list") << QStringList{"--generate", "100000000000", "--above"} << QByteArray()
                                      << QByteArray(1000000, 'x') << QByteArray(" 100000000003   ;    3\n");
        QTest::newRow("waiting for a number") << QStringList{"--quick"} << QByteArray("91\n")
                                              << windowReports({"91"}, false) << QByteArray("Certified Composite\n");
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
