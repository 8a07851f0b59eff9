// Generate: a bounded list file to 10^8 written through the window against a
// bare loop that takes the same primes from the sieve library and writes the
// same lines; an open-ended file above 10^27 against the prime source alone;
// shown lists from 10^18, to 10^6 and to 10^8 (against the list file); and
// how long the window goes without handling events, and so how soon it sees
// Esc, in each mode.

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "bench.h"
#include "bench_window.h"
#include "generator/list_file.h"
#include "primes/prime_source.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"

namespace {

const QString kFileEntry = QStringLiteral("100000000");  // even: the file runs to 10^8 + 1
const QString kShownEntry = QStringLiteral("1000000");
const QString kProvenEntry = QStringLiteral("1000000000000000000000000000");  // 10^27
const QString kShownFromEntry = QStringLiteral("1000000000000000000");        // 10^18
constexpr int kRepeats = 3;

struct BareRun {
    std::uint64_t primes = 0;
    double seconds = 0;
};

// The primes up to `limit` from the sieve library, written as the bounded
// list file's lines through a buffer of the same size.
BareRun bareFileLoop(std::uint64_t limit, const QString &path)
{
    BareRun run;
    const double start = bench::threadSeconds();
    std::FILE *file = std::fopen(path.toLocal8Bit().constData(), "wb");
    std::string buffer;
    primesieve::iterator sieve(0, limit);
    std::uint64_t previous = 0;
    for (std::uint64_t prime = sieve.next_prime(); prime <= limit; prime = sieve.next_prime()) {
        appendListLine(buffer, prime, prime - previous, LineLayout::Bounded);
        previous = prime;
        ++run.primes;
        if (buffer.size() >= 64 * 1024) {
            std::fwrite(buffer.data(), 1, buffer.size(), file);
            buffer.clear();
        }
    }
    std::fwrite(buffer.data(), 1, buffer.size(), file);
    std::fclose(file);
    run.seconds = bench::threadSeconds() - start;
    return run;
}

// `count` primes from the prime source alone, in wall-clock time: the
// proofs run on worker threads.
BareRun bareSourceLoop(const QString &after, std::uint64_t count)
{
    BareRun run;
    uint128 start = 0;
    DecimalNum::fromText(after.toStdString()).toUInt128(start);
    const auto began = bench::Clock::now();
    primes::PrimeSource source(start);
    for (; run.primes < count; ++run.primes)
        source.next();
    run.seconds = bench::secondsSince(began);
    return run;
}

// The longest stretch without handled events while a run goes on: a 1 ms
// timer can only fire when events are handled.
class EventGaps {
public:
    EventGaps()
    {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const auto now = bench::Clock::now();
            worst_ = std::max(worst_, std::chrono::duration<double>(now - last_).count());
            last_ = now;
        });
        last_ = bench::Clock::now();
        timer_.start();
    }
    double worstSeconds() const { return worst_; }

private:
    QTimer timer_;
    bench::Clock::time_point last_;
    double worst_ = 0;
};

struct FormRun {
    double seconds = 0;  // processor time of the whole command (this thread)
    double wall = 0;
    double worstGap = 0;
    double latency = 0;  // from Esc to the end of the command
};

// Clicks Generate on `number` with Ctrl (file) and/or Shift (open-ended) held.
FormRun generate(Form1 &form, const QString &number, bool toFile, bool openEnded)
{
    form.Text1->setText(number);
    if (toFile)
        form.Form_KeyDown(Qt::Key_Control);
    if (openEnded)
        form.Form_KeyDown(Qt::Key_Shift);
    bench::OkClicker answers;
    EventGaps gaps;
    const double start = bench::threadSeconds();
    const auto wallStart = bench::Clock::now();
    form.cmdList->click();
    return {bench::threadSeconds() - start, bench::secondsSince(wallStart), gaps.worstSeconds()};
}

// Posts Esc after `delay` from another thread, as a key press arrives from
// the system, and returns the time from posting to the end of the command.
FormRun escLatency(Form1 &form, const QString &number, bool toFile, bool openEnded, std::chrono::milliseconds delay)
{
    // Made here: a key event's constructor looks up the keyboard device,
    // which belongs to this thread.
    auto *esc = new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    std::atomic<bench::Clock::rep> postedAt{0};
    std::thread poster([&] {
        std::this_thread::sleep_for(delay);
        postedAt = bench::Clock::now().time_since_epoch().count();
        QCoreApplication::postEvent(&form, esc);
    });
    FormRun run = generate(form, number, toFile, openEnded);
    const auto endedAt = bench::Clock::now().time_since_epoch().count();
    poster.join();
    run.latency = std::chrono::duration<double>(bench::Clock::duration(endedAt - postedAt)).count();
    return run;
}

qint64 linesIn(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.readAll().count('\n');
}

