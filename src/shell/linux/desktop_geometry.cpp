#include "shell/linux/desktop_geometry.h"

namespace tavo {

namespace {

GdkMonitor* primaryMonitor(GdkDisplay* display) {
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    return monitor != nullptr ? monitor : gdk_display_get_monitor(display, 0);
}

}  // namespace

CursorPosition DesktopGeometry::cursor() const {
    CursorPosition position;
    GdkSeat* seat = gdk_display_get_default_seat(display_);
    GdkDevice* pointer = seat != nullptr ? gdk_seat_get_pointer(seat) : nullptr;
    if (pointer != nullptr) {
        gint x = 0;
        gint y = 0;
        gdk_device_get_position(pointer, nullptr, &x, &y);
        position.x = x;
        position.y = y;
    }
    return position;
}

DesktopLayout DesktopGeometry::readLayout() const {
    DesktopLayout layout;
    GdkMonitor* primary = primaryMonitor(display_);
    if (primary == nullptr) return layout;
    GdkRectangle area;
    gdk_monitor_get_workarea(primary, &area);
    const int count = gdk_display_get_n_monitors(display_);
    if (count <= 1) return DesktopLayout::singleScreen(area.width, area.height);
    layout.add({area.x, area.y, area.width, area.height});
    for (int i = 0; i < count; ++i) {
        GdkMonitor* monitor = gdk_display_get_monitor(display_, i);
        if (monitor == nullptr || monitor == primary) continue;
        gdk_monitor_get_workarea(monitor, &area);
        layout.add({area.x, area.y, area.width, area.height});
    }
    return layout;
}

const DesktopLayout& DesktopGeometry::desktopLayout(uint32_t nowMs) {
    if (watch_.pollDue(nowMs)) watch_.offer(readLayout(), nowMs);
    return watch_.current();
}

}  // namespace tavo
