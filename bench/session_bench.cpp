// A working session in one window: a thousand Analyze runs of different
// 18-digit numbers, a hundred of 28 digits, and twenty open-ended Generate
// runs above 10^27, each stopped once 200 primes are shown. For each series,
// the time and the resident memory after its first ten runs and at its end:
// what a session keeps should not grow with the number of runs.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <random>

#include "bench.h"
#include "bench_window.h"
#include "ui/line_list_view.h"

namespace {

constexpr int kFirstRuns = 10;

QString randomNumber(std::mt19937_64 &random, int digits)
{
    std::uniform_int_distribution<int> digit(0, 9);
    QString text(QChar(u'1' + std::uniform_int_distribution<int>(0, 8)(random)));
    while (text.size() < digits)
        text += QChar(u'0' + digit(random));
    return text;
}

// Runs `run` `count` times and reports the time and resident memory after
// the first runs and at the end.
void series(const char *name, int count, const std::function<void(int)> &run)
{
    const double startMegabytes = static_cast<double>(bench::statusKilobytes("VmRSS")) / 1024.0;
    const auto start = bench::Clock::now();
    double firstSeconds = 0;
    double firstMegabytes = 0;
    for (int i = 0; i < count; ++i) {
        run(i);
        if (i + 1 == kFirstRuns) {
            firstSeconds = bench::secondsSince(start);
            firstMegabytes = static_cast<double>(bench::statusKilobytes("VmRSS")) / 1024.0;
        }
    }
    const double seconds = bench::secondsSince(start);
    const double endMegabytes = static_cast<double>(bench::statusKilobytes("VmRSS")) / 1024.0;
    std::printf("  %s\n", name);
    bench::report("resident memory before the first run", startMegabytes, "MB");
    bench::report("time of the first 10 runs", firstSeconds, "s");
    bench::report("resident memory after the first 10 runs", firstMegabytes, "MB");
    bench::report("time of all runs", seconds, "s");
    bench::report("resident memory at the end", endMegabytes, "MB");
    bench::report("added per run after the first 10", (endMegabytes - firstMegabytes) * 1024.0 / (count - kFirstRuns),
                  "kB");
}

void analyzeSeries(Form1 &form, const char *name, int count, int digits)
{
    std::mt19937_64 random(static_cast<std::uint64_t>(digits));
    series(name, count, [&](int) {
        form.Text1->setText(randomNumber(random, digits));
        form.cmdAnalyze_Click();
    });
}

// Open-ended shown lists above 10^27 + i, each stopped by Esc once it shows
// `primes` primes.
void generateSeries(Form1 &form, int count, int primes)
{
    QTimer watch;
    watch.setInterval(1);
    bool escSent = false;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!escSent && form.List1->count() >= primes) {
            escSent = true;
            QCoreApplication::postEvent(&form, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        }
    });
    watch.start();
    bench::OkClicker answers;  // the question before an open-ended shown list
    series("20 shown Generate runs above 10^27 (Shift), 200 primes each", count, [&](int i) {
        escSent = false;
        form.Text1->setText(QStringLiteral("10000000000000000000000%1").arg(i * 1000, 5, 10, QChar(u'0')));
        form.Form_KeyDown(Qt::Key_Shift);
        form.cmdList->click();
        form.Form_KeyUp(Qt::Key_Shift);
    });
}

void sessionSection()
{
    QTemporaryDir folder;
    Form1 form;
    bench::showWindow(form, folder.path());
    analyzeSeries(form, "1000 Analyze runs of different 18-digit numbers", 1000, 18);
    analyzeSeries(form, "100 Analyze runs of different 28-digit numbers", 100, 28);
    generateSeries(form, 20, 200);
}

}  // namespace

ZORVELAN_BENCH_SECTION("session", sessionSection);
