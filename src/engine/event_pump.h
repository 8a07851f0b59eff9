#pragma once

#include <chrono>
#include <vector>

// Lets pending window events run about every 10 ms from inside a long loop.
// maybePump() costs a decrement on most calls and a monotonic clock read every
// kCallsPerClockRead calls; the toolkit's event processing runs only when due.
//
// A loop that changes a label on most passes can defer the change: it keeps
// the latest value and writes it in flush(), which the pump calls just before
// the window gets the chance to paint (and the loop itself when it ends).
class EventPump {
public:
    static constexpr int kCallsPerClockRead = 256;
    static constexpr std::chrono::milliseconds kInterval{10};

    class DeferredDisplay {
    public:
        virtual void flush() = 0;

    protected:
        ~DeferredDisplay() = default;
    };

    // Keeps a deferred display attached for its own lifetime.
    class Attachment {
    public:
        Attachment(EventPump &pump, DeferredDisplay &display);
        ~Attachment();
        Attachment(const Attachment &) = delete;
        Attachment &operator=(const Attachment &) = delete;

    private:
        EventPump &pump_;
        DeferredDisplay &display_;
    };

    // The same countdown kept by the loop itself, where it can live in a
    // register: for loops whose passes take a few nanoseconds.
    class Ticker {
    public:
        explicit Ticker(EventPump &pump) : pump_(pump) {}
        void maybePump()
        {
            if (--countdown_ > 0) [[likely]]
                return;
            countdown_ = kCallsPerClockRead;
            if (pump_.intervalPassed())
                pump_.pumpNow();
        }

    private:
        EventPump &pump_;
        int countdown_ = kCallsPerClockRead;
    };

    // True when events are due; a loop that does more before pumping asks this.
    bool due()
    {
        if (--countdown_ > 0)
            return false;
        countdown_ = kCallsPerClockRead;
        return intervalPassed();
    }
    void maybePump()
    {
        if (due())
            pumpNow();
    }
    // Writes the deferred displays, then repaints and runs pending events.
    void pumpNow();
    bool intervalPassed() const { return std::chrono::steady_clock::now() - last_ >= kInterval; }

private:
    int countdown_ = kCallsPerClockRead;
    std::chrono::steady_clock::time_point last_{};
    std::vector<DeferredDisplay *> displays_;
};
