#include "shell/linux/desktop_geometry.h"

#include <algorithm>

namespace tavo {

namespace {

GdkMonitor* primaryMonitor(GdkDisplay* display) {
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    return monitor != nullptr ? monitor : gdk_display_get_monitor(display, 0);
}

// A monitor's work area in the screen's own pixels (GDK gives its own,
// which are those divided by the scale).
ScreenRect deviceWorkArea(GdkMonitor* monitor) {
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    const int32_t scale = std::max(1, gdk_monitor_get_scale_factor(monitor));
    return {area.x * scale, area.y * scale, area.width * scale, area.height * scale};
}

int32_t scalePercentOf(GdkMonitor* monitor) { return std::max(1, gdk_monitor_get_scale_factor(monitor)) * 100; }

}  // namespace

int32_t deviceScale(GdkDisplay* display) {
    GdkMonitor* primary = primaryMonitor(display);
    return primary != nullptr ? std::max(1, gdk_monitor_get_scale_factor(primary)) : 1;
}

CursorPosition DesktopGeometry::cursor() const {
    CursorPosition position;
    GdkSeat* seat = gdk_display_get_default_seat(display_);
    GdkDevice* pointer = seat != nullptr ? gdk_seat_get_pointer(seat) : nullptr;
    if (pointer != nullptr) {
        gint x = 0;
        gint y = 0;
        gdk_device_get_position(pointer, nullptr, &x, &y);
        const int32_t scale = deviceScale(display_);
        position.x = x * scale;
        position.y = y * scale;
    }
    return position;
}

DesktopLayout DesktopGeometry::readLayout() const {
    DesktopLayout layout;
    GdkMonitor* primary = primaryMonitor(display_);
    if (primary == nullptr) return layout;
    const ScreenRect area = deviceWorkArea(primary);
    const int count = gdk_display_get_n_monitors(display_);
    if (count <= 1) return DesktopLayout::singleScreen(area.width, area.height, scalePercentOf(primary));
    layout.add(area, scalePercentOf(primary));
    for (int i = 0; i < count; ++i) {
        GdkMonitor* monitor = gdk_display_get_monitor(display_, i);
        if (monitor == nullptr || monitor == primary) continue;
        layout.add(deviceWorkArea(monitor), scalePercentOf(monitor));
    }
    return layout;
}

const DesktopLayout& DesktopGeometry::desktopLayout(uint32_t nowMs) {
    if (watch_.pollDue(nowMs)) watch_.offer(readLayout(), nowMs);
    return watch_.current();
}

}  // namespace tavo
