#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <functional>

// The window's status line on a terminal while a report or a list takes
// long: shown on standard error once a run has lasted half a second,
// rewritten in place at most four times a second, erased before anything
// else is written there. Off when standard error is not a terminal, or when
// standard output shares it while lines stream out.
class TerminalProgress {
public:
    explicit TerminalProgress(std::function<QString()> status);
    ~TerminalProgress() { erase(); }

    // A run begins: its clock starts from now.
    void begin();
    // The line is taken away and stays away until the next begin().
    void erase();
    static bool enabled();

private:
    void show();

    std::function<QString()> status_;
    QTimer ticker_;
    QElapsedTimer running_;
    QString shown_;
    bool visible_ = false;
};
