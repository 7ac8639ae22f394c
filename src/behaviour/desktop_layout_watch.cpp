#include "behaviour/desktop_layout_watch.h"

namespace tavo {

void DesktopLayoutWatch::offer(const DesktopLayout& read, uint32_t nowMs) {
    const bool first = !polled_;
    polled_ = true;
    polledAtMs_ = nowMs;
    if (first) {
        current_ = read;
        return;
    }
    if (read == current_) {
        hasPending_ = false;
        return;
    }
    if (!hasPending_ || read != pending_) {
        pending_ = read;
        pendingSinceMs_ = nowMs;
        hasPending_ = true;
        return;
    }
    if (nowMs - pendingSinceMs_ >= kSettleMs) {
        current_ = pending_;
        hasPending_ = false;
    }
}

}  // namespace tavo
