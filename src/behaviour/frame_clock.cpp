#include "behaviour/frame_clock.h"

namespace tavo {

bool FrameClock::stepDue(uint32_t nowMs, int32_t frameIntervalMs) {
    if (resync_) {
        lastFrameTick_ = nowMs;
        resync_ = false;
    }
    // Compared as a signed elapsed time so that the tick counter wrapping
    // around (every 49.7 days) does not look like a huge backlog of missed
    // steps, and a clock that stands ahead of now simply waits.
    const int32_t elapsed = static_cast<int32_t>(nowMs - lastFrameTick_);
    return elapsed > frameIntervalMs;
}

}  // namespace tavo
