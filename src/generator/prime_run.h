#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

#include "engine/event_pump.h"
#include "generator/list_file.h"
#include "numeric/uint128.h"
#include "primes/prime_source.h"

class Form1;
class LineListView;

// The entered number as an exact integer; throws when the text is not one.
uint128 entryNumber(const QString &text);

// Screen updates that would otherwise be made for every candidate or every
// prime: they are held here and written when the window is about to paint
// (the event pump flushes them), and once more at the end of a loop.
class DeferredView final : private EventPump::DeferredDisplay {
public:
    explicit DeferredView(Form1 &form);

    void showCandidate(uint128 candidate)
    {
        candidate_ = candidate;
        candidatePending_ = true;
    }
    void selectRow(LineListView *list, int row);
    void flush() override;

private:
    Form1 &form_;
    uint128 candidate_ = 0;
    bool candidatePending_ = false;
    int list1Row_ = -1;
    int lsLMORow_ = -1;
    EventPump::Attachment attachment_;
};

// The numbers a shown list tests in turn, numbered from 1: 2 and the odd
// numbers from 3 for a bounded list, the odd numbers above the entry for an
// open-ended one. The primes come from a prime source; the candidates in
// between still count, for the progress shown and for the interval panel.
struct Candidates {
    uint128 firstOdd;
    uint128 firstOddIndex;

    uint128 indexOf(uint128 candidate) const
    {
        return candidate < firstOdd ? 1 : firstOddIndex + (candidate - firstOdd) / 2;
    }
    uint128 at(uint128 index) const { return index < firstOddIndex ? 2 : firstOdd + 2 * (index - firstOddIndex); }
};

// Lets window events run about every 10 ms while primes arrive: the clock is
// read every prime where primes are proven one by one, and every few
// hundred where they come from the sieve.
class PrimePacer {
public:
    explicit PrimePacer(const primes::PrimeSource &source) : source_(source) {}
    bool due()
    {
        if (--countdown_ > 0) [[likely]]
            return false;
        countdown_ = source_.sieving() ? EventPump::kCallsPerClockRead : 1;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < EventPump::kInterval)
            return false;
        last_ = now;
        return true;
    }

private:
    const primes::PrimeSource &source_;
    int countdown_ = 1;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

// One Generate run from start to end: the shown lists of the primes up to or
// beyond the entered number, or the same written to the list file.
class PrimeRun {
public:
    // Reads the mode chosen at the click; it holds for the whole run even if
    // the keys that chose it are released meanwhile.
    explicit PrimeRun(Form1 &form);

    bool savesToFile() const { return toFile_; }
    // Runs everything, reports its own failures, and leaves the window in
    // its end-of-run state.
    void execute(ListFile &file);

private:
    void start();
    void showBounded();
    void showOpenEnded();
    void showPrimes(primes::PrimeSource &source, const Candidates &candidates, uint128 lastCandidate);
    void countCandidatesTo(const Candidates &candidates, uint128 index);
    void endDisplayedRun();
    void saveToFile(ListFile &file);
    void writeList(ListFile &file);
    void savePrimes(ListFile &file, primes::PrimeSource &source, uint128 limit);
    void pumpWhileSaving(ListFile &file);
    void endRun(ListFile &file, const std::optional<QString> &failure);

    bool confirm(const QString &question);
    uint128 firstCandidateAbove() const { return number_ % 2 == 0 ? number_ + 1 : number_ + 2; }
    uint128 noteInterval(uint128 prime);
    void setBase(uint128 prime);
    void showPrime(uint128 prime);
    void savePrime(ListFile &file, uint128 prime)
    {
        ++count_;
        const uint128 interval = noteInterval(prime);
        file.writeLine(prime, interval, noIntervals_ ? LineLayout::NoInterval : fileLayout_);
        base_ = prime;
    }
    void followNewEntry(LineListView *list);
    void offerToViewer(const QString &path, const QString &fileName);

    Form1 &form_;
    const bool toFile_;
    const bool openEnded_;
    const LineLayout fileLayout_;
    // Form1::blNoIntervals, which the Z key sets and clears while a file is written.
    const bool &noIntervals_;
    DeferredView view_;
    QString entryText_;
    uint128 number_ = 0;
    uint128 base_ = 0;       // the interval base, mirrored in Form1::lcn
    uint128 candidate_ = 0;  // the latest candidate of a bounded file
    uint128 counted_ = 0;    // candidates of a shown list counted for progress
    std::uint64_t count_ = 0;
    QDateTime start_;
};
