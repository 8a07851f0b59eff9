#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "core/stretch_plan.h"
#include "core/stretch_pool.h"
#include "engine/event_pump.h"

// One stretch of a loop's passes with what the kernel found in it.
struct FedStretch {
    std::uint64_t firstPass;
    std::uint64_t endPass;
    core::StretchResult found;
};

// Feeds a loop on the window's thread with the stretches of its passes in
// order, scanned or jumped on the worker threads (or scanned by the loop's
// own thread when the passes are few or there is one thread and nothing to
// jump). Window events run about every 10 ms, also while the loop waits for a
// stretch; waiting blocks, it does not spin.
class StretchFeed {
public:
    using Scan = core::StretchPool::Scan;

    // letEventsRun: runs pending window events (the pump by default).
    StretchFeed(EventPump &pump, const core::StretchPlan &plan, Scan scan, bool endAtFirstDivisor,
                std::function<void()> letEventsRun = {});

    // The next stretch; empty after the last one, or when `stopped` holds
    // after window events have run.
    std::optional<FedStretch> next(const std::function<bool()> &stopped);
    bool finished() const { return next_ >= plan_.count(); }
    // Stops and joins the workers; the feed gives nothing more.
    void stop()
    {
        pool_.reset();
        next_ = plan_.count();
    }

private:
    bool letEventsRunWhenDue();
    std::optional<core::StretchResult> nextFound();

    EventPump &pump_;
    const core::StretchPlan &plan_;
    Scan scan_;
    std::function<void()> letEventsRun_;
    std::uint64_t next_ = 0;  // the next stretch to hand out
    // Only when the passes are many or may be jumped: a small loop is scanned
    // in place at no cost beyond its divisions, and factorisations never run
    // on the window's thread.
    std::unique_ptr<core::StretchPool> pool_;
};
