#include "engine/event_pump.h"

#include <QCoreApplication>
#include <algorithm>

EventPump::Attachment::Attachment(EventPump &pump, DeferredDisplay &display) : pump_(pump), display_(display)
{
    pump_.displays_.push_back(&display_);
}

EventPump::Attachment::~Attachment()
{
    auto &displays = pump_.displays_;
    displays.erase(std::remove(displays.begin(), displays.end(), &display_), displays.end());
}

void EventPump::pumpNow()
{
    for (DeferredDisplay *display : displays_)
        display->flush();
    QCoreApplication::processEvents();
    last_ = std::chrono::steady_clock::now();
}
