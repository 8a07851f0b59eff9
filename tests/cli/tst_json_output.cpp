// The JSON form of the text modes: every line parses, its fields hold
// together as arithmetic says they must and agree with the text form of the
// same report; the escaping as a real JSON parser reads it; refused entries
// named short and escaped; lists that end at the number; the status line on
// a terminal only.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>
#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/json_writer.h"
#include "generator/list_file.h"
#include "numeric/decimal_num.h"
#include "numeric/digits.h"
#include "primes/prime_source.h"
#include "support/program_run.h"

extern char **environ;

namespace {

uint128 parse(const QString &digits) { return DecimalNum::fromText(digits.toStdString()).coefficient(); }

bool isPrime(uint128 n) { return n >= 2 && primes::PrimeSource(n - 1).next() == n; }

QList<QJsonObject> jsonLines(const QByteArray &out)
{
    QList<QJsonObject> objects;
    for (const QByteArray &line : out.split('\n'))
        if (!line.isEmpty())
            objects << QJsonDocument::fromJson(line).object();
    return objects;
}

// The text form's reports, each as its lines.
QList<QStringList> textReports(const QByteArray &out)
{
    QList<QStringList> reports;
    for (const QString &report : QString::fromUtf8(out).split("\n\n", Qt::SkipEmptyParts))
        reports << report.split('\n');
    return reports;
}

// What a JSON parser makes of `json`, written back by it in its own compact
// form (python3's json module).
QByteArray parsedByPython(const QByteArray &json, const char *program)
{
    QProcess python;
    python.start("python3", {"-c", QString("import json, sys; v = json.loads(sys.stdin.buffer.read()); ") + program});
    python.write(json);
    python.closeWriteChannel();
    python.waitForFinished(-1);
    return python.exitCode() == 0 ? python.readAllStandardOutput() : "parse failed: " + python.readAllStandardError();
}

// The primes up to `n` in the list file's bounded layout, LF-ended.
QByteArray primesUpTo(uint128 n, bool json)
{
    primes::PrimeSource source(1, n);
    std::string lines;
    uint128 base = 0;
    for (uint128 prime = source.next(); prime != 0 && prime <= n; base = prime, prime = source.next()) {
        if (!json) {
            appendListLine(lines, prime, prime - base, LineLayout::Bounded, "\n");
            continue;
        }
        lines += "{\"prime\": \"";
        appendDigits(lines, prime);
        lines += "\", \"interval\": ";
        appendDigits(lines, prime - base);
        lines += "}\n";
    }
    return QByteArray::fromStdString(lines);
}

// Bytes written to the terminal by a run whose standard error is one.
QByteArray onTerminal(const QStringList &arguments)
{
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, slave, 2);
    posix_spawn_file_actions_addclose(&actions, master);
    QList<QByteArray> words{ZORVELAN_EXECUTABLE};
    for (const QString &argument : arguments)
        words << argument.toLocal8Bit();
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    QList<QByteArray> environment;
    for (const QString &entry : withoutDisplay().toStringList())
        environment << entry.toLocal8Bit();
    std::vector<char *> envp;
    for (QByteArray &entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t child = 0;
    posix_spawn(&child, ZORVELAN_EXECUTABLE, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(slave);
    QByteArray seen;
    char chunk[4096];
    for (ssize_t n; (n = read(master, chunk, sizeof chunk)) > 0;)  // EIO once the child has gone
        seen.append(chunk, n);
    close(master);
    waitpid(child, nullptr, 0);
    return seen;
}

}  // namespace

class JsonOutputTest : public QObject {
    Q_OBJECT

private slots:
    // Analyze's fields checked against each other and against arithmetic:
    // the factors are primes whose product is the number, the divisors are
    // ascending and divide it, their count and sum are those the factors
    // give; verdict and panel equal the text form's.
    void analyzeFieldsHoldTogether_data()
    {
        QTest::addColumn<QString>("number");
        for (const char *number :
             {"2", "97", "360", "6", "28", "33550336", "963761198400", "1000000000000000000000000000",
              "7922816251426433759354395033", "9999999999999999999999999999", "1200000002531510000838620587",
              "935814005850828", "58675052768669084910349246", "3576036854001997949462044301",
              "451948100736858545339819683"})
            QTest::newRow(number) << QString(number);
    }
    void analyzeFieldsHoldTogether()
    {
        QFETCH(QString, number);
        const Run json = run({"--analyze", "--json", number});
        const Run text = run({"--analyze", number});
        QCOMPARE(json.status, 0);
        const QJsonObject report = jsonLines(json.out).value(0);
        QCOMPARE(report.keys().size(), 9);
        const QStringList lines = textReports(text.out).value(0);
        QCOMPARE(report["number"].toString(), number);
        QCOMPARE(report["verdict"].toString(), lines.value(0));

        const uint128 n = parse(number);
        uint128 product = 1, total = 1, previous = 0;
        for (const QJsonValue &factor : report["factors"].toArray()) {
            const uint128 prime = parse(factor[0].toString());
            const int exponent = factor[1].toInt();
            QVERIFY(prime > previous && isPrime(prime) && exponent >= 1);
            for (int i = 0; i < exponent; ++i)
                product *= prime;
            total *= static_cast<uint128>(exponent + 1);
            previous = prime;
        }
        QVERIFY(product == n);
        QCOMPARE(report["prime"].toBool(), isPrime(n));
        QCOMPARE(report["total_divisors"].toInteger(), static_cast<qint64>(total));

        const QJsonArray divisors = report["divisors"].toArray();
        QCOMPARE(divisors.size(), report["prime"].toBool() ? 0 : static_cast<qsizetype>(total - 1));
        uint128 sum = report["prime"].toBool() ? 1 : 0;
        previous = 0;
        for (const QJsonValue &divisor : divisors) {
            const uint128 d = parse(divisor.toString());
            QVERIFY(d > previous && d < n && n % d == 0);
            sum += d;
            previous = d;
        }
        QVERIFY(parse(report["sum_of_factors"].toString()) == sum);
        QCOMPARE(report["perfect"].toBool(), sum == n);

        QStringList panel;
        for (const QJsonValue &best : report["best_nonfactors"].toArray())
            panel << " " + best["divisor"].toString() + ":  " + best["fraction"].toString();
        const qsizetype caption = lines.lastIndexOf(QRegularExpression("^Best( nonfactors)?:$"));
        QCOMPARE(panel, lines.mid(caption + 1));
    }

