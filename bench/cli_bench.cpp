// The text modes against the window, in one run, as ratios of wall-clock
// time: (a) 100 random 28-digit numbers through --analyze on standard input
// against the same 100 Analyze runs in the window; (b) --generate 10^8 into a
// file against the window's list file to 10^8; (c) --analyze of the number
// with the most divisors into a file against the window's Analyze of it.
// The program's start is part of each text-mode time. Each checks that the
// text mode printed what the window shows or writes; (c) also gives the peak
// memory that the run adds in the window and in the text mode. The JSON form
// against the text form: (d) --analyze --json of the number with the most
// divisors, with its peak memory, and (e) --generate 10^8 --json into a file.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <random>
#include <sys/resource.h>

#include "bench.h"
#include "bench_window.h"
#include "core/neighbour_table.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"

namespace {

const QString kMostDivisors = QStringLiteral("9593805043129459383903672000");
const QString kFileEntry = QStringLiteral("100000000");

struct TextRun {
    double seconds = 0;
    int status = -1;
};

// Starts the program with no display; its standard output goes to `outPath`.
void startText(QProcess &program, const QStringList &arguments, const QString &outPath)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    program.setStandardOutputFile(outPath);
    program.start(QStringLiteral(ZORVELAN_EXECUTABLE), arguments);
}

TextRun runText(const QStringList &arguments, const QString &outPath, const QByteArray &input = {})
{
    QProcess program;
    const auto start = bench::Clock::now();
    startText(program, arguments, outPath);
    program.write(input);
    program.closeWriteChannel();
    program.waitForFinished(-1);
    return {bench::secondsSince(start), program.exitCode()};
}

// The largest peak memory of the text-mode runs finished so far.
double childPeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList randomNumbers(int count)
{
    std::mt19937_64 random(28);
    QStringList numbers;
    for (int i = 0; i < count; ++i) {
        QString digits = QString::number(1 + random() % 9);
        while (digits.size() < 28)
            digits += QString::number(random() % 10);
        numbers << digits;
    }
    return numbers;
}

// What the window shows after Analyze, as the text mode prints it.
QByteArray report(Form1 &form)
{
    QStringList lines{form.Label1->text()};
    for (LineListView *list : {form.List1, form.lsLMO}) {
        for (int row = 0; row < list->count(); ++row)
            lines << list->lineAt(row);
        if (list == form.List1)
            lines << form.Label12->text();
    }
    return (lines.join('\n') + "\n\n").toUtf8();
}

double windowAnalyze(Form1 &form, const QStringList &numbers, QByteArray *reports)
{
    core::forgetNeighbourTables();
    const auto start = bench::Clock::now();
    for (const QString &number : numbers) {
        form.Text1->setText(number);
        form.cmdAnalyze_Click();
        if (reports)
            *reports += report(form);
    }
    return bench::secondsSince(start);
}

double windowListFile(Form1 &form)
{
    // OK at once to the notice and to replacing the file of the last round.
    form.answerMessage = [](const QString &, QMessageBox::Icon, QMessageBox::StandardButtons) {
        return QMessageBox::Ok;
    };
    form.Text1->setText(kFileEntry);
    form.Form_KeyDown(Qt::Key_Control);
    const auto start = bench::Clock::now();
    form.cmdList_Click();
    return bench::secondsSince(start);
}

void reportRatio(const char *what, double text, double window, bool same)
{
    std::printf("  %s%s\n", what, same ? "" : " -- OUTPUT DIFFERS FROM THE WINDOW'S");
    bench::report("    window", window, "s");
    bench::report("    text mode", text, "s");
    bench::report("    text mode / window", text / window, "");
}

// The peak memory of one run of the program, output to `outPath`: its
// VmHWM, read while it runs (its rusage would also count the parent's memory,
// which the child shares until it starts the program).
double peakMegabytesOfRun(const QStringList &arguments, const QString &outPath)
{
    QProcess program;
    startText(program, arguments, outPath);
    program.closeWriteChannel();
    QFile status(QStringLiteral("/proc/%1/status").arg(program.processId()));
    double peak = 0;
    while (!program.waitForFinished(20)) {
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                peak = std::max(peak, line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0);
        status.close();
    }
    return peak;
}

// One JSON line a report or a prime, as many as the text form has reports
// or lines.
qint64 jsonLineCount(const QString &path) { return contentsOf(path).count("}\n"); }

