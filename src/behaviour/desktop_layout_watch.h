#pragma once

#include <cstdint>

#include "behaviour/desktop_layout.h"

namespace tavo {

// Follows the monitors while the program runs. The shell reads the layout
// when a poll is due (a few times a second: notifications of layout changes
// do not come everywhere) and offers what it read. The first layout counts
// at once; a change counts once two polls at least kSettleMs apart have read
// it, since a desktop in the middle of a change briefly reports odd work
// areas. Allocates nothing.
class DesktopLayoutWatch {
public:
    static constexpr uint32_t kPollMs = 250;
    static constexpr uint32_t kSettleMs = 250;

    bool pollDue(uint32_t nowMs) const { return !polled_ || nowMs - polledAtMs_ >= kPollMs; }
    // The system said the layout changed: the next frame reads it.
    void pollSoon() { polled_ = false; }
    void offer(const DesktopLayout& read, uint32_t nowMs);
    const DesktopLayout& current() const { return current_; }

private:
    DesktopLayout current_;
    DesktopLayout pending_;
    uint32_t pendingSinceMs_ = 0;
    uint32_t polledAtMs_ = 0;
    bool polled_ = false;
    bool hasPending_ = false;
};

}  // namespace tavo