    // Quick Test's result line and list equal the text form's; refused
    // entries in their place.
    void quickTestEqualsTextForm()
    {
        const QStringList numbers{"2", "91", "33550336", "7922816251426433759354395033",
                                  "9999999999999999999999999999"};
        const Run json = run(QStringList{"--quick", "--json"} + numbers + QStringList{"12x"});
        const QList<QStringList> text = textReports(run(QStringList{"--quick"} + numbers).out);
        const QList<QJsonObject> reports = jsonLines(json.out);
        QCOMPARE(json.status, 1);
        QCOMPARE(reports.size(), numbers.size() + 1);
        for (int i = 0; i < numbers.size(); ++i) {
            QCOMPARE(reports[i].keys().size(), 3);
            QCOMPARE(reports[i]["number"].toString(), numbers[i]);
            QStringList results{reports[i]["verdict"].toString()};
            for (const QJsonValue &line : reports[i]["results"].toArray())
                results << line.toString();
            QCOMPARE(results, text[i]);
        }
        QCOMPARE(json.out.split('\n').value(numbers.size()),
                 QByteArray(R"({"number": "12x", "error": "Value cannot be evaluated."})"));
    }

    // Every character that JSON escapes, and some that it does not, in
    // strings and keys, through a writer of nested values; python3 reads
    // back what was written.
    void escapingReadByAParser()
    {
        std::string every;
        for (int c = 0; c < 0x80; ++c)
            every += static_cast<char>(c);
        every += "é€𝄞…";
        std::string out;
        JsonWriter json(out);
        json.beginObject();
        json.key(every).string(every);
        json.key("list").beginArray();
        json.number(9007199254740991);
        json.boolean(true);
        json.beginObject();
        json.endObject();
        json.beginArray();
        json.boolean(false);
        json.endArray();
        json.endArray();
        json.endObject();
        const QByteArray asWritten = QByteArray::fromStdString(out);
        QCOMPARE(parsedByPython(asWritten, "k = next(iter(v)); sys.stdout.buffer.write((k + v[k]).encode())"),
                 QByteArray::fromStdString(every + every));
        QCOMPARE(parsedByPython(asWritten, "print(json.dumps(v['list'], separators=(',', ':')))"),
                 QByteArray("[9007199254740991,true,{},[false]]\n"));
    }

