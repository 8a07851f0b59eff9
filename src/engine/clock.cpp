#include "engine/clock.h"

#include <chrono>

namespace {

std::function<QDateTime()> &source()
{
    static std::function<QDateTime()> s;
    return s;
}

QDateTime wholeSeconds(QDateTime t)
{
    const QTime tod = t.time();
    t.setTime(QTime(tod.hour(), tod.minute(), tod.second()));
    return t;
}

// Reading the local time costs time-zone lookups of some microseconds, and a
// long loop asks for it hundreds of times a second: a reading serves until
// the next second begins.
QDateTime systemNow()
{
    using Steady = std::chrono::steady_clock;
    static QDateTime reading;
    static Steady::time_point nextSecond{};
    const Steady::time_point at = Steady::now();
    if (at < nextSecond)
        return reading;
    const QDateTime t = QDateTime::currentDateTime();
    nextSecond = at + std::chrono::milliseconds(1000 - t.time().msec());
    reading = wholeSeconds(t);
    return reading;
}

}  // namespace

namespace zclock {
QDateTime now() { return source() ? wholeSeconds(source()()) : systemNow(); }
void setSource(std::function<QDateTime()> s) { source() = std::move(s); }
void resetSource() { source() = nullptr; }

qint64 secondsSince(const QDateTime &start)
{
    // Comparing is cheap, the difference is not: it converts both to UTC.
    static QDateTime lastStart;
    static QDateTime lastNow;
    static qint64 lastSeconds = 0;
    const QDateTime current = now();
    if (current != lastNow || start != lastStart) {
        lastSeconds = start.secsTo(current);
        lastStart = start;
        lastNow = current;
    }
    return lastSeconds;
}
}  // namespace zclock
