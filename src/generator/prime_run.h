#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

#include "engine/event_pump.h"
#include "numeric/uint128.h"

class Form1;
class ListFile;
class QListWidget;

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
    void selectRow(QListWidget *list, int row);
    void flush() override;

private:
    Form1 &form_;
    uint128 candidate_ = 0;
    bool candidatePending_ = false;
    int list1Row_ = -1;
    int lsLMORow_ = -1;
    EventPump::Attachment attachment_;
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
    enum class Verdict { Prime, Composite, Interrupted };

    void start();
    void showBounded();
    void showOpenEnded();
    // Each tests one candidate of a shown list or of the file; false when
    // the run is to stop.
    bool showNext(uint128 candidate);
    bool saveNext(ListFile &file, uint128 candidate);
    void endDisplayedRun();
    void saveToFile(ListFile &file);
    void saveBounded(ListFile &file, uint128 limit);
    void saveOpenEnded(ListFile &file);
    void endRun(ListFile &file, const std::optional<QString> &failure);

    bool confirm(const QString &question);
    Verdict test(uint128 candidate);
    uint128 firstCandidateAbove() const { return number_ % 2 == 0 ? number_ + 1 : number_ + 2; }
    uint128 noteInterval(uint128 prime);
    void setBase(uint128 prime);
    void showPrime(uint128 prime);
    void savePrime(ListFile &file, uint128 prime);
    void followNewEntry(QListWidget *list);
    void offerToViewer(const QString &path, const QString &fileName);

    Form1 &form_;
    const bool toFile_;
    const bool openEnded_;
    DeferredView view_;
    QString entryText_;
    uint128 number_ = 0;
    uint128 base_ = 0;  // the interval base, mirrored in Form1::lcn
    std::uint64_t count_ = 0;
    QDateTime start_;
};
