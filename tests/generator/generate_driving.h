#pragma once

// Generate driven as a user does it: the keys held at the click, the answers
// to its questions, and the primes a list should hold.

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <cstdint>
#include <functional>
#include <memory>

#include "support/message_boxes.h"
#include "ui/extent_list.h"
#include "ui/form1.h"

// A shown window whose commands run inside the click, with actions that run
// while the command lets window events run.
class GenerateDriver {
public:
    GenerateDriver() : form(std::make_unique<Form1>())
    {
        form->endProgram = [] {};
        form->show();
        form->activateWindow();
    }

    bool ready() { return QTest::qWaitForWindowActive(form.get()); }

    // Clicks Generate on `number` with `held` keys down; they are released
    // after the command has ended, as when the user lets go after the click.
    void generate(const QString &number, const QList<Qt::Key> &held = {})
    {
        form->Text1->setText(number);
        for (Qt::Key key : held)
            QTest::keyPress(form.get(), key);
        click(form->cmdList);
        for (Qt::Key key : held)
            QTest::keyRelease(form.get(), key);
    }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Runs `action` once, the first time events run while `condition` holds.
    void when(std::function<bool()> condition, std::function<void()> action)
    {
        auto *timer = new QTimer(form.get());
        timer->setInterval(1);
        QObject::connect(timer, &QTimer::timeout, timer, [timer, condition, action] {
            if (!condition())
                return;
            timer->stop();
            timer->deleteLater();
            action();
        });
        timer->start();
    }

    void pressEsc() { QTest::keyClick(form.get(), Qt::Key_Escape); }

    static QStringList lines(const QListWidget *list)
    {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        return texts;
    }

    std::unique_ptr<Form1> form;
};

inline bool isPrime(std::uint64_t n)
{
    if (n < 2)
        return false;
    for (std::uint64_t d = 2; d * d <= n; ++d)
        if (n % d == 0)
            return false;
    return true;
}

inline std::uint64_t nextPrime(std::uint64_t n)
{
    do
        ++n;
    while (!isPrime(n));
    return n;
}

// The `count` primes after `base` and the distance of each from the one
// before it (the first from `base`).
struct PrimeList {
    QStringList primes;
    QStringList intervals;
};
inline PrimeList primesAfter(std::uint64_t base, qsizetype count)
{
    PrimeList list;
    for (std::uint64_t previous = base; list.primes.size() < count;) {
        const std::uint64_t prime = nextPrime(previous);
        list.primes << QString::number(prime);
        list.intervals << QString::number(prime - previous);
        previous = prime;
    }
    return list;
}