void jsonSection(const QString &out)
{
    const std::vector<double> most = bench::bestOfRounds(
        {[&] {
             return runText({"--analyze", "--json", kMostDivisors}, out).seconds;
         },
         [&] {
             return runText({"--analyze", kMostDivisors}, out).seconds;
         }},
        2);
    const double textPeak = peakMegabytesOfRun({"--analyze", kMostDivisors}, out);
    const double jsonPeak = peakMegabytesOfRun({"--analyze", "--json", kMostDivisors}, out);
    const QByteArray json = contentsOf(out);
    std::printf("  (d) --analyze --json 9593805043129459383903672000 > file, best of 2%s\n",
                json.count("\", \"") >= 6193150 ? "" : " -- DIVISORS MISSING");
    bench::report("    text", most[1], "s");
    bench::report("    json", most[0], "s");
    bench::report("    json / text", most[0] / most[1], "");
    std::printf("    peak memory of the run: text %.0f MB, json %.0f MB\n", textPeak, jsonPeak);

    const std::vector<double> list = bench::bestOfRounds(
        {[&] {
             return runText({"--generate", kFileEntry, "--json"}, out).seconds;
         },
         [&] {
             return runText({"--generate", kFileEntry}, out).seconds;
         }},
        3);
    const qint64 textLines = contentsOf(out).count('\n');
    runText({"--generate", kFileEntry, "--json"}, out);
    std::printf("  (e) --generate 100000000 --json > file, best of 3%s\n",
                jsonLineCount(out) == textLines ? "" : " -- LINE COUNTS DIFFER");
    bench::report("    text", list[1], "s");
    bench::report("    json", list[0], "s");
    bench::report("    json / text", list[0] / list[1], "");
}

void cliSection()
{
    QTemporaryDir folder;
    const QString out = folder.filePath("out.txt");
    Form1 form;
    bench::showWindow(form, folder.path());

    // (c) first, so that the largest child's peak memory is its own; the
    // window's peak is taken in its first round, before its lists have been
    // filled and freed once.
    runText({"--analyze", "6"}, out);
    const double textBase = childPeakMegabytes();
    double windowAdded = 0;
    const std::vector<double> most = bench::bestOfRounds({[&] {
                                                              return runText({"--analyze", kMostDivisors}, out).seconds;
                                                          },
                                                          [&] {
                                                              const long base = bench::resetPeak();
                                                              const double seconds = windowAnalyze(
                                                                  form, {kMostDivisors}, nullptr);
                                                              if (windowAdded == 0)
                                                                  windowAdded = bench::megabytesAddedSince(base);
                                                              return seconds;
                                                          }},
                                                         2);
    const qint64 lines = contentsOf(out).count('\n');
    reportRatio("(c) --analyze 9593805043129459383903672000 > file, best of 2", most[0], most[1],
                lines == form.List1->count() + form.lsLMO->count() + 3);
    const double textPeak = childPeakMegabytes();
    std::printf("    %lld lines; peak memory added: window %.0f MB, text mode %.0f MB (over a run on 6)\n", lines,
                windowAdded, textPeak - textBase);
    jsonSection(out);

    const QStringList numbers = randomNumbers(100);
    QByteArray windowReports;
    int status = 0;
    const std::vector<double> random = bench::bestOfRounds(
        {[&] {
             const TextRun text = runText({"--analyze"}, out, (numbers.join('\n') + '\n').toLatin1());
             status = std::max(status, text.status);
             return text.seconds;
         },
         [&] {
             windowReports.clear();
             return windowAnalyze(form, numbers, &windowReports);
         }},
        2);
    reportRatio("(a) 100 random 28-digit numbers, --analyze on standard input, best of 2", random[0], random[1],
                status == 0 && contentsOf(out) == windowReports);

    const std::vector<double> file = bench::bestOfRounds({[&] {
                                                              return runText({"--generate", kFileEntry}, out).seconds;
                                                          },
                                                          [&] { return windowListFile(form); }},
                                                         3);
    reportRatio("(b) --generate 100000000 > file against the list file, best of 3", file[0], file[1],
                contentsOf(out) == contentsOf(folder.filePath(kFileEntry + ".txt")).replace("\r\n", "\n"));
}

}  // namespace

ZORVELAN_BENCH_SECTION("cli", cliSection);
