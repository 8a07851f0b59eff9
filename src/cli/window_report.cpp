#include "cli/window_report.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "ui/form1.h"
#include "ui/line_list_view.h"

namespace {

const QString kPrimeFactors = QStringLiteral("Prime Factors:");
const QString kAllFactors = QStringLiteral("All Factors:");
const QString kSum = QStringLiteral("Sum of Factors: ");
const QString kTotal = QStringLiteral("Total Divisors: ");
const QString kPerfect = QStringLiteral(" (Perfect Number!)");

}  // namespace

WindowReport::WindowReport(const Form1 &form) : form_(form), results_(*form.List1), panel_(*form.lsLMO)
{
    // "All Factors:" is near the top; the sum follows the last divisor, which
    // is looked for from the end so that millions of rows are not walked.
    const int count = results_.count();
    for (int row = 0; row < std::min(count, 4); ++row)
        if (results_.lineAt(row) == kAllFactors)
            firstDivisorRow_ = endDivisorRow_ = row + 1;
    if (firstDivisorRow_ == 0)
        return;
    for (int row = count - 1; row >= firstDivisorRow_; --row)
        if (results_.lineAt(row).startsWith(kSum)) {
            endDivisorRow_ = row;
            return;
        }
    endDivisorRow_ = count;
}

QString WindowReport::number() const { return form_.Text1->text(); }

QString WindowReport::verdict() const { return form_.Label1->text(); }

QString WindowReport::panelCaption() const { return form_.Label12->text(); }

bool WindowReport::prime() const { return verdict().endsWith(QStringLiteral(" is Prime")); }

// "360 = 2 * 2 * 2 * 3 * 3 * 5" gives 2^3, 3^2, 5; a prime is its own factor.
std::vector<std::pair<QString, int>> WindowReport::factors() const
{
    if (prime())
        return {{number(), 1}};
    const QString equation = lineAfter(kPrimeFactors);
    std::vector<std::pair<QString, int>> factors;
    for (const QString &prime :
         equation.section(QStringLiteral(" = "), 1).split(QStringLiteral(" * "), Qt::SkipEmptyParts)) {
        if (!factors.empty() && factors.back().first == prime)
            ++factors.back().second;
        else
            factors.emplace_back(prime, 1);
    }
    return factors;
}

std::uint64_t WindowReport::totalDivisors() const
{
    if (prime())
        return 2;
    for (int row = results_.count() - 1; row >= endDivisorRow_; --row)
        if (const QString line = results_.lineAt(row); line.startsWith(kTotal))
            return line.mid(kTotal.size()).toULongLong();
    return 0;
}

QString WindowReport::sumOfFactors() const
{
    if (prime())
        return QStringLiteral("1");
    if (endDivisorRow_ >= results_.count())
        return QString();
    QString sum = results_.lineAt(endDivisorRow_).mid(kSum.size());
    if (sum.endsWith(kPerfect))
        sum.chop(kPerfect.size());
    return sum;
}

bool WindowReport::perfect() const
{
    return !prime() && endDivisorRow_ < results_.count() && results_.lineAt(endDivisorRow_).endsWith(kPerfect);
}

std::pair<QString, QString> WindowReport::panelEntry(const QString &line)
{
    return {line.section(u':', 0, 0).trimmed(), line.section(u':', 1).trimmed()};
}

QString WindowReport::lineAfter(const QString &heading) const
{
    for (int row = 0; row + 1 < results_.count(); ++row)
        if (results_.lineAt(row) == heading)
            return results_.lineAt(row + 1);
    return QString();
}
