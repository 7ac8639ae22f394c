#include "behaviour/desktop_layout.h"

#include <algorithm>

namespace tavo {

namespace {

int64_t overlapArea(const ScreenRect& a, const ScreenRect& b) {
    const int64_t w = std::min(a.right(), b.right()) - std::max(a.x, b.x);
    const int64_t h = std::min(a.bottom(), b.bottom()) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

// Squared distance from a point to the nearest pixel of a rectangle.
int64_t distanceSquared(const ScreenRect& area, int32_t px, int32_t py) {
    const int64_t dx = px < area.x ? area.x - px : px >= area.right() ? px - (area.right() - 1) : 0;
    const int64_t dy = py < area.y ? area.y - py : py >= area.bottom() ? py - (area.bottom() - 1) : 0;
    return dx * dx + dy * dy;
}

bool spans(int32_t low, int32_t high, int32_t value) { return value >= low && value < high; }

}  // namespace

DesktopLayout DesktopLayout::singleScreen(int32_t width, int32_t height) {
    DesktopLayout layout;
    layout.add({0, 0, width, height});
    return layout;
}

bool DesktopLayout::add(const ScreenRect& area) {
    if (area.width <= 0 || area.height <= 0 || count_ >= kMaxMonitors) return false;
    monitors_[static_cast<size_t>(count_++)] = area;
    return true;
}

bool DesktopLayout::operator==(const DesktopLayout& other) const {
    return count_ == other.count_ && std::equal(monitors_.begin(), monitors_.begin() + count_, other.monitors_.begin());
}

int32_t DesktopLayout::monitorAt(int32_t x, int32_t y) const {
    for (int32_t i = 0; i < count_; ++i) {
        if (monitor(i).contains(x, y)) return i;
    }
    return -1;
}

int32_t DesktopLayout::monitorOf(const ScreenRect& window) const {
    const int32_t cx = window.x + window.width / 2;
    const int32_t cy = window.y + window.height / 2;
    const int32_t under = monitorAt(cx, cy);
    if (under >= 0) return under;
    int32_t best = -1;
    int64_t bestOverlap = 0;
    for (int32_t i = 0; i < count_; ++i) {
        const int64_t area = overlapArea(monitor(i), window);
        if (area > bestOverlap) {
            best = i;
            bestOverlap = area;
        }
    }
    if (best >= 0) return best;
    int64_t bestDistance = 0;
    for (int32_t i = 0; i < count_; ++i) {
        const int64_t distance = distanceSquared(monitor(i), cx, cy);
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int32_t DesktopLayout::rightNeighbour(int32_t from, int32_t atY) const {
    for (int32_t i = 0; i < count_; ++i) {
        const ScreenRect& other = monitor(i);
        if (i != from && other.x == monitor(from).right() && spans(other.y, other.bottom(), atY)) return i;
    }
    return -1;
}

int32_t DesktopLayout::leftNeighbour(int32_t from, int32_t atY) const {
    for (int32_t i = 0; i < count_; ++i) {
        const ScreenRect& other = monitor(i);
        if (i != from && other.right() == monitor(from).x && spans(other.y, other.bottom(), atY)) return i;
    }
    return -1;
}

int32_t DesktopLayout::lowerNeighbour(int32_t from, int32_t atX) const {
    for (int32_t i = 0; i < count_; ++i) {
        const ScreenRect& other = monitor(i);
        if (i != from && other.y == monitor(from).bottom() && spans(other.x, other.right(), atX)) return i;
    }
    return -1;
}

int32_t DesktopLayout::upperNeighbour(int32_t from, int32_t atX) const {
    for (int32_t i = 0; i < count_; ++i) {
        const ScreenRect& other = monitor(i);
        if (i != from && other.bottom() == monitor(from).y && spans(other.x, other.right(), atX)) return i;
    }
    return -1;
}

// Along one axis: monitors that span `across` on the other axis, keyed by
// their start on this one. `ahead` is the nearest start past `edge`; `wrap`
// the smallest (or largest) start of all, the far side of the desktop.
int32_t DesktopLayout::nextRightward(int32_t from, int32_t acrossY) const {
    int32_t ahead = -1, wrap = -1;
    for (int32_t i = 0; i < count_; ++i) {
        const ScreenRect& other = monitor(i);
        if (!spans(other.y, other.bottom(), acrossY)) continue;
        if (other.x >= monitor(from).right() && (ahead < 0 || other.x < monitor(ahead).x)) ahead = i;
        if (wrap < 0 || other.x < monitor(wrap).x) wrap = i;
    }
    return ahead >= 0 ? ahead : wrap >= 0 ? wrap : from;
}

int32_t DesktopLayout::nextLeftward(int32_t from, int32_t acrossY) const {
    int32_t ahead = -1, wrap = -1;
    for (int32_t i = 0; i < count_; ++i) {
        const ScreenRect& other = monitor(i);
        if (!spans(other.y, other.bottom(), acrossY)) continue;
        if (other.right() <= monitor(from).x && (ahead < 0 || other.right() > monitor(ahead).right())) ahead = i;
        if (wrap < 0 || other.right() > monitor(wrap).right()) wrap = i;
    }
    return ahead >= 0 ? ahead : wrap >= 0 ? wrap : from;
}

int32_t DesktopLayout::nextDownward(int32_t from, int32_t acrossX) const {
    int32_t ahead = -1, wrap = -1;
    for (int32_t i = 0; i < count_; ++i) {
        const ScreenRect& other = monitor(i);
        if (!spans(other.x, other.right(), acrossX)) continue;
        if (other.y >= monitor(from).bottom() && (ahead < 0 || other.y < monitor(ahead).y)) ahead = i;
        if (wrap < 0 || other.y < monitor(wrap).y) wrap = i;
    }
    return ahead >= 0 ? ahead : wrap >= 0 ? wrap : from;
}

int32_t DesktopLayout::nextUpward(int32_t from, int32_t acrossX) const {
    int32_t ahead = -1, wrap = -1;
    for (int32_t i = 0; i < count_; ++i) {
        const ScreenRect& other = monitor(i);
        if (!spans(other.x, other.right(), acrossX)) continue;
        if (other.bottom() <= monitor(from).y && (ahead < 0 || other.bottom() > monitor(ahead).bottom())) ahead = i;
        if (wrap < 0 || other.bottom() > monitor(wrap).bottom()) wrap = i;
    }
    return ahead >= 0 ? ahead : wrap >= 0 ? wrap : from;
}

}  // namespace tavo
