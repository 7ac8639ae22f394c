#pragma once

#include <X11/Xlib.h>
#include <gdk/gdk.h>

#include "behaviour/desktop_layout.h"

namespace tavo {

// Whether a full-screen window is in front on the monitor under the centre
// of `area`. With a window manager: the active window (_NET_ACTIVE_WINDOW)
// when it is full-screen (_NET_WM_STATE_FULLSCREEN) or covers that monitor.
// Without one: any mapped top-level window that covers it. The mascot's own
// window (`own`) never counts.
bool fullScreenWindowOn(GdkDisplay* display, const ScreenRect& area, Window own);

}  // namespace tavo
