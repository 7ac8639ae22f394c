#pragma once

#include <gdk/gdk.h>

#include <cstdint>

#include "behaviour/mascot_state.h"
#include "session/mascot_host.h"

namespace tavo {

// What a frame step reads from the desktop: the pointer position in screen
// coordinates and the size of the area the mascot walks in (the primary
// monitor's work area, looked up again at most once a second since panels
// rarely change).
class DesktopGeometry {
public:
    explicit DesktopGeometry(GdkDisplay* display) : display_(display) {}

    CursorPosition cursor() const;
    ScreenSize screenSize(uint32_t nowMs);

private:
    GdkDisplay* display_;
    ScreenSize cached_;
    uint32_t lookedUpAtMs_ = 0;
    bool lookedUp_ = false;
};

}  // namespace tavo
