#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <utility>
#include <vector>

class Form1;
class LineListView;

// What the window shows after Quick Test or Analyze, read from its
// controls: the text form prints these lines as they are, the JSON form
// takes Analyze's fields apart from the same lines.
class WindowReport {
public:
    explicit WindowReport(const Form1 &form);

    QString number() const;   // the entry, as the entry box cleaned it up
    QString verdict() const;  // the result line
    const LineListView &results() const { return results_; }
    QString panelCaption() const;
    const LineListView &panel() const { return panel_; }

    // ---- Analyze ----
    bool prime() const;
    // The prime factorisation, each prime with its exponent.
    std::vector<std::pair<QString, int>> factors() const;
    // The rows of the results list that hold the divisors below the number.
    int firstDivisorRow() const { return firstDivisorRow_; }
    int endDivisorRow() const { return endDivisorRow_; }
    // The count of all divisors, the number itself included.
    std::uint64_t totalDivisors() const;
    // The sum of the divisors below the number.
    QString sumOfFactors() const;
    bool perfect() const;
    // A panel line " 17:  .176470588235294" as its divisor and fraction.
    static std::pair<QString, QString> panelEntry(const QString &line);

private:
    QString lineAfter(const QString &heading) const;

    const Form1 &form_;
    const LineListView &results_;
    const LineListView &panel_;
    int firstDivisorRow_ = 0;
    int endDivisorRow_ = 0;
};
