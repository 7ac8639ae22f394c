#pragma once

#include <cstdint>

namespace tavo {

// Paces frame steps: a step is due only when strictly more than the interval
// has passed since the last one; the clock advances by the interval, so steps
// missed while busy follow back to back, and a resync starts counting afresh
// (after a modal menu) instead of making up the time.
class FrameClock {
public:
    void start(uint32_t nowMs) { lastFrameTick_ = nowMs; resync_ = false; }
    void requestResync() { resync_ = true; }
    // Called on every idle pass; true when one frame step should run now.
    bool stepDue(uint32_t nowMs, int32_t frameIntervalMs);
    // Called after the step, with the interval read again.
    void advance(int32_t frameIntervalMs) { lastFrameTick_ += static_cast<uint32_t>(frameIntervalMs); }
    // Milliseconds from nowMs until stepDue becomes true (0 when a step is
    // due already), for a loop that sleeps until the next step instead of
    // polling. A pending resync starts the count at nowMs, so the step comes
    // one interval after it and not one interval after the wake-up.
    uint32_t msUntilDue(uint32_t nowMs, int32_t frameIntervalMs) {
        if (resync_) start(nowMs);
        const int64_t elapsed = static_cast<int32_t>(nowMs - lastFrameTick_);
        const int64_t remaining = static_cast<int64_t>(frameIntervalMs) + 1 - elapsed;
        return remaining > 0 ? static_cast<uint32_t>(remaining) : 0u;
    }

private:
    uint32_t lastFrameTick_ = 0;
    bool resync_ = false;
};

}  // namespace tavo
