#include "shell/linux/mascot_window.h"

#include <X11/extensions/shape.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <cstring>

#include "shell/linux/x_picture.h"

namespace tavo {

namespace {

Display* xDisplayOf(GtkWidget* widget) { return GDK_DISPLAY_XDISPLAY(gtk_widget_get_display(widget)); }
Window xWindowOf(GtkWidget* widget) { return GDK_WINDOW_XID(gtk_widget_get_window(widget)); }

// Removes a window's bounding or input shape (the whole window again).
void clearShape(Display* display, Window window, int kind) {
    XShapeCombineMask(display, window, kind, 0, 0, None, ShapeSet);
}

}  // namespace

MascotWindow::MascotWindow(int32_t width, int32_t height, Listener& listener)
    : width_(width), height_(height), listener_(listener) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(window_);
    gtk_window_set_title(window, "Tavo_3D");
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_keep_above(window, TRUE);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    gtk_window_set_skip_pager_hint(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_UTILITY);
    gtk_window_set_accept_focus(window, FALSE);
    gtk_window_set_focus_on_map(window, FALSE);
    gtk_widget_set_app_paintable(window_, TRUE);
    // The picture is put on the window directly; GTK paints nothing under it.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_widget_set_double_buffered(window_, FALSE);
    G_GNUC_END_IGNORE_DEPRECATIONS

