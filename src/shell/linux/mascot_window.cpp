#include "shell/linux/mascot_window.h"

#include <algorithm>
#include <cstring>

namespace tavo {

namespace {

const uint64_t kAlphaHighBits = 0x8000000080000000ull;  // bit 7 of the alpha of two pixels

// Four pixels from x on, as the alpha high bits of two pixel pairs.
void loadFour(const uint8_t* row, int32_t x, uint64_t& first, uint64_t& second) {
    std::memcpy(&first, row + x * 4, 8);
    std::memcpy(&second, row + x * 4 + 8, 8);
    first &= kAlphaHighBits;
    second &= kAlphaHighBits;
}

bool opaque(const uint8_t* row, int32_t x) { return (row[x * 4 + 3] & 0x80) != 0; }

// Adds the runs of opaque pixels (alpha of 128 or more) of one row of B, G,
// R, A pixels as one-pixel-high rectangles at row y. Transparent and opaque
// stretches are crossed four pixels at a time.
void appendOpaqueRuns(const uint8_t* row, int32_t width, int32_t y, std::vector<cairo_rectangle_int_t>& runs) {
    int32_t x = 0;
    uint64_t first = 0;
    uint64_t second = 0;
    while (x < width) {
        while (x + 4 <= width && (loadFour(row, x, first, second), (first | second) == 0)) x += 4;
        while (x < width && !opaque(row, x)) ++x;
        const int32_t start = x;
        while (x + 4 <= width && (loadFour(row, x, first, second), (first & second) == kAlphaHighBits)) x += 4;
        while (x < width && opaque(row, x)) ++x;
        if (x > start) runs.push_back({start, y, x - start, 1});
    }
}

// The smallest rectangle that holds all runs (empty when there are none).
cairo_rectangle_int_t boundingBox(const std::vector<cairo_rectangle_int_t>& runs) {
    if (runs.empty()) {
        return {0, 0, 0, 0};
    }
    int32_t left = runs.front().x;
    int32_t right = runs.front().x + runs.front().width;
    for (const cairo_rectangle_int_t& run : runs) {
        left = std::min(left, run.x);
        right = std::max(right, run.x + run.width);
    }
    const int32_t top = runs.front().y;
    const int32_t bottom = runs.back().y + 1;
    return {left, top, right - left, bottom - top};
}

cairo_rectangle_int_t unite(const cairo_rectangle_int_t& a, const cairo_rectangle_int_t& b) {
    if (a.width == 0 || a.height == 0) return b;
    if (b.width == 0 || b.height == 0) return a;
    const int32_t left = std::min(a.x, b.x);
    const int32_t top = std::min(a.y, b.y);
    const int32_t right = std::max(a.x + a.width, b.x + b.width);
    const int32_t bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
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
    const bool figureChanged = !sameRuns(runs_, previousRuns_);
    if (!shown_ || figureChanged) {
        applyShape();
    }
    if (!shown_ || position.x != position_.x || position.y != position_.y) {
        gtk_window_move(GTK_WINDOW(window_), position.x, position.y);
        position_ = position;
    }
    const cairo_rectangle_int_t box = boundingBox(runs_);
    if (!shown_) {
        gtk_widget_show(window_);
        shown_ = true;
        gtk_widget_queue_draw(window_);
    } else {
        // Only where the figure is or was: the rest stays transparent.
        const cairo_rectangle_int_t changed = unite(box, shownBox_);
        if (changed.width > 0 && changed.height > 0) {
            gtk_widget_queue_draw_area(window_, changed.x, changed.y, changed.width, changed.height);
        }
    }
    shownBox_ = box;
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
