#include "shell/linux/full_screen_window.h"

#include <X11/Xatom.h>
#include <gdk/gdkx.h>

#include "shell/linux/desktop_geometry.h"

namespace tavo {

namespace {

// The first value of a window property of 32-bit items, or 0.
unsigned long windowProperty(Display* x, Window window, const char* name, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    unsigned long value = 0;
    if (XGetWindowProperty(x, window, XInternAtom(x, name, False), 0, 1, False, type, &actualType, &format,
                           &count, &left, &data) == Success &&
        data != nullptr && format == 32 && count > 0) {
        value = reinterpret_cast<unsigned long*>(data)[0];
    }
    if (data != nullptr) XFree(data);
    return value;
}

bool hasState(Display* x, Window window, Atom wanted) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(x, window, XInternAtom(x, "_NET_WM_STATE", False), 0, 64, False, XA_ATOM, &actualType,
                           &format, &count, &left, &data) == Success &&
        data != nullptr && format == 32) {
        const Atom* states = reinterpret_cast<Atom*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) found = states[i] == wanted;
    }
    if (data != nullptr) XFree(data);
    return found;
}

// The window's outer rectangle (its border counted) in root coordinates;
// false when it is not viewable.
bool viewableRect(Display* x, Window window, ScreenRect& rect) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x, window, &attributes) || attributes.map_state != IsViewable) return false;
    int rootX = 0, rootY = 0;
    Window child = None;
    XTranslateCoordinates(x, window, attributes.root, 0, 0, &rootX, &rootY, &child);
    const int border = attributes.border_width;
    rect = {rootX - border, rootY - border, attributes.width + 2 * border, attributes.height + 2 * border};
    return true;
}

bool covers(const ScreenRect& rect, const ScreenRect& monitor) {
    return rect.x <= monitor.x && rect.y <= monitor.y && rect.right() >= monitor.right() &&
           rect.bottom() >= monitor.bottom();
}

// In the screen's own pixels, as X gives the windows' rectangles.
ScreenRect monitorUnder(GdkDisplay* display, const ScreenRect& area) {
    const int32_t scale = deviceScale(display);
    GdkMonitor* monitor = gdk_display_get_monitor_at_point(display, (area.x + area.width / 2) / scale,
                                                           (area.y + area.height / 2) / scale);
    GdkRectangle geometry{0, 0, 0, 0};
    if (monitor != nullptr) gdk_monitor_get_geometry(monitor, &geometry);
    return {geometry.x * scale, geometry.y * scale, geometry.width * scale, geometry.height * scale};
}

// A window manager is running when the root names a check window that
// names itself (a manager that has gone may leave the root's property).
bool windowManagerRunning(Display* x, Window root) {
    const Window check = windowProperty(x, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    return check != None && windowProperty(x, check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) == check;
}

bool frontWindowCovers(Display* x, const ScreenRect& monitor, Window own) {
    const Window root = DefaultRootWindow(x);
    ScreenRect rect;
    if (windowManagerRunning(x, root)) {
        const Window active = windowProperty(x, root, "_NET_ACTIVE_WINDOW", XA_WINDOW);
        if (active == None || active == own || !viewableRect(x, active, rect)) return false;
        const bool onMonitor = monitor.contains(rect.x + rect.width / 2, rect.y + rect.height / 2);
        const bool fullScreen = hasState(x, active, XInternAtom(x, "_NET_WM_STATE_FULLSCREEN", False));
        return onMonitor && (fullScreen || covers(rect, monitor));
    }
    // No window manager: the top-level windows are the root's children.
    Window rootReturn = None, parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    bool found = false;
    if (XQueryTree(x, root, &rootReturn, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i) {
            if (children[i] == own) continue;
            XWindowAttributes attributes;
            if (XGetWindowAttributes(x, children[i], &attributes) && attributes.override_redirect) continue;
            found = viewableRect(x, children[i], rect) && covers(rect, monitor);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

}  // namespace

// Windows may go away while they are looked at: the errors that brings are
// trapped, and such a window covers nothing.
bool fullScreenWindowOn(GdkDisplay* display, const ScreenRect& area, Window own) {
    if (!GDK_IS_X11_DISPLAY(display)) return false;
    const ScreenRect monitor = monitorUnder(display, area);
    if (monitor.width <= 0) return false;
    gdk_x11_display_error_trap_push(display);
    const bool covered = frontWindowCovers(GDK_DISPLAY_XDISPLAY(display), monitor, own);
    const bool failed = gdk_x11_display_error_trap_pop(display) != 0;
    return covered && !failed;
}

}  // namespace tavo
