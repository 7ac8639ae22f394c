#include "shell/linux/desktop_geometry.h"

namespace tavo {

namespace {

const uint32_t kWorkAreaLifetimeMs = 1000;

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

ScreenSize DesktopGeometry::screenSize(uint32_t nowMs) {
    if (lookedUp_ && nowMs - lookedUpAtMs_ < kWorkAreaLifetimeMs) {
        return cached_;
    }
    if (GdkMonitor* monitor = primaryMonitor(display_)) {
        GdkRectangle area;
        gdk_monitor_get_workarea(monitor, &area);
        cached_.width = area.width;
        cached_.height = area.height;
    }
    lookedUpAtMs_ = nowMs;
    lookedUp_ = true;
    return cached_;
}

}  // namespace tavo