    // jq reads every line of every kind of output, and as many lines as
    // were written.
    void jqParsesEveryLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("analyze") << QStringList{"--analyze", "--json", "360", "97", "1x", "963761198400"}
                                 << QByteArray();
        QTest::newRow("quick on standard input")
            << QStringList{"--quick", "--json"} << QByteArray("91\n\"\\\n\x01\xff\n97\n");
        QTest::newRow("generate") << QStringList{"--generate", "100000", "--json"} << QByteArray();
        QTest::newRow("generate above, no intervals")
            << QStringList{"--generate", "1000000000000", "--above", "--count", "50", "--no-intervals", "--json"}
            << QByteArray();
    }
    void jqParsesEveryLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        const QByteArray out = run(arguments, input).out;
        QProcess jq;
        jq.start("jq", {"-c", "."});
        jq.write(out);
        jq.closeWriteChannel();
        QVERIFY(jq.waitForFinished(-1));
        QCOMPARE(jq.exitCode(), 0);
        QVERIFY(out.count('\n') > 1);
        QCOMPARE(jq.readAllStandardOutput().count('\n'), out.count('\n'));
    }

    // A refused entry is named on one short line of standard error and in
    // the JSON "number": escaped where it holds a control character, a
    // backslash or bytes that are not UTF-8, and cut to 20 + 10 characters
    // past 40. It is refused as the entry box refuses it.
    void refusedEntriesNamedShort_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        const QString notANumber = "Value cannot be evaluated.";
        const QString tooLong = "Number exceeds Zorvelan's maximum (28 digits).";
        QTest::newRow("10,000 digits") << QByteArray(10000, '7') << "77777777777777777777…(9970 more)…7777777777"
                                       << tooLong;
        QTest::newRow("41 characters") << QByteArray("x1234567890123456789012345678901234567890")
                                       << "x1234567890123456789…(11 more)…1234567890" << tooLong;
        QTest::newRow("40 characters kept whole") << QByteArray(39, '1') + 'x' << QString(39, '1') + 'x' << tooLong;
        QTest::newRow("a NUL byte inside") << QByteArray("12\0003", 4) << "12\\x003" << notANumber;
        QTest::newRow("bytes that are not UTF-8") << QByteArray("\xff\xfe"
                                                                "9\xc3")
                                                  << "\\xff\\xfe9\\xc3" << notANumber;
        QTest::newRow("a backslash and a tab") << QByteArray("1\\2\t3") << "1\\\\2\\x093" << notANumber;
        QTest::newRow("45 letters of two bytes")
            << QString(45, QChar(0xe9)).toUtf8() << QString(20, QChar(0xe9)) + "…(15 more)…" + QString(10, QChar(0xe9))
            << tooLong;
    }
    void refusedEntriesNamedShort()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        const Run text = run({"--analyze"}, input + "\n");
        QCOMPARE(text.status, 1);
        QCOMPARE(QString::fromUtf8(text.err), "zorvelan: '" + shown + "': " + message + "\n");
        QCOMPARE(text.out, QByteArray());
        const Run json = run({"--quick", "--json"}, input + "\n");
        QCOMPARE(json.status, 1);
        const QJsonObject refused = jsonLines(json.out).value(0);
        QCOMPARE(refused["number"].toString(), shown);
        QCOMPARE(refused["error"].toString(), message);
        QCOMPARE(json.err, text.err);
    }

    // A list ends at the number, in both forms, also for an even number
    // whose successor is prime.
    void listEndsAtTheNumber_data()
    {
        QTest::addColumn<QString>("number");
        for (const char *number : {"3", "4", "6", "10", "30", "100", "400", "997", "1000"})
            QTest::newRow(number) << QString(number);
    }
    void listEndsAtTheNumber()
    {
        QFETCH(QString, number);
        for (const bool json : {false, true}) {
            const Run list = run(json ? QStringList{"--generate", number, "--json"}
                                      : QStringList{"--generate", number});
            QCOMPARE(list.status, 0);
            QCOMPARE(list.out, primesUpTo(parse(number), json));
        }
    }

    // The status line appears on a terminal, is rewritten in place and is
    // erased at the end; written to a pipe, standard error stays empty.
    void statusLineOnATerminalOnly()
    {
        const QStringList arguments{"--analyze", "--json", "9593805043129459383903672000"};
        const QByteArray seen = onTerminal(arguments);
        QVERIFY2(seen.startsWith("\rEvaluating: "), seen.left(80).constData());
        QVERIFY(seen.endsWith("\r\x1b[K"));
        QVERIFY(!seen.contains('\n'));
        QCOMPARE(run(arguments).err, QByteArray());
    }
};

QTEST_MAIN(JsonOutputTest)
#include "tst_json_output.moc"
