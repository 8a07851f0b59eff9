// Proven primes on the command line: (a) --generate 10^27 --above --count
// 2000 against PARI/GP's nextprime chain over the same primes (probable
// primes, no proof; skipped without gp), and the default thread count
// against ZORVELAN_THREADS=1; (b) primes per second from 10^19 to near
// 10^28. Wall-clock times with the programs' start, best of several rounds
// taken in turns, as other programs share the machine.

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include "bench.h"

namespace {

const QString k1e27 = QStringLiteral("1000000000000000000000000000");
const QString kNear1e28 = QStringLiteral("9999999999999999999999999000");
constexpr int kRounds = 5;

struct Output {
    double seconds = 0;
    QStringList numbers;  // the first field of each line
};

Output run(const QString &program, const QStringList &arguments, const QByteArray &input = {},
           const QString &threads = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    if (!threads.isEmpty())
        environment.insert(QStringLiteral("ZORVELAN_THREADS"), threads);
    process.setProcessEnvironment(environment);
    const auto start = bench::Clock::now();
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    Output output{bench::secondsSince(start), {}};
    for (const QByteArray &line : process.readAllStandardOutput().split('\n'))
        if (const QByteArray field = line.trimmed().split(' ').value(0); !field.isEmpty())
            output.numbers << QString::fromLatin1(field);
    return output;
}

Output generate(const QString &after, int count, const QString &threads = {})
{
    return run(QStringLiteral(ZORVELAN_EXECUTABLE),
               {QStringLiteral("--generate"), after, QStringLiteral("--above"), QStringLiteral("--count"),
                QString::number(count)},
               {}, threads);
}

// The chain p = nextprime(p + 1) from `after`, printed one prime a line.
Output gpChain(const QString &gp, const QString &after, int count)
{
    const QByteArray script = "p=" + after.toLatin1() + ";for(i=1," + QByteArray::number(count) +
                              ",p=nextprime(p+1);print(p));quit\n";
    return run(gp, {QStringLiteral("-q"), QStringLiteral("-f")}, script);
}

double best(const std::function<Output()> &measure, int rounds)
{
    return bench::bestOfRounds({[&] { return measure().seconds; }}, rounds)[0];
}

void provenSection()
{
    const QString gp = QStandardPaths::findExecutable(QStringLiteral("gp"));
    const Output ours = generate(k1e27, 2000), ours5 = generate(kNear1e28, 5);
    if (gp.isEmpty()) {
        std::printf("  gp not found (apt-get install pari-gp): no comparison with PARI/GP\n");
    } else {
        std::printf("  2000 after 10^27: %s gp's chain; 5 after %s: %s\n",
                    ours.numbers == gpChain(gp, k1e27, 2000).numbers ? "the same primes as" : "DIFFERENT FROM",
                    qPrintable(kNear1e28),
                    ours5.numbers == gpChain(gp, kNear1e28, 5).numbers ? "the same" : "DIFFERENT");
    }

    std::vector<std::function<double()>> measurements = {
        [] { return generate(k1e27, 2000).seconds; },
        [] { return generate(k1e27, 2000, QStringLiteral("1")).seconds; },
    };
    if (!gp.isEmpty())
        measurements.push_back([&] { return gpChain(gp, k1e27, 2000).seconds; });
    const std::vector<double> seconds = bench::bestOfRounds(measurements, kRounds);
    std::printf("  (a) 2000 primes after 10^27, wall time with the start, best of %d\n", kRounds);
    bench::report("(a) --generate, default threads", seconds[0], "s");
    bench::report("(a) --generate, ZORVELAN_THREADS=1", seconds[1], "s");
    bench::report("(a) one thread / default threads", seconds[1] / seconds[0], "");
    if (!gp.isEmpty()) {
        bench::report("(a) gp nextprime chain", seconds[2], "s");
        bench::report("(a) --generate / gp", seconds[0] / seconds[2], "");
    }

    const std::pair<const char *, QString> starts[] = {
        {"(b) from 10^19", QStringLiteral("10000000000000000000")},
        {"(b) from 10^23", QStringLiteral("100000000000000000000000")},
        {"(b) from 10^25", QStringLiteral("10000000000000000000000000")},
        {"(b) from 10^27", k1e27},
        {"(b) from 10^28 - 10^6", QStringLiteral("9999999999999999999999000000")},
    };
    for (const auto &[label, after] : starts)
        bench::report(label, 2000 / best([&] { return generate(after, 2000); }, 3), "primes/s");
}

}  // namespace

ZORVELAN_BENCH_SECTION("proven", provenSection);
