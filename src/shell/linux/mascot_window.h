#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <vector>

#include "behaviour/mascot_state.h"

namespace tavo {

// The mascot's window: undecorated, kept above, out of the task bar and
// pager, a utility window that never takes focus, with an RGBA visual. It
// shows the colour-keyed surface: transparent pixels let clicks through, and
// when no compositing manager blends the alpha they are cut out of the
// window as well, so only the figure is seen. The window cannot be dragged.
class MascotWindow {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // A left or right click on the figure.
        virtual void onFigureClicked(const GdkEvent* event) = 0;
        // The window manager asks the window to close.
        virtual void onCloseRequested() = 0;
    };

    MascotWindow(int32_t width, int32_t height, Listener& listener);
    ~MascotWindow();
    MascotWindow(const MascotWindow&) = delete;
    MascotWindow& operator=(const MascotWindow&) = delete;

    // Shows a picture of 32-bit B, G, R, A pixels with bottom-up rows, alpha
    // 0 (with zero colour) or 255, at a screen position. The first call maps
    // the window.
    void present(const uint8_t* pixels, WindowPosition position);

    GdkDisplay* display() const;

private:
    void copyPicture(const uint8_t* pixels);
    void applyShape();

    static gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    static gboolean onButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean onDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
    static void onCompositedChanged(GdkScreen* screen, gpointer self);

    int32_t width_;
    int32_t height_;
    Listener& listener_;
    GtkWidget* window_ = nullptr;
    cairo_surface_t* picture_ = nullptr;
    cairo_region_t* figure_ = nullptr;  // the opaque pixels
    // Runs of opaque pixels, row by row (top-down), of the picture shown and
    // of the one before, to rebuild the shape only when the figure changed.
    std::vector<cairo_rectangle_int_t> runs_;
    std::vector<cairo_rectangle_int_t> previousRuns_;
    cairo_rectangle_int_t shownBox_ = {0, 0, 0, 0};  // bounding box of the figure shown
    WindowPosition position_;
    bool shown_ = false;
    gulong compositedHandler_ = 0;
};

}  // namespace tavo
