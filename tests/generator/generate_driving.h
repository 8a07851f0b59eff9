#pragma once

// The shared window driver with keys held at the Generate click, and the
// primes a list should hold.

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <cstdint>

#include "support/form_driver.h"

class GenerateDriver : public FormDriver {
public:
    // The held keys are released after the command has ended, as when the
    // user lets go after the click.
    void generate(const QString &number, const QList<Qt::Key> &held = {})
    {
        form->Text1->setText(number);
        for (Qt::Key key : held)
            QTest::keyPress(form.get(), key);
        click(form->cmdList);
        for (Qt::Key key : held)
            QTest::keyRelease(form.get(), key);
    }
};

inline std::uint64_t nextPrime(std::uint64_t n)
{
    for (++n;; ++n) {
        bool prime = n >= 2;
        for (std::uint64_t d = 2; prime && d * d <= n; ++d)
            prime = n % d != 0;
        if (prime)
            return n;
    }
}

// The `count` primes after `base`, each with its distance from the one before.
inline std::pair<QStringList, QStringList> primesAfter(std::uint64_t base, qsizetype count)
{
    QStringList primes, intervals;
    for (std::uint64_t previous = base; primes.size() < count; previous = nextPrime(previous)) {
        primes << QString::number(nextPrime(previous));
        intervals << QString::number(nextPrime(previous) - previous);
    }
    return {primes, intervals};
}
