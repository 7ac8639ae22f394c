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

private:
    uint32_t lastFrameTick_ = 0;
    bool resync_ = false;
};

}  // namespace tavo
