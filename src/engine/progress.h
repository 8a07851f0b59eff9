#pragma once

#include <algorithm>
#include <cstdint>

#include "ui/form1.h"

// subProgress in parts, so that the engine's loop can count its calls inline.
namespace progress {

inline constexpr double kMaxCallsBetweenUpdates = 100000;

// Sets up pc for a range larger than any before in this command.
void startRange(Form1 &form, double lim);
// The labels, confidence and Quick Test limit of an update point.
void showUpdate(Form1 &form, double d, double lim, const QDateTime &start);

// One call: two comparisons and an increment, unless it is an update point.
inline void onCall(Form1 &form, double d, double lim, const QDateTime &start)
{
    if (lim > form.lastlimit)
        startRange(form, lim);
    if (form.pc == 0)
        return;
    form.nct += 1;
    if (form.nct == kMaxCallsBetweenUpdates || form.nct == form.pc) [[unlikely]]
        showUpdate(form, d, lim, start);
}

// subProgress for a loop that calls it once per pass with the same lim, when
// nothing else calls it in between. The calls up to the next update point do
// nothing but add 1 to nct, so they are only counted down; nct catches up when the next genuine call is made and in
// sync(), which the loop calls before running code that may call subProgress itself.
//
// A loop that jumps over long runs of passes also leaps over the update
// points among them (see leap()); one that scans stops at every one.
class PassCounter {
public:
    PassCounter(Form1 &form, double lim, const QDateTime &start, bool leaps = false)
        : form_(form), lim_(lim), start_(start), leaps_(leaps)
    {
    }
    ~PassCounter() { sync(); }
    PassCounter(const PassCounter &) = delete;
    PassCounter &operator=(const PassCounter &) = delete;

    void onPass(double d)
    {
        if (--callsLeft_ > 0) [[likely]]
            return;
        genuineCall(d);
    }
    // Passes from now on before the next genuine call; skip() passes over
    // fewer than that at once.
    std::uint64_t passesBeforeCall() const { return static_cast<std::uint64_t>(callsLeft_ - 1); }
    void skip(std::uint64_t passes) { callsLeft_ -= static_cast<std::int64_t>(passes); }
    // Goes over passes before the loop's next finding, `passes` of them at
    // most, and returns how many: all when the loop leaps, otherwise those
    // before the next genuine call, which the loop then makes itself.
    template <class Reach>
    std::uint64_t advance(std::uint64_t passes, const Reach &reach)
    {
        if (leaps_) {
            leap(passes, reach);
            return passes;
        }
        const std::uint64_t upToCall = std::min(passes, passesBeforeCall());
        skip(upToCall);
        return upToCall;
    }
    // Passes over `passes` passes, any number, making of the genuine calls
    // among them only the last: with nothing between them but counting, it
    // writes what all of them would have left in the labels. Only for loops
    // that the calls cannot stop (no Quick Test). reach(k) brings the loop
    // to the k-th of these passes, just before the call, and gives its divisor.
    template <class Reach>
    void leap(std::uint64_t passes, const Reach &reach)
    {
        std::uint64_t done = 0;
        if (passes > 0 && passesBeforeCall() == 0) {
            // The loop's first call may set up the range, and with it the period.
            genuineCall(reach(0));
            done = 1;
        }
        const std::uint64_t firstCall = done + passesBeforeCall();
        if (passes <= firstCall) {
            skip(passes - done);
            return;
        }
        // From the first call on there is one every `period` calls, nct
        // starting from 0 after each.
        const auto period = static_cast<std::uint64_t>(std::min(form_.pc, kMaxCallsBetweenUpdates));
        const std::uint64_t lastCall = firstCall + (passes - 1 - firstCall) / period * period;
        if (lastCall == firstCall) {
            skip(firstCall - done);
        } else {
            form_.nct = static_cast<double>(period - 1);
            window_ = callsLeft_ = 1;
        }
        genuineCall(reach(lastCall));
        skip(passes - lastCall - 1);
    }
    // Brings nct up to date; the next call is then a genuine one.
    void sync()
    {
        catchUp(window_ - callsLeft_);
        window_ = callsLeft_ = 1;
    }

private:
    // All inline, so that the counter can live in registers.
    void catchUp(std::int64_t skippedCalls)
    {
        if (skippedCalls > 0 && form_.pc != 0)
            form_.nct += static_cast<double>(skippedCalls);
    }
    void genuineCall(double d)
    {
        catchUp(window_ - 1);
        onCall(form_, d, lim_, start_);
        window_ = callsLeft_ = callsToNextUpdate();
    }
    // With lim no longer above lastlimit, pc stays as it is and every call
    // adds 1 to nct until it reaches 100000 or pc.
    std::int64_t callsToNextUpdate() const
    {
        constexpr std::int64_t kNever = std::int64_t(1) << 62;
        if (form_.pc == 0)
            return kNever;
        std::int64_t calls = kNever;
        for (const double target : {kMaxCallsBetweenUpdates, form_.pc}) {
            const double ahead = target - form_.nct;
            if (ahead >= 1 && ahead < static_cast<double>(calls))
                calls = static_cast<std::int64_t>(ahead);
        }
        return calls;
    }

    Form1 &form_;
    const double lim_;
    const QDateTime &start_;
    const bool leaps_;
    // Calls in the current window, and calls left before its genuine call.
    std::int64_t window_ = 1;
    std::int64_t callsLeft_ = 1;
};

}  // namespace progress
