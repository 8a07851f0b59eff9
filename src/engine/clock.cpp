#include "engine/clock.h"

namespace {
std::function<QDateTime()> &source()
{
    static std::function<QDateTime()> s;
    return s;
}
}  // namespace

namespace zclock {
QDateTime now()
{
    QDateTime t = source() ? source()() : QDateTime::currentDateTime();
    QTime tod = t.time();
    t.setTime(QTime(tod.hour(), tod.minute(), tod.second()));
    return t;
}
void setSource(std::function<QDateTime()> s) { source() = std::move(s); }
void resetSource() { source() = nullptr; }
qint64 secondsSince(const QDateTime &start) { return start.secsTo(now()); }
}  // namespace zclock
