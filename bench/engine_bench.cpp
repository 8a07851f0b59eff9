// Trial division, scanned: the bare arithmetic on one core against the whole
// engine on the window with 1, 2 and all worker threads, and how soon Esc stops it.
// Times are wall-clock seconds, so that the workers' share counts.

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "bench.h"
#include "core/fast_fraction.h"
#include "core/stretch_pool.h"
#include "core/trial_divisors.h"
#include "ui/form1.h"

namespace {

// A prime whose bound is 10^8: about 2.8 * 10^7 trial divisors.
const QString kPrime = QStringLiteral("10000000000000061");
// A 28-digit prime; the engine would test it for days.
const QString kLargePrime = QStringLiteral("1000000000000000000000000103");

constexpr int kRepeats = 3;
// Rounds of the interleaved bare loop and engine runs.
constexpr int kRounds = 11;

uint128 valueOf(const QString &number)
{
    uint128 n = 0;
    DecimalNum::fromText(number.toStdString()).toUInt128(n);
    return n;
}

// The remainder by the compiler's general 128-bit division, for comparison.
struct GenericDividend {
    uint128 n;
    std::uint64_t operator()(std::uint64_t d) const { return static_cast<std::uint64_t>(n % d); }
};

struct Walk {
    std::uint64_t divisors = 0;
    double seconds = 0;
    double rate() const { return static_cast<double>(divisors) / seconds; }
};

std::atomic<std::uint64_t> sink;

// The same divisors as the engine, computing nothing but the remainder.
template <class Dividend>
Walk bareLoop(const Dividend &remainderOf, std::uint64_t bound, std::uint64_t limit = UINT64_MAX)
{
    trial::DivisorWalk walk(bound, 2);
    Walk result;
    std::uint64_t sum = 0;
    const auto start = bench::Clock::now();
    while (walk.next() && result.divisors < limit) {
        const std::uint64_t r = remainderOf(walk.divisor());
        sum += r;
        ++result.divisors;
        if (r == 0)
            break;
    }
    result.seconds = bench::secondsSince(start);
    sink += sum;
    return result;
}

// The same, best of kRepeats runs.
template <class Dividend>
Walk bestOf(const Dividend &remainderOf, std::uint64_t bound)
{
    Walk best;
    for (int i = 0; i < kRepeats; ++i) {
        const Walk walk = bareLoop(remainderOf, bound);
        if (best.seconds == 0 || walk.seconds < best.seconds)
            best = walk;
    }
    return best;
}

// The flags of Analyze's factor search, as the command and GetFactors set them.
void startAnalyze(Form1 &form, const QString &number)
{
    form.subResetState();
    form.blPrimeFactors = false;
    form.Text1->setText(number);
    form.blAnalyze = true;
    form.subClearResults();
    form.blPrimeFactors = true;
    form.blRunning = true;
    form.blEsc = false;
    form.blPrime = true;
}

double engineSeconds(Form1 &form, const QString &number)
{
    startAnalyze(form, number);
    const DecimalNum n = DecimalNum::fromText(number.toStdString());
    const auto start = bench::Clock::now();
    form.subTrialDivide(n);
    return bench::secondsSince(start);
}

// Divisors per second of the engine on a number it would test for days: Esc
// ends the run after `seconds`, and the latest ratio's divisor tells how far
// it came.
double engineRateUntilEsc(Form1 &form, const QString &number, double seconds)
{
    startAnalyze(form, number);
    const DecimalNum n = DecimalNum::fromText(number.toStdString());
    QTimer::singleShot(static_cast<int>(seconds * 1000), &form, [&form] {
        QCoreApplication::postEvent(&form, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    const auto start = bench::Clock::now();
    form.subTrialDivide(n);
    const double elapsed = bench::secondsSince(start);
    const std::uint64_t reached = form.lbCR->toolTip().trimmed().toULongLong();
    return static_cast<double>(trial::TrialSequence(reached, 2).size()) / elapsed;
}

// The thread counts measured: 1, 2 and all.
std::vector<unsigned> threadCounts()
{
    std::vector<unsigned> counts{1, 2};
    core::setParallelSettings({});
    if (core::threadCount() > 2)
        counts.push_back(core::threadCount());
    return counts;
}

void reportThreads(const char *what, unsigned threads, double rate, double bareRate)
{
    char label[96];
    std::snprintf(label, sizeof label, "(b) %s, %u thread%s", what, threads, threads == 1 ? "" : "s");
    bench::report(label, rate / 1e6, "M divisors/s");
    std::snprintf(label, sizeof label, "    (b) / (a), %u thread%s", threads, threads == 1 ? "" : "s");
    bench::report(label, rate / bareRate, "");
}

// Posts Esc from another thread after `delay`, as a key press arrives from
// the system; returns the time from posting to the engine's return, or a
// negative value if the run ended first.
double escLatency(Form1 &form, const QString &number, std::chrono::microseconds delay)
{
    startAnalyze(form, number);
    const DecimalNum n = DecimalNum::fromText(number.toStdString());
    std::atomic<bench::Clock::rep> postedAt{0};
    // Made here: a key event's constructor looks up the keyboard device,
    // which belongs to this thread.
    auto *esc = new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    std::thread poster([&] {
        std::this_thread::sleep_for(delay);
        postedAt = bench::Clock::now().time_since_epoch().count();
        QCoreApplication::postEvent(&form, esc);
    });
    form.subTrialDivide(n);
    const auto returnedAt = bench::Clock::now().time_since_epoch().count();
    poster.join();
    const bool interrupted = form.blEsc;
    QCoreApplication::processEvents();  // a late Esc lands here, while blAnalyze is still set
    if (!interrupted)
        return -1;
    return std::chrono::duration<double>(bench::Clock::duration(returnedAt - postedAt)).count();
}

void engineSection()
{
    const uint128 n = valueOf(kPrime);
    const std::uint64_t bound = trial::bound(static_cast<double>(n));
    std::printf("  n = %s, bound %llu; wall-clock rates, best of %d interleaved rounds\n", qPrintable(kPrime),
                static_cast<unsigned long long>(bound), kRounds);

    Form1 form;
    form.endProgram = [] {};
    form.show();
    QCoreApplication::processEvents();

    const fastfrac::Dividend64 dividend{static_cast<std::uint64_t>(n)};
    const std::vector<unsigned> counts = threadCounts();
    std::vector<std::function<double()>> measurements{[&] { return bareLoop(dividend, bound).seconds; }};
    for (unsigned threads : counts)
        measurements.push_back([&form, threads] {
            core::setParallelSettings({threads, 0, core::kNeverJump});
            return engineSeconds(form, kPrime);
        });
    const std::vector<double> best = bench::bestOfRounds(measurements, kRounds);
    const auto divisors = static_cast<double>(trial::TrialSequence(bound, 2).size());
    const double bareRate = divisors / best[0];
    const Walk generic = bestOf(GenericDividend{n}, bound);
    bench::report("trial divisors", divisors, "");
    bench::report("(a) bare loop on one core, 64-bit remainder", bareRate / 1e6, "M divisors/s");
    bench::report("    bare loop, general 128-bit remainder", generic.rate() / 1e6, "M divisors/s");
    for (std::size_t i = 0; i < counts.size(); ++i)
        reportThreads("engine, Analyze factor search", counts[i], divisors / best[i + 1], bareRate);
    std::printf("  verdict line: %s\n", qPrintable(form.Label1->text()));

    std::printf("  28 digits, n = %s, 128-bit remainders; the engine stopped by Esc after 1.5 s\n",
                qPrintable(kLargePrime));
    const uint128 large = valueOf(kLargePrime);
    const Walk wide = bareLoop(
        fastfrac::Dividend128{static_cast<std::uint64_t>(large >> 64), static_cast<std::uint64_t>(large)},
        trial::bound(static_cast<double>(large)), 20000000);
    bench::report("(a) bare loop on one core, 128-bit remainder", wide.rate() / 1e6, "M divisors/s");
    for (unsigned threads : threadCounts()) {
        core::setParallelSettings({threads, 0, core::kNeverJump});
        reportThreads("engine, Analyze on 28 digits", threads, engineRateUntilEsc(form, kLargePrime, 1.5), wide.rate());
        QCoreApplication::processEvents();
    }

    core::setParallelSettings({});
    // Esc early in the factor search (64-bit remainders) and in the 28-digit
    // run (128-bit); a run that ends before its Esc arrives is not counted.
    std::vector<double> latencies;
    const double searchSeconds = engineSeconds(form, kPrime);
    for (double share : {0.1, 0.2, 0.3, 0.4}) {
        const auto delay = std::chrono::microseconds(static_cast<long long>(searchSeconds * share * 1e6));
        latencies.push_back(escLatency(form, kPrime, delay));
    }
    for (int ms : {100, 250, 400})
        latencies.push_back(escLatency(form, kLargePrime, std::chrono::milliseconds(ms)));
    std::erase_if(latencies, [](double l) { return l < 0; });
    if (latencies.empty()) {
        std::printf("  every run ended before its Esc arrived\n");
        return;
    }
    double sum = 0;
    for (double l : latencies)
        sum += l;
    std::printf("  Esc latency, all threads, over %zu interrupted runs:\n", latencies.size());
    bench::report("    mean", sum / double(latencies.size()) * 1e3, "ms");
    bench::report("    worst", *std::max_element(latencies.begin(), latencies.end()) * 1e3, "ms");
}

}  // namespace

ZORVELAN_BENCH_SECTION("engine", engineSection);
