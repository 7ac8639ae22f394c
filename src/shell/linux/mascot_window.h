#pragma once

#include <X11/Xlib.h>
#include <gtk/gtk.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "behaviour/mascot_state.h"
#include "shell/linux/figure_shape.h"

namespace tavo {

class XPicture;

// The mascot's window: undecorated, kept above, out of the task bar and
// pager, a utility window that never takes focus, with an RGBA visual. It
// shows the colour-keyed surface: transparent pixels let clicks through, and
// when no compositing manager blends the alpha they are cut out of the
// window as well, so only the figure is seen. The window cannot be dragged.
//
// GTK makes the window and handles its input; the picture goes to the X
// server directly (a shared-memory image, only the part where the figure is
// or was), and the shape is sent only when the figure's outline changed.
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
    // the window. Sizes and positions are in the screen's own pixels, which
    // are GTK's times the scale factor (GDK_SCALE), so that the picture is
    // shown pixel for pixel.
    void present(const uint8_t* pixels, WindowPosition position);
    // Pictures of another size come from now on.
    void resize(int32_t width, int32_t height);

    GdkDisplay* display() const;
    // Takes the window off the screen; the next picture brings it back.
    void hide();
    // The X window, so that it is never taken for someone else's.
    Window xWindow() const;

private:
    void copyRows(const uint8_t* pixels, int32_t top, int32_t bottom);
    void applyShape();
    void putPicture(const FigureBox& box);

    static gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    static gboolean onButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean onDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
    static void onCompositedChanged(GdkScreen* screen, gpointer self);
    static GdkFilterReturn filterExpose(GdkXEvent* xevent, GdkEvent* event, gpointer self);

    // The window's size in GTK's pixels, holding the picture's.
    void requestSize();

    int32_t width_;
    int32_t height_;
    Listener& listener_;
    GtkWidget* window_ = nullptr;
    GdkVisual* visual_ = nullptr;
    std::unique_ptr<XPicture> picture_;
    // The outline of the figure shown and of the one before, to send the
    // shape only when it changed.
    FigureShape shape_;
    FigureShape previousShape_;
    std::vector<XRectangle> rectangles_;  // the shape as sent
    FigureBox shownBox_;  // bounding box of the figure shown
    // The first request of the last put, and what was exposed since it.
    unsigned long lastPutSerial_ = 0;
    FigureBox exposed_;
    WindowPosition position_;
    bool shown_ = false;
    bool reshape_ = false;  // the shape is sent with the next picture
    bool composited_ = false;
    gulong compositedHandler_ = 0;
};

}  // namespace tavo