void generateSection()
{
    QTemporaryDir folder;
    Form1 form;
    bench::showWindow(form, folder.path());

    // (a) and (b) take turns, so that a busy spell of the machine hits both.
    BareRun bare;
    FormRun file;
    for (int i = 0; i < kRepeats; ++i) {
        const BareRun bareRun = bareFileLoop(kFileEntry.toULongLong() + 1, folder.filePath("bare.txt"));
        if (i == 0 || bareRun.seconds < bare.seconds)
            bare = bareRun;
        const FormRun fileRun = generate(form, kFileEntry, true, false);
        if (i == 0 || fileRun.seconds < file.seconds)
            file = fileRun;
    }
    const QString filePath = folder.filePath(kFileEntry + ".txt");
    QFile generated(filePath), plain(folder.filePath("bare.txt"));
    const bool same = generated.open(QIODevice::ReadOnly) && plain.open(QIODevice::ReadOnly) &&
                      generated.readAll() == plain.readAll();
    std::printf("  bounded list file to %s: %llu primes (file: %lld lines, %s the bare loop's); "
                "processor time, best of %d\n",
                qPrintable(kFileEntry), static_cast<unsigned long long>(bare.primes), linesIn(filePath),
                same ? "byte for byte" : "DIFFERENT FROM", kRepeats);
    const double bareRate = static_cast<double>(bare.primes) / bare.seconds;
    const double fileRate = static_cast<double>(bare.primes) / file.seconds;
    bench::report("(a) bare loop: sieve library, same lines, written", bareRate / 1e6, "M primes/s");
    bench::report("(b) Generate with Ctrl, through the window", fileRate / 1e6, "M primes/s");
    bench::report("(b) Generate with Ctrl, processor time", file.seconds, "s");
    bench::report("(b) / (a)", fileRate / bareRate, "");
    bench::report("(b) longest time without handling events", file.worstGap * 1e3, "ms");
    std::printf("  status: %s | %s\n", qPrintable(form.Label4->text()), qPrintable(form.Label1->text()));

    // Proven primes above 10^27 into an open-ended file for a few seconds,
    // against the prime source alone for as many primes, both in wall-clock
    // time (the proofs run on worker threads); they take turns and the best
    // rate of each counts.
    FormRun proven;
    double provenRate = 0;
    double sourceRate = 0;
    for (int i = 0; i < 2; ++i) {
        const FormRun run = escLatency(form, kProvenEntry, true, true, std::chrono::milliseconds(2000));
        const qint64 lines = linesIn(folder.filePath("+" + kProvenEntry + ".txt"));
        const BareRun source = bareSourceLoop(kProvenEntry, static_cast<std::uint64_t>(std::max<qint64>(lines, 1)));
        if (static_cast<double>(lines) / run.wall > provenRate)
            proven = run, provenRate = static_cast<double>(lines) / run.wall;
        sourceRate = std::max(sourceRate, static_cast<double>(source.primes) / source.seconds);
    }
    bench::report("(c) prime source alone above 10^27", sourceRate, "primes/s");
    bench::report("(d) Generate with Ctrl+Shift above 10^27", provenRate, "primes/s");
    bench::report("(d) / (c)", provenRate / sourceRate, "");
    bench::report("(d) longest time without handling events", proven.worstGap * 1e3, "ms");
    bench::report("(d) Esc latency", proven.latency * 1e3, "ms");

    // A shown list from 10^18, stopped once the list holds kShownCount primes.
    constexpr int kShownCount = 20000;
    bench::Clock::time_point filledAt{};
    int filledCount = 0;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (filledAt == bench::Clock::time_point{} && form.List1->count() >= kShownCount) {
            filledAt = bench::Clock::now();
            filledCount = form.List1->count();
            QCoreApplication::postEvent(&form, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        }
    });
    watch.start();
    const auto shownFromStart = bench::Clock::now();
    const FormRun shownFrom = generate(form, kShownFromEntry, false, true);
    watch.stop();
    const double shownSeconds = std::chrono::duration<double>(filledAt - shownFromStart).count();
    bench::report("(e) shown list from 10^18 (Shift), wall", filledCount / shownSeconds, "primes/s");
    bench::report("(e) longest time without handling events", shownFrom.worstGap * 1e3, "ms");

    const FormRun shown = generate(form, kShownEntry, false, false);
    std::printf("  shown list to %s: %s, %d entries left in the list\n", qPrintable(kShownEntry),
                qPrintable(form.Label4->text()), form.List1->count());
    bench::report("(f) shown list to 10^6, wall time", shown.wall, "s");
    bench::report("(f) longest time without handling events", shown.worstGap * 1e3, "ms");

    // The same primes as the list file, shown in the window instead.
    const FormRun shownAll = generate(form, kFileEntry, false, false);
    bench::report("(g) shown list to 10^8, wall time", shownAll.wall, "s");
    bench::report("(g) list file to 10^8, wall time (b)", file.wall, "s");
    bench::report("(g) shown / list file", shownAll.wall / file.wall, "");
    bench::report("(g) longest time without handling events", shownAll.worstGap * 1e3, "ms");

    struct EscCase {
        const char *label;
        QString number;
        bool toFile;
        bool openEnded;
    };
    const EscCase cases[] = {
        {"Esc: shown list up to 10^9", QStringLiteral("1000000000"), false, false},
        {"Esc: list file up to 10^10", QStringLiteral("10000000000"), true, false},
        {"Esc: shown list above 2^54", QStringLiteral("18014398509481984"), false, true},
        {"Esc: list file above 10^27 (128-bit)", QStringLiteral("1000000000000000000000000000"), true, true},
    };
    for (const EscCase &c : cases) {
        const FormRun run = escLatency(form, c.number, c.toFile, c.openEnded, std::chrono::milliseconds(400));
        std::printf("  %-40s latency %7.2f ms, longest without events %7.2f ms\n", c.label, run.latency * 1e3,
                    run.worstGap * 1e3);
    }
}

}  // namespace

ZORVELAN_BENCH_SECTION("generate", generateSection);