    GdkScreen* screen = gtk_widget_get_screen(window_);
    GdkVisual* visual = gdk_screen_get_rgba_visual(screen);
    if (visual != nullptr) {
        gtk_widget_set_visual(window_, visual);
    } else {
        visual = gdk_screen_get_system_visual(screen);
    }
    visual_ = visual;
    requestSize();
    gtk_widget_add_events(window_, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(window_, "draw", G_CALLBACK(onDraw), this);
    g_signal_connect(window_, "button-press-event", G_CALLBACK(onButtonPress), this);
    g_signal_connect(window_, "delete-event", G_CALLBACK(onDelete), this);
    compositedHandler_ = g_signal_connect(screen, "composited-changed", G_CALLBACK(onCompositedChanged), this);

    gtk_widget_realize(window_);
    Display* display = xDisplayOf(window_);
    // No background: the server leaves uncovered parts alone instead of
    // filling them, and the exposures are answered from the picture.
    XSetWindowBackgroundPixmap(display, xWindowOf(window_), None);
    gdk_window_add_filter(gtk_widget_get_window(window_), filterExpose, this);
    picture_ = std::make_unique<XPicture>(display, GDK_VISUAL_XVISUAL(visual), gdk_visual_get_depth(visual),
                                          width, height);
    composited_ = gdk_screen_is_composited(screen);
}

MascotWindow::~MascotWindow() {
    g_signal_handler_disconnect(gtk_widget_get_screen(window_), compositedHandler_);
    gdk_window_remove_filter(gtk_widget_get_window(window_), filterExpose, this);
    picture_.reset();
    gtk_widget_destroy(window_);
}

GdkDisplay* MascotWindow::display() const { return gtk_widget_get_display(window_); }

Window MascotWindow::xWindow() const { return xWindowOf(window_); }

void MascotWindow::hide() {
    if (!shown_) return;
    gtk_widget_hide(window_);
    shown_ = false;
}

void MascotWindow::requestSize() {
    const int32_t scale = std::max(1, gtk_widget_get_scale_factor(window_));
    const int32_t width = (width_ + scale - 1) / scale;
    const int32_t height = (height_ + scale - 1) / scale;
    gtk_widget_set_size_request(window_, width, height);
    gtk_window_set_default_size(GTK_WINDOW(window_), width, height);
    gtk_window_resize(GTK_WINDOW(window_), width, height);
}

void MascotWindow::resize(int32_t width, int32_t height) {
    if (width == width_ && height == height_) return;
    picture_->waitUntilTaken();
    picture_.reset();
    width_ = width;
    height_ = height;
    requestSize();
    picture_ = std::make_unique<XPicture>(xDisplayOf(window_), GDK_VISUAL_XVISUAL(visual_),
                                          gdk_visual_get_depth(visual_), width, height);
    shape_ = FigureShape();
    previousShape_ = FigureShape();
    shownBox_ = FigureBox();
    reshape_ = true;
}

void MascotWindow::present(const uint8_t* pixels, WindowPosition position) {
    previousShape_.swap(shape_);
    shape_.trace(pixels, width_, height_);
    const FigureBox box = shape_.box();
    // Only where the figure is or was: the rest of the picture stays
    // transparent.
    const FigureBox changed = box.unite(shownBox_);
    picture_->waitUntilTaken();
    copyRows(pixels, changed.y, changed.y + changed.height);
    if (!shown_ || reshape_ || !shape_.sameAs(previousShape_)) {
        applyShape();
        reshape_ = false;
    }
    if (!shown_ || position.x != position_.x || position.y != position_.y) {
        const int32_t scale = std::max(1, gtk_widget_get_scale_factor(window_));
        gtk_window_move(GTK_WINDOW(window_), position.x / scale, position.y / scale);
        position_ = position;
    }
    if (!shown_) {
        gtk_widget_show(window_);
        shown_ = true;
    }
    putPicture(changed);
    shownBox_ = box;
}

// The rows from top to bottom (exclusive, top-down) of the bottom-up
// surface, into the picture.
void MascotWindow::copyRows(const uint8_t* pixels, int32_t top, int32_t bottom) {
    if (!picture_->valid()) {
        return;
    }
    const size_t rowBytes = static_cast<size_t>(width_) * 4;
    for (int32_t y = top; y < bottom; ++y) {
        std::memcpy(picture_->row(y), pixels + static_cast<size_t>(height_ - 1 - y) * rowBytes, rowBytes);
    }
}

void MascotWindow::putPicture(const FigureBox& box) {
    if (!picture_->valid() || box.empty() || !gtk_widget_get_realized(window_)) {
        return;
    }
    Display* display = xDisplayOf(window_);
    lastPutSerial_ = NextRequest(display);
    picture_->put(xWindowOf(window_), box.x, box.y, box.width, box.height);
    XFlush(display);
}

// Clicks pass through transparent pixels. Without a compositing manager the
// window's own outline follows the figure, which limits the input as well;
// with one, only the input shape is needed.
void MascotWindow::applyShape() {
    Display* display = xDisplayOf(window_);
    const Window window = xWindowOf(window_);
    rectangles_.clear();
    for (const ShapeRectangle& r : shape_.rectangles()) {
        rectangles_.push_back({r.x, r.y, r.width, r.height});
    }
    XShapeCombineRectangles(display, window, composited_ ? ShapeInput : ShapeBounding, 0, 0,
                            rectangles_.data(), static_cast<int>(rectangles_.size()), ShapeSet, YXBanded);
}

// Exposures are answered from the picture, once per series; those that the
// last put already covered (made by the shape sent just before it) are
// skipped. GTK never sees them, nor the server's word that it took a put.
GdkFilterReturn MascotWindow::filterExpose(GdkXEvent* xevent, GdkEvent*, gpointer self) {
    MascotWindow* window = static_cast<MascotWindow*>(self);
    const XEvent* event = static_cast<const XEvent*>(xevent);
    if (window->picture_->takeCompletion(*event)) {
        return GDK_FILTER_REMOVE;
    }
    if (event->type != Expose || event->xexpose.window != xWindowOf(window->window_)) {
        return GDK_FILTER_CONTINUE;
    }
    const XExposeEvent& expose = event->xexpose;
    if (expose.serial >= window->lastPutSerial_) {
        window->exposed_ = window->exposed_.unite({expose.x, expose.y, expose.width, expose.height});
    }
    if (expose.count == 0 && !window->exposed_.empty()) {
        const FigureBox exposed = window->exposed_;
        window->exposed_ = FigureBox();
        window->putPicture(exposed);
    }
    return GDK_FILTER_REMOVE;
}

// GTK asks for a picture (for instance when the window is shown): the whole
// picture is put again.
gboolean MascotWindow::onDraw(GtkWidget*, cairo_t*, gpointer self) {
    MascotWindow* window = static_cast<MascotWindow*>(self);
    window->putPicture({0, 0, window->width_, window->height_});
    return TRUE;
}

gboolean MascotWindow::onButtonPress(GtkWidget*, GdkEventButton* event, gpointer self) {
    if (event->type == GDK_BUTTON_PRESS && (event->button == 1 || event->button == 3)) {
        static_cast<MascotWindow*>(self)->listener_.onFigureClicked(reinterpret_cast<GdkEvent*>(event));
    }
    return TRUE;
}

gboolean MascotWindow::onDelete(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<MascotWindow*>(self)->listener_.onCloseRequested();
    return TRUE;  // the program closes the window itself, on its way out
}

// A compositing manager came or went: the shape that is no longer needed
// is removed and the figure's outline sent as the one that is.
void MascotWindow::onCompositedChanged(GdkScreen* screen, gpointer self) {
    MascotWindow* window = static_cast<MascotWindow*>(self);
    window->composited_ = gdk_screen_is_composited(screen);
    clearShape(xDisplayOf(window->window_), xWindowOf(window->window_),
               window->composited_ ? ShapeBounding : ShapeInput);
    if (window->shown_) {
        window->applyShape();
    }
}

}  // namespace tavo
