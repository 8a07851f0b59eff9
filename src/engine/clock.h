#pragma once

#include <QDateTime>
#include <functional>

// The local clock with whole-second resolution. Tests replace the source.
namespace zclock {
QDateTime now();
void setSource(std::function<QDateTime()> source);
void resetSource();
// Whole seconds from `start` to now.
qint64 secondsSince(const QDateTime &start);
}  // namespace zclock
