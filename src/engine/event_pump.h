#pragma once

#include <chrono>

// Lets pending window events run about every 10 ms from inside a long loop.
// maybePump() costs a decrement on most calls and a monotonic clock read every
// kCallsPerClockRead calls; the toolkit's event processing runs only when due.
class EventPump {
public:
    static constexpr int kCallsPerClockRead = 256;
    static constexpr std::chrono::milliseconds kInterval{10};

    void maybePump()
    {
        if (--countdown_ > 0)
            return;
        countdown_ = kCallsPerClockRead;
        if (std::chrono::steady_clock::now() - last_ >= kInterval)
            pumpNow();
    }
    // Repaints and runs pending events at once.
    void pumpNow();

private:
    int countdown_ = kCallsPerClockRead;
    std::chrono::steady_clock::time_point last_{};
};
