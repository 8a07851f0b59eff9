// Analyze of the numbers with the most divisors, where filling the results
// list is most of the work: wall-clock time and the peak memory the run adds,
// next to the divisors alone (factorised, listed and paired, no window).

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <cmath>
#include <string>
#include <vector>

#include "bench.h"
#include "core/factorise.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"

namespace {

struct Entry {
    const char *label;
    const char *number;
};

const Entry kEntries[]{
    {"2^5 * 3 * 5 * ... * 67, 1572864 divisors", "125733144817284272894065440"},
    {"most divisors below 10^28, 6193152 divisors", "9593805043129459383903672000"},
};

std::size_t divisorsAlone(const char *number)
{
    uint128 n = 0;
    for (const char *c = number; *c; ++c)
        n = n * 10 + static_cast<unsigned>(*c - '0');
    const auto factors = core::factorise(n);
    const auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    const std::vector<std::uint64_t> small = core::divisorsUpTo(*factors, root);
    std::vector<uint128> all(small.begin(), small.end());
    for (auto d = small.rbegin(); d != small.rend() && *d > 1; ++d)
        if (uint128(*d) * *d != n)
            all.push_back(n / *d);
    return all.size();
}

// A key pressed in the list as the user would, until the list is drawn again.
double secondsOfKey(LineListView *list, int key)
{
    const auto start = bench::Clock::now();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_C ? QStringLiteral("c") : QString());
    QApplication::sendEvent(list, &press);
    list->viewport()->repaint();
    return bench::secondsSince(start);
}

void reportKeys(LineListView *list)
{
    const std::pair<const char *, int> keys[]{
        {"Home", Qt::Key_Home}, {"End", Qt::Key_End}, {"Page Up", Qt::Key_PageUp}};
    for (const auto &[name, key] : keys)
        bench::report((std::string("    key ") + name).c_str(), secondsOfKey(list, key), "s");
    // C puts the whole text on the clipboard: about one copy of it should
    // come on top of the list.
    const long base = bench::resetPeak();
    bench::report("    key C (copy every line)", secondsOfKey(list, Qt::Key_C), "s");
    bench::report("    peak memory added by C", bench::megabytesAddedSince(base), "MB");
    const double textBytes = static_cast<double>(QGuiApplication::clipboard()->text().size()) * sizeof(QChar);
    bench::report("    the copied text", textBytes / (1024.0 * 1024.0), "MB");
}

void listSection()
{
    Form1 form;
    form.endProgram = [] {};
    form.show();
    QCoreApplication::processEvents();
    for (const Entry &entry : kEntries) {
        std::printf("  %s: %s\n", entry.label, entry.number);
        form.Text1->setText(QString::fromLatin1(entry.number));
        form.subClearResults();
        QCoreApplication::processEvents();
        long base = bench::resetPeak();
        auto start = bench::Clock::now();
        form.cmdAnalyze_Click();
        bench::report("    Analyze in the window", bench::secondsSince(start), "s");
        bench::report("    peak memory added", bench::megabytesAddedSince(base), "MB");
        std::printf("    %d lines, the last \"%s\"\n", form.List1->count(),
                    qPrintable(form.List1->lineAt(form.List1->count() - 1)));
        reportKeys(form.List1);

        base = bench::resetPeak();
        start = bench::Clock::now();
        const std::size_t divisors = divisorsAlone(entry.number);
        bench::report("    the divisors alone", bench::secondsSince(start), "s");
        bench::report("    peak memory added", bench::megabytesAddedSince(base), "MB");
        std::printf("    %zu divisors below n\n", divisors);
    }
    form.subClearResults();
}

}  // namespace

ZORVELAN_BENCH_SECTION("list", listSection);
