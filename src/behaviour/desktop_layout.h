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
// in screen coordinates, the primary first, with the monitor's scale (100 for
// 96 DPI, 150 for 144 DPI). Other monitors may lie left of or above it
// (negative coordinates), touch it or leave gaps. A layout holds at most
// kMaxMonitors and never allocates; empty rectangles are left out.
class DesktopLayout {
public:
    static constexpr int32_t kMaxMonitors = 16;
    static constexpr int32_t kNormalScale = 100;

    DesktopLayout() = default;
    // One screen of the given size at the origin: the whole desktop of a
    // machine with one monitor.
    static DesktopLayout singleScreen(int32_t width, int32_t height, int32_t scalePercent = kNormalScale);

    // Adds a monitor after the others; false (nothing added) when it is
    // empty or the layout is full. A scale below 1 counts as 100.
    bool add(const ScreenRect& area, int32_t scalePercent = kNormalScale);

    int32_t count() const { return count_; }
    const ScreenRect& monitor(int32_t index) const { return monitors_[static_cast<size_t>(index)]; }
    // In per cent: the size things are drawn at there by default.
    int32_t scalePercent(int32_t index) const { return scales_[static_cast<size_t>(index)]; }
    bool operator==(const DesktopLayout& other) const;
    bool operator!=(const DesktopLayout& other) const { return !(*this == other); }

    // The monitor under a point, -1 when none.
    int32_t monitorAt(int32_t x, int32_t y) const;
    // The monitor a window belongs to: the one under its centre, else the
    // one it overlaps most, else the nearest to its centre; -1 for an empty
    // layout.
    int32_t monitorOf(const ScreenRect& window) const;

    // The way a window leaves a monitor.
    enum class Side { Rightward, Leftward, Downward, Upward };

    // The monitor that touches `from` on that side and spans `across` (a
    // coordinate of the other axis); -1 when none.
    int32_t neighbour(int32_t from, Side side, int32_t across) const;
    // Where a window that leaves monitor `from` on that side past an edge no
    // monitor touches comes back, along the row (or column) through
    // `across`: the nearest monitor further that way that spans it, else the
    // farthest one the other way (the desktop wraps round), else `from`.
    int32_t nextMonitor(int32_t from, Side side, int32_t across) const;

private:
    std::array<ScreenRect, kMaxMonitors> monitors_{};
    std::array<int32_t, kMaxMonitors> scales_{};
    int32_t count_ = 0;
};

}  // namespace tavo
