#include "engine/event_pump.h"

#include <QCoreApplication>

void EventPump::pumpNow()
{
    QCoreApplication::processEvents();
    last_ = std::chrono::steady_clock::now();
}
