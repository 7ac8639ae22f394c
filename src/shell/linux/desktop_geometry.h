#pragma once

#include <gdk/gdk.h>

#include <cstdint>

#include "behaviour/desktop_layout_watch.h"
#include "behaviour/mascot_state.h"
#include "session/mascot_host.h"

namespace tavo {

// GTK's pixels on X are the screen's own divided by this (GDK_SCALE, the
// desktop's window scaling); the session works in the screen's own.
int32_t deviceScale(GdkDisplay* display);

// What a frame step reads from the desktop: the pointer position in screen
// coordinates (the screen's own pixels) and the monitors the mascot walks over (their work areas, the
// primary first; one monitor is its work area's size at the origin), read
// again a few times a second and taken once they have settled.
class DesktopGeometry {
public:
    explicit DesktopGeometry(GdkDisplay* display) : display_(display) {}

    CursorPosition cursor() const;
    const DesktopLayout& desktopLayout(uint32_t nowMs);

private:
    DesktopLayout readLayout() const;

    GdkDisplay* display_;
    DesktopLayoutWatch watch_;
};

}  // namespace tavo
