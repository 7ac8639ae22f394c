// The floor of the Linux program's memory: GTK with the same window set-up
// and the same off-screen GL context as tavo_3d, but nothing drawn and no
// character loaded. scripts/measure-linux.sh prints its resident set beside
// the program's. Ends on SIGTERM or SIGINT.
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>

#include "render/offscreen_gl_surface.h"

namespace {

gboolean quit(gpointer) {
    gtk_main_quit();
    return G_SOURCE_REMOVE;
}

}  // namespace

int main(int argc, char** argv) {
    gdk_set_allowed_backends("x11");
    g_setenv("LP_NUM_THREADS", "0", FALSE);
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "tavo_floor_window: cannot open the X display\n");
        return 1;
    }
    tavo::OffscreenGlSurface surface(400, 360);
    if (!surface.valid()) {
        std::fprintf(stderr, "tavo_floor_window: no off-screen OpenGL context\n");
        return 1;
    }
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_widget_set_size_request(window, 400, 360);
    gtk_widget_set_app_paintable(window, TRUE);
    if (GdkVisual* rgba = gdk_screen_get_rgba_visual(gtk_widget_get_screen(window))) {
        gtk_widget_set_visual(window, rgba);
    }
    gtk_widget_show(window);
    g_unix_signal_add(SIGTERM, quit, nullptr);
    g_unix_signal_add(SIGINT, quit, nullptr);
    gtk_main();
    gtk_widget_destroy(window);
    return 0;
}
