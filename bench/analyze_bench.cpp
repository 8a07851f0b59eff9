// Whole Analyze runs at 20, 24 and 28 digits, as a click on Analyze starts
// them: primes, balanced semiprimes, squares of primes, twice a prime, a
// smooth number and random numbers. At 20 digits the same entries again with
// every stretch scanned, in the same run, as a ratio and a check that both
// show the same. Wall-clock seconds; factorisations are not kept between runs.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cstring>
#include <vector>

#include "bench.h"
#include "core/neighbour_table.h"
#include "core/stretch_pool.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"

namespace {

struct Entry {
    const char *kind;
    const char *number;
};

const std::vector<Entry> kEntries{
    {"prime", "17283207964119141689"},
    {"semiprime", "12000253243840337041"},  // 3000012373 * 4000067917
    {"square", "50000001203984002609"},
    {"2 * prime", "11893729576250924698"},
    {"smooth", "65178316954380089460"},  // primorial 47# * 2
    {"random", "48629880965784113195"},
    {"prime", "105667110913072364474153"},
    {"semiprime", "120000025324900840670269"},  // 300000012379 * 400000067911
    {"square", "500000000034581022626521"},
    {"2 * prime", "102359254041988456944142"},
    {"smooth", "965848771038412800000000"},  // 2^23 3^13 5^8 7^5 11
    {"random", "579552360272959660426447"},
    {"prime", "1273686058795523552920593173"},
    {"semiprime", "1200000002531510000838620587"},  // 30000000012347 * 40000000067921
    {"square", "5000000000002580594671280929"},
    {"2 * prime", "1044644788577205025541434162"},
    {"smooth", "5580546470487779180544000000"},  // 2^41 3^16 5^6 7^3 11
    {"random", "6654055357869893413793063916"},
};

// What the window shows at the end of an Analyze, but for the times.
QStringList shown(Form1 &form)
{
    QStringList texts;
    for (LineListView *list : {form.List1, form.lsLMO})
        for (int row = 0; row < list->count(); ++row)
            texts << list->lineAt(row);
    return texts << form.Label1->text() << form.lbNo->text() << form.lbOf->text() << form.lbLMO->text()
                 << form.lbCR->text() << form.lbCR->toolTip() << form.Label4->text();
}

double analyzeSeconds(Form1 &form, const char *number, core::ParallelSettings settings)
{
    core::forgetNeighbourTables();
    core::setParallelSettings(settings);
    form.Text1->setText(QString::fromLatin1(number));
    const auto start = bench::Clock::now();
    form.cmdAnalyze_Click();
    const double seconds = bench::secondsSince(start);
    core::setParallelSettings({});
    return seconds;
}

void analyzeSection()
{
    Form1 form;
    form.endProgram = [] {};
    form.show();
    QCoreApplication::processEvents();
    std::vector<double> times;
    for (const Entry &entry : kEntries) {
        const double seconds = analyzeSeconds(form, entry.number, {});
        times.push_back(seconds);
        char label[96];
        std::snprintf(label, sizeof label, "%s (%zu digits) %s", entry.kind, std::strlen(entry.number), entry.number);
        bench::report(label, seconds, "s");
        if (std::strlen(entry.number) != 20)
            continue;
        const QStringList jumped = shown(form);
        const double scanned = analyzeSeconds(form, entry.number, {0, 0, core::kNeverJump});
        std::snprintf(label, sizeof label, "    scanned everywhere / as shipped%s",
                      shown(form) == jumped ? ", same results" : ", RESULTS DIFFER");
        bench::report(label, scanned / seconds, "");
    }
    std::sort(times.begin(), times.end());
    bench::report("median of the entries", times[times.size() / 2], "s");
    bench::report("slowest entry", times.back(), "s");
}

}  // namespace

ZORVELAN_BENCH_SECTION("analyze", analyzeSection);
