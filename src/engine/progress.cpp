// Progress, time estimate and probable-prime confidence of a long loop,
// shown at the update points: every pc calls and at least every 100000 calls.

#include <QLabel>
#include <cmath>
#include <limits>

#include "core/trial_divisors.h"
#include "engine/clock.h"
#include "engine/progress.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"
#include "ui/text_forms.h"

namespace {

QString trimmed(double value) { return qstr(trimmedText(value)); }

// The update period for a new, larger range.
double updatePeriod(double lim, bool quickTest)
{
    const double q = trial::roundHalfEven(lim / 100);
    if (!quickTest)
        return q;
    if (lim <= 1000)
        return lim;
    if (q > 100000000000.0)
        return 10000;
    if (q > 10000000)
        return 5000;
    return 1000;
}

// The position in units of pc, at least 1.
qint32 positionOf(double d, double pc)
{
    const double whole = std::floor(d / pc);
    if (whole > std::numeric_limits<qint32>::max())
        throw OverflowError();
    return whole < 1 ? 1 : static_cast<qint32>(whole);
}

// The time still ahead, from the time taken so far.
QString estimateText(double d, double lim, const QDateTime &start)
{
    const auto s = static_cast<double>(zclock::secondsSince(start));
    const double e = std::floor((lim / d) * s - s);
    if (e > 3600)
        return QStringLiteral(">1 hour");
    if (e > 60)
        return trimmed(std::floor(e / 60)) + QStringLiteral(" mins");
    return trimmed(e) + QStringLiteral(" secs");
}

QString confidenceText(qint32 pct, bool analyze)
{
    static const char *const kQuickTest[] = {"(50%)", "(55%)", "(60%)", "(65%)", "(70%)", "(72%)",
                                             "(74%)", "(76%)", "(78%)", "(80%)", "(>80%)"};
    static const char *const kAnalyze[] = {"(80%)", "(85%)", "(90%)", "(93%)", "(94%)", "(95%)",
                                           "(96%)", "(97%)", "(98%)", "(99%)", "(99%)"};
    const int row = std::min(pct / 10, 10);
    return QString::fromLatin1((analyze ? kAnalyze : kQuickTest)[row]);
}

}  // namespace

namespace progress {

void startRange(Form1 &form, double lim)
{
    form.pc = updatePeriod(lim, form.blTest);
    form.nct = 0;
    form.lastlimit = lim;
}

void showUpdate(Form1 &form, double d, double lim, const QDateTime &start)
{
    try {
        const qint32 pct = positionOf(d, form.pc);
        if (form.blList && form.nct == form.pc) {
            form.Label1->setText(qstr(signedText(static_cast<double>(form.List1->count()))) +
                                 QStringLiteral(" Primes "));
            form.Label4->setText(QStringLiteral("Generating: ") + trimmed(pct) + QStringLiteral("% complete."));
        }
        form.nct = 0;
        if (form.blAnalyze)
            form.Label4->setText(QStringLiteral("Evaluating: ") + trimmed(pct) +
                                 QStringLiteral("% complete. Time est. ") + estimateText(d, lim, start));
        if ((form.blTest || form.blAnalyze) && !form.blEven) {
            form.Label1->setText(QStringLiteral("Probable Prime ") + confidenceText(pct, form.blAnalyze));
            if (form.blTest && !form.blAnalyze && pct >= 100)
                form.blExit = true;
        }
        form.pump.maybePump();
    } catch (const std::exception &e) {
        form.showFailure(QString::fromUtf8(e.what()));
    }
}

}  // namespace progress

void Form1::subProgress(double d, double lim, const QDateTime &start) { progress::onCall(*this, d, lim, start); }
