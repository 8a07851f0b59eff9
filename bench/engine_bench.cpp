// Trial division: the bare arithmetic against the whole engine on the
// window, and how soon Esc stops the engine.

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "bench.h"
#include "engine/fast_fraction.h"
#include "engine/trial_divisors.h"
#include "ui/form1.h"

namespace {

// A prime whose bound is 10^8: about 2.8 * 10^7 trial divisors.
const QString kPrime = QStringLiteral("10000000000000061");
// A 28-digit prime; the engine would test it for days.
const QString kLargePrime = QStringLiteral("1000000000000000000000000103");

constexpr int kRepeats = 7;

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
Walk bareLoop(const Dividend &remainderOf, std::uint64_t bound)
{
    trial::DivisorWalk walk(bound, 2);
    Walk result;
    std::uint64_t sum = 0;
    const double start = bench::threadSeconds();
    while (walk.next()) {
        const std::uint64_t r = remainderOf(walk.divisor());
        sum += r;
        ++result.divisors;
        if (r == 0)
            break;
    }
    result.seconds = bench::threadSeconds() - start;
    sink += sum;
    return result;
}

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
    const double start = bench::threadSeconds();
    form.subTrialDivide(n);
    return bench::threadSeconds() - start;
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
    std::printf("  n = %s, bound %llu; rates per second of processor time, best of %d\n",
                qPrintable(kPrime), static_cast<unsigned long long>(bound), kRepeats);

    Form1 form;
    form.endProgram = [] {};
    form.show();
    QCoreApplication::processEvents();

    // (a) and (b) take turns, so that a busy spell of the machine hits both.
    const fastfrac::Dividend64 dividend{static_cast<std::uint64_t>(n)};
    Walk bare;
    double engineBest = 0;
    for (int i = 0; i < kRepeats; ++i) {
        const Walk walk = bareLoop(dividend, bound);
        if (bare.seconds == 0 || walk.seconds < bare.seconds)
            bare = walk;
        const double seconds = engineSeconds(form, kPrime);
        if (engineBest == 0 || seconds < engineBest)
            engineBest = seconds;
    }
    const Walk generic = bestOf(GenericDividend{n}, bound);
    const double engineRate = static_cast<double>(bare.divisors) / engineBest;
    bench::report("trial divisors", static_cast<double>(bare.divisors), "");
    bench::report("(a) bare loop, engine's remainder (64-bit here)", bare.rate() / 1e6, "M divisors/s");
    bench::report("    bare loop, general 128-bit remainder", generic.rate() / 1e6, "M divisors/s");
    bench::report("(b) engine, Analyze factor search", engineRate / 1e6, "M divisors/s");
    bench::report("(b) / (a)", engineRate / bare.rate(), "");
    std::printf("  verdict line: %s\n", qPrintable(form.Label1->text()));

    std::vector<double> latencies;
    for (double share : {0.2, 0.4, 0.6, 0.8}) {
        // Processor seconds of (b); on a busy machine the run lasts longer.
        const auto delay = std::chrono::microseconds(static_cast<long long>(engineBest * share * 1e6));
        latencies.push_back(escLatency(form, kPrime, delay));
    }
    for (int ms : {100, 250, 400})
        latencies.push_back(escLatency(form, kLargePrime, std::chrono::milliseconds(ms)));
    const bool allInterrupted =
        std::none_of(latencies.begin(), latencies.end(), [](double l) { return l < 0; });
    if (!allInterrupted)
        std::printf("  some runs ended before Esc arrived\n");
    double sum = 0;
    for (double l : latencies)
        sum += std::max(l, 0.0);
    bench::report("Esc latency, mean of 7 runs", sum / double(latencies.size()) * 1e3, "ms");
    bench::report("Esc latency, worst of 7 runs", *std::max_element(latencies.begin(), latencies.end()) * 1e3, "ms");

    const uint128 large = valueOf(kLargePrime);
    const Walk wide = bareLoop(fastfrac::Dividend128{static_cast<std::uint64_t>(large >> 64),
                                                     static_cast<std::uint64_t>(large)},
                               bound);
    bench::report("bare loop on a 28-digit number, 128-bit remainder", wide.rate() / 1e6, "M divisors/s");
}

}  // namespace

ZORVELAN_BENCH_SECTION("engine", engineSection);
