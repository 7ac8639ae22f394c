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

using Side = DesktopLayout::Side;

// Whether a monitor spans a coordinate of the axis across the way out.
bool spansAcross(const ScreenRect& area, Side side, int32_t across) {
    const bool sideways = side == Side::Rightward || side == Side::Leftward;
    return sideways ? spans(area.y, area.bottom(), across) : spans(area.x, area.right(), across);
}

// How far `other` begins beyond `from`'s edge on that side: 0 where they
// touch, negative where it does not lie that way.
int64_t distanceAhead(const ScreenRect& from, const ScreenRect& other, Side side) {
    switch (side) {
    case Side::Rightward: return int64_t{other.x} - from.right();
    case Side::Leftward: return int64_t{from.x} - other.right();
    case Side::Downward: return int64_t{other.y} - from.bottom();
    case Side::Upward: return int64_t{from.y} - other.bottom();
    }
    return -1;
}

// How far back against that way a monitor lies: the largest is where a
// window that leaves the desktop's last monitor comes back.
int64_t farBack(const ScreenRect& area, Side side) {
    switch (side) {
    case Side::Rightward: return -int64_t{area.x};
    case Side::Leftward: return area.right();
    case Side::Downward: return -int64_t{area.y};
    case Side::Upward: return area.bottom();
    }
    return 0;
}

}  // namespace

DesktopLayout DesktopLayout::singleScreen(int32_t width, int32_t height, int32_t scalePercent) {
    DesktopLayout layout;
    layout.add({0, 0, width, height}, scalePercent);
    return layout;
}

bool DesktopLayout::add(const ScreenRect& area, int32_t scalePercent) {
    if (area.width <= 0 || area.height <= 0 || count_ >= kMaxMonitors) return false;
    scales_[static_cast<size_t>(count_)] = scalePercent > 0 ? scalePercent : kNormalScale;
    monitors_[static_cast<size_t>(count_++)] = area;
    return true;
}

bool DesktopLayout::operator==(const DesktopLayout& other) const {
    return count_ == other.count_ && std::equal(monitors_.begin(), monitors_.begin() + count_, other.monitors_.begin()) &&
           std::equal(scales_.begin(), scales_.begin() + count_, other.scales_.begin());
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

int32_t DesktopLayout::neighbour(int32_t from, Side side, int32_t across) const {
    for (int32_t i = 0; i < count_; ++i) {
        if (i != from && spansAcross(monitor(i), side, across) && distanceAhead(monitor(from), monitor(i), side) == 0) {
            return i;
        }
    }
    return -1;
}

int32_t DesktopLayout::nextMonitor(int32_t from, Side side, int32_t across) const {
    int32_t ahead = -1, wrap = -1;
    for (int32_t i = 0; i < count_; ++i) {
        const ScreenRect& other = monitor(i);
        if (!spansAcross(other, side, across)) continue;
        const int64_t distance = distanceAhead(monitor(from), other, side);
        if (distance >= 0 && (ahead < 0 || distance < distanceAhead(monitor(from), monitor(ahead), side))) ahead = i;
        if (wrap < 0 || farBack(other, side) > farBack(monitor(wrap), side)) wrap = i;
    }
    return ahead >= 0 ? ahead : wrap >= 0 ? wrap : from;
}

}  // namespace tavo
