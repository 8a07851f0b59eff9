#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <exception>

#include "analysis/whole_numbers.h"
#include "core/loop_kernel.h"
#include "core/trial_divisors.h"
#include "engine/clock.h"
#include "engine/stretch_feed.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"
#include "ui/text_forms.h"

namespace {

// The factors joined by " * ", each prime written once per power, with all
// its digits: 360 gives "2 * 2 * 2 * 3 * 3 * 5".
QString productText(const QList<FactorEntry> &factors)
{
    QStringList primes;
    for (const FactorEntry &factor : factors) {
        const QString prime = qstr(factor.prime.trimmedText());
        for (int i = 0; i < factor.exponent; ++i)
            primes << prime;
    }
    return primes.join(QStringLiteral(" * "));
}

// Finds the prime factors of a number by asking the trial-division engine
// whether the cofactor in hand has a divisor and, when it has, walking its
// own trial divisors up to that divisor and dividing it out.
class FactorSearch {
public:
    FactorSearch(Form1 &form, bool printMode) : form_(form), printMode_(printMode) {}

    QList<FactorEntry> run(const DecimalNum &n);

private:
    // The walk to the next factor; false when Esc or a stop request ended it.
    bool divideOutNextFactor();
    bool findDivisor();
    bool stopped() const { return form_.blEsc || form_.blExit; }
    void record(const DecimalNum &prime);
    QList<FactorEntry> finish(QList<FactorEntry> result, const QString &failure = {});

    Form1 &form_;
    const bool printMode_;
    QList<FactorEntry> factors_;
    uint128 cofactor_ = 0;
    std::uint64_t divisor_ = 2;
};

QList<FactorEntry> FactorSearch::run(const DecimalNum &n)
{
    // The engine returns at its first divisor only in factor-search mode,
    // which a caller in print mode need not have set.
    const QScopedValueRollback<bool> factorSearchMode(form_.blPrimeFactors, true);
    form_.blFactorize = true;
    form_.blPrime = true;
    form_.blFactorsInterrupted = false;
    try {
        cofactor_ = wholeValueOf(n);
        while (!form_.subTrialDivide(DecimalNum::fromUInt128(cofactor_))) {
            if (form_.blEsc)
                return finish({});
            if (form_.blExit)
                return {};
            if (!divideOutNextFactor())
                return form_.blEsc ? finish({}) : QList<FactorEntry>{};
            form_.blPrime = false;
            form_.update();
            form_.pump.pumpNow();
        }
        if (form_.blPrime)
            return {};
        // The engine found no divisor of the last cofactor: it is prime, or
        // Esc ended its test and it is listed untested.
        if (cofactor_ > 1)
            record(DecimalNum::fromUInt128(cofactor_));
        return finish(factors_);
    } catch (const std::exception &e) {
        return finish({}, QString::fromUtf8(e.what()));
    }
}

bool FactorSearch::divideOutNextFactor()
{
    if (!findDivisor())
        return false;
    record(DecimalNum::fromInt(static_cast<std::int64_t>(divisor_)));
    cofactor_ /= divisor_;
    return true;
}

// Trial divisors 2, 3, 5, 7, 9, …; odd composites never divide, as their
// prime factors are divided out first. The engine has just seen a divisor,
// so the walk ends at one, at the latest at the cofactor's square root,
// unless the user stops it.
bool FactorSearch::findDivisor()
{
    if (stopped())
        return false;
    if (divisor_ == 2) {
        if (cofactor_ % 2 == 0)
            return true;
        divisor_ = 3;
    }
    const std::uint64_t last = trial::bound(static_cast<double>(cofactor_)) + 8;
    const trial::EvenlySpaced odd{divisor_, 2, last < divisor_ ? 0 : (last - divisor_) / 2 + 1};
    core::LoopKernel kernel(odd, cofactor_, {false, true, !form_.blTest});
    StretchFeed feed(
        form_.pump, kernel.plan(),
        [&kernel](std::uint64_t stretch, const std::stop_token &stop) { return kernel.stretch(stretch, stop); }, true);
    while (const auto stretch = feed.next([this] { return stopped(); })) {
        if (stopped())
            return false;
        if (!stretch->found.divisorPasses.empty()) {
            divisor_ = odd.at(stretch->found.divisorPasses.front());
            return true;
        }
        divisor_ = odd.at(stretch->endPass);
    }
    return false;
}

void FactorSearch::record(const DecimalNum &prime)
{
    if (!factors_.isEmpty() && factors_.last().prime == prime)
        ++factors_.last().exponent;
    else
        factors_.append({prime, 1});
}

QList<FactorEntry> FactorSearch::finish(QList<FactorEntry> result, const QString &failure)
{
    form_.blFactorize = false;
    if (!printMode_)
        form_.Label4->setText(QStringLiteral("Evaluation complete."));
    if (!failure.isEmpty())
        form_.showFailure(failure);
    if (form_.blEsc) {
        form_.Label4->setText(QStringLiteral("Process interrupted by user."));
        form_.blEsc = false;
        form_.blFactorsInterrupted = true;
    }
    return result;
}

}  // namespace

QList<FactorEntry> Form1::GetFactors(DecimalNum n) { return FactorSearch(*this, false).run(n); }

// Print mode, with a number passed in: the factor line goes to factorText
// (when given) instead of the results list.
void Form1::subFactorize(const DecimalNum *number, QString *factorText)
{
    const bool printMode = number != nullptr;
    const QDateTime start = zclock::now();
    try {
        if (blPrimeFactors) {
            if (blAnalyze)
                Label4->setText(QStringLiteral("Evaluating: 0% complete."));
            else if (blTest)
                Label4->setText(QStringLiteral("Evaluating..."));
            subShowStartTime(start);
            update();
            pump.pumpNow();
        }
        const DecimalNum n = printMode ? *number : DecimalNum::fromText(Text1->text().toStdString());
        const QList<FactorEntry> factors = FactorSearch(*this, printMode).run(n);
        if (blPrime) {
            Label4->setText(QStringLiteral("Evaluation complete."));
            subShowElapsed(start);
            return;
        }
        if (factors.isEmpty())
            return;

        const QString product = productText(factors);
        if (printMode) {
            if (factorText)
                *factorText = qstr(number->signedText()) + QStringLiteral(" = ") + product;
        } else if (!blDiv) {
            List1->addItem(Text1->text() + QStringLiteral(" = ") + product);
            List1->insertItem(0, QStringLiteral("Prime Factors:"));
            List1->setCurrentRow(List1->count() - 1);
        }
        if (blPrimeFactors)
            subShowElapsed(start);
        update();
    } catch (const std::exception &e) {
        showFailure(QString::fromUtf8(e.what()));
    }
}
