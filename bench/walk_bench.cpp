// The divisor walk of Analyze (every integer up to the square root), scanned
// with 1, 2 and all worker threads, against a bare loop on one core that
// computes only the remainders of the same divisors. Wall-clock times.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <cmath>
#include <functional>
#include <vector>

#include "bench.h"
#include "core/fast_fraction.h"
#include "core/stretch_pool.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"

namespace {

// 3 * 10000000000000061: the walk runs to 173205080.
const QString kComposite = QStringLiteral("30000000000000183");
constexpr int kRounds = 11;

std::uint64_t sink;

// Processor seconds for the remainders of 1 to last.
double bareLoopSeconds(std::uint64_t n, std::uint64_t last)
{
    const fastfrac::Dividend64 remainderOf{n};
    std::uint64_t divisors = 0;
    const auto start = bench::Clock::now();
    for (std::uint64_t d = 1; d <= last; ++d)
        divisors += remainderOf(d) == 0 ? 1 : 0;
    const double seconds = bench::secondsSince(start);
    sink += divisors;
    return seconds;
}

// Processor seconds of Analyze's divisor pass: the engine meets the divisor 3
// and hands over to the walk, which lists the report and fills the panel.
double walkSeconds(Form1 &form, const QString &number)
{
    form.subResetState();
    form.Text1->setText(number);
    form.blAnalyze = true;
    form.subClearResults();
    form.blRunning = true;
    form.blEsc = false;
    form.blPrimeFactors = false;
    const auto start = bench::Clock::now();
    form.subTrialDivide(DecimalNum::fromText(number.toStdString()));
    return bench::secondsSince(start);
}

void walkSection()
{
    const auto n = static_cast<std::uint64_t>(kComposite.toULongLong());
    const auto last = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    std::printf("  n = %s, walk to %llu; wall-clock rates, best of %d interleaved rounds\n", qPrintable(kComposite),
                static_cast<unsigned long long>(last), kRounds);

    Form1 form;
    form.endProgram = [] {};
    form.show();
    QCoreApplication::processEvents();
    std::vector<unsigned> counts{1, 2};
    core::setParallelSettings({});
    if (core::threadCount() > 2)
        counts.push_back(core::threadCount());
    std::vector<std::function<double()>> measurements{[&] { return bareLoopSeconds(n, last); }};
    for (unsigned threads : counts)
        measurements.push_back([&form, threads] {
            core::setParallelSettings({threads, 0, core::kNeverJump});
            return walkSeconds(form, kComposite);
        });
    const std::vector<double> best = bench::bestOfRounds(measurements, kRounds);
    const double bare = static_cast<double>(last) / best[0];
    bench::report("(a) bare loop on one core, remainders only", bare / 1e6, "M divisors/s");
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const unsigned threads = counts[i];
        const double walk = static_cast<double>(last) / best[i + 1];
        char label[96];
        std::snprintf(label, sizeof label, "(b) divisor walk of Analyze, %u thread%s", threads,
                      threads == 1 ? "" : "s");
        bench::report(label, walk / 1e6, "M divisors/s");
        std::snprintf(label, sizeof label, "    (b) / (a), %u thread%s", threads, threads == 1 ? "" : "s");
        bench::report(label, walk / bare, "");
    }
    core::setParallelSettings({});
    std::printf("  report ends: %s | %s; best nonfactor %s%s\n",
                qPrintable(form.List1->lineAt(form.List1->count() - 2)),
                qPrintable(form.List1->lineAt(form.List1->count() - 1)), qPrintable(form.lbNo->text()),
                qPrintable(form.lbOf->text()));
}

}  // namespace

ZORVELAN_BENCH_SECTION("walk", walkSection);
