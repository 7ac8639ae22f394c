#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavo {

// A rectangle of the desktop in screen pixels; right and bottom are one past
// the last pixel.
struct ScreenRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    int32_t right() const { return x + width; }
    int32_t bottom() const { return y + height; }
    bool contains(int32_t px, int32_t py) const { return px >= x && px < right() && py >= y && py < bottom(); }
    bool overlaps(const ScreenRect& other) const {
        return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
    }
    bool operator==(const ScreenRect& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

// The areas the mascot walks over: one rectangle per monitor (its work area)
// in screen coordinates, the primary first. Other monitors may lie left of or
// above it (negative coordinates), touch it or leave gaps. A layout holds at
// most kMaxMonitors and never allocates; empty rectangles are left out.
class DesktopLayout {
public:
    static constexpr int32_t kMaxMonitors = 16;

    DesktopLayout() = default;
    // One screen of the given size at the origin: the whole desktop of a
    // machine with one monitor.
    static DesktopLayout singleScreen(int32_t width, int32_t height);

    // Adds a monitor after the others; false (nothing added) when it is
    // empty or the layout is full.
    bool add(const ScreenRect& area);

    int32_t count() const { return count_; }
    const ScreenRect& monitor(int32_t index) const { return monitors_[static_cast<size_t>(index)]; }
    bool operator==(const DesktopLayout& other) const;
    bool operator!=(const DesktopLayout& other) const { return !(*this == other); }

    // The monitor under a point, -1 when none.
    int32_t monitorAt(int32_t x, int32_t y) const;
    // The monitor a window belongs to: the one under its centre, else the
    // one it overlaps most, else the nearest to its centre; -1 for an empty
    // layout.
    int32_t monitorOf(const ScreenRect& window) const;

    // The monitor that touches `from` on its right (left, bottom, top) edge
    // and spans the given coordinate of the other axis; -1 when none.
    int32_t rightNeighbour(int32_t from, int32_t atY) const;
    int32_t leftNeighbour(int32_t from, int32_t atY) const;
    int32_t lowerNeighbour(int32_t from, int32_t atX) const;
    int32_t upperNeighbour(int32_t from, int32_t atX) const;

    // Where a window that leaves monitor `from` past an edge no monitor
    // touches comes back, along the row (or column) through `across`: the
    // nearest monitor further that way that spans it, else the farthest one
    // the other way (the desktop wraps round), else `from` itself.
    int32_t nextRightward(int32_t from, int32_t acrossY) const;
    int32_t nextLeftward(int32_t from, int32_t acrossY) const;
    int32_t nextDownward(int32_t from, int32_t acrossX) const;
    int32_t nextUpward(int32_t from, int32_t acrossX) const;

private:
    std::array<ScreenRect, kMaxMonitors> monitors_{};
    int32_t count_ = 0;
};

}  // namespace tavo
