#include "shell/linux/mascot_window.h"

#include <cstring>

namespace tavo {

namespace {

// Adds the runs of opaque pixels (alpha of 128 or more) of one row of B, G,
// R, A pixels as one-pixel-high rectangles at row y.
void appendOpaqueRuns(const uint8_t* row, int32_t width, int32_t y, std::vector<cairo_rectangle_int_t>& runs) {
    int32_t x = 0;
    while (x < width) {
        while (x < width && row[x * 4 + 3] < 128) ++x;
        const int32_t start = x;
        while (x < width && row[x * 4 + 3] >= 128) ++x;
        if (x > start) runs.push_back({start, y, x - start, 1});
    }
}

bool sameRuns(const std::vector<cairo_rectangle_int_t>& a, const std::vector<cairo_rectangle_int_t>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(cairo_rectangle_int_t)) == 0;
}

}  // namespace

MascotWindow::MascotWindow(int32_t width, int32_t height, Listener& listener)
    : width_(width), height_(height), listener_(listener) {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(window_);
    gtk_window_set_title(window, "Tavo_3D");
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_resizable(window, FALSE);
    gtk_widget_set_size_request(window_, width, height);
    gtk_window_set_default_size(window, width, height);
    gtk_window_set_keep_above(window, TRUE);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    gtk_window_set_skip_pager_hint(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_UTILITY);
    gtk_window_set_accept_focus(window, FALSE);
    gtk_window_set_focus_on_map(window, FALSE);
    gtk_widget_set_app_paintable(window_, TRUE);

    GdkScreen* screen = gtk_widget_get_screen(window_);
    if (GdkVisual* rgba = gdk_screen_get_rgba_visual(screen)) {
        gtk_widget_set_visual(window_, rgba);
    }
    gtk_widget_add_events(window_, GDK_BUTTON_PRESS_MASK);
    g_signal_connect(window_, "draw", G_CALLBACK(onDraw), this);
    g_signal_connect(window_, "button-press-event", G_CALLBACK(onButtonPress), this);
    g_signal_connect(window_, "delete-event", G_CALLBACK(onDelete), this);
    compositedHandler_ = g_signal_connect(screen, "composited-changed", G_CALLBACK(onCompositedChanged), this);

    picture_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    figure_ = cairo_region_create();
}

MascotWindow::~MascotWindow() {
    g_signal_handler_disconnect(gtk_widget_get_screen(window_), compositedHandler_);
    gtk_widget_destroy(window_);
    cairo_region_destroy(figure_);
    cairo_surface_destroy(picture_);
}

GdkDisplay* MascotWindow::display() const { return gtk_widget_get_display(window_); }

void MascotWindow::present(const uint8_t* pixels, WindowPosition position) {
    previousRuns_.swap(runs_);
    copyPicture(pixels);
    if (!shown_ || !sameRuns(runs_, previousRuns_)) {
        applyShape();
    }
    if (!shown_ || position.x != position_.x || position.y != position_.y) {
        gtk_window_move(GTK_WINDOW(window_), position.x, position.y);
        position_ = position;
    }
    if (!shown_) {
        gtk_widget_show(window_);
        shown_ = true;
    }
    gtk_widget_queue_draw(window_);
}

// cairo keeps rows top-down: the surface's bottom row becomes the first.
// The opaque runs of each row are collected on the way.
void MascotWindow::copyPicture(const uint8_t* pixels) {
    cairo_surface_flush(picture_);
    uint8_t* target = cairo_image_surface_get_data(picture_);
    const int stride = cairo_image_surface_get_stride(picture_);
    const size_t rowBytes = static_cast<size_t>(width_) * 4;
    runs_.clear();
    for (int32_t y = 0; y < height_; ++y) {
        const uint8_t* source = pixels + static_cast<size_t>(height_ - 1 - y) * rowBytes;
        std::memcpy(target + static_cast<size_t>(y) * stride, source, rowBytes);
        appendOpaqueRuns(source, width_, y, runs_);
    }
    cairo_surface_mark_dirty(picture_);
}

// Clicks pass through transparent pixels; without a compositing manager the
// window's own outline follows the figure too.
void MascotWindow::applyShape() {
    cairo_region_destroy(figure_);
    figure_ = cairo_region_create_rectangles(runs_.data(), static_cast<int>(runs_.size()));
    gtk_widget_input_shape_combine_region(window_, figure_);
    const bool composited = gdk_screen_is_composited(gtk_widget_get_screen(window_));
    gtk_widget_shape_combine_region(window_, composited ? nullptr : figure_);
}

gboolean MascotWindow::onDraw(GtkWidget*, cairo_t* cr, gpointer self) {
    MascotWindow* window = static_cast<MascotWindow*>(self);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, window->picture_, 0, 0);
    cairo_paint(cr);
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

void MascotWindow::onCompositedChanged(GdkScreen*, gpointer self) {
    MascotWindow* window = static_cast<MascotWindow*>(self);
    if (window->shown_) {
        window->applyShape();
    }
}

}  // namespace tavo
