#include "shell/linux/message_box.h"

#include <gtk/gtk.h>

namespace tavo {

namespace {

GtkWidget* openBox = nullptr;

// Without a window manager a window appears wherever it is put, so the box
// is placed in the middle of the work area here.
void centreOnScreen(GtkWidget* box) {
    GdkDisplay* display = gtk_widget_get_display(box);
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr) {
        monitor = gdk_display_get_monitor(display, 0);
    }
    if (monitor == nullptr) {
        return;
    }
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    GtkRequisition size;
    gtk_widget_get_preferred_size(box, nullptr, &size);
    gtk_window_move(GTK_WINDOW(box), area.x + (area.width - size.width) / 2,
                    area.y + (area.height - size.height) / 2);
}

}  // namespace

void showMessageBox(const std::string& text, const std::string& caption) {
    GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK,
                                            "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    centreOnScreen(box);
    GtkWidget* previous = openBox;
    openBox = box;
    gtk_dialog_run(GTK_DIALOG(box));
    openBox = previous;
    gtk_widget_destroy(box);
}

void closeMessageBox() {
    if (openBox != nullptr) {
        gtk_dialog_response(GTK_DIALOG(openBox), GTK_RESPONSE_DELETE_EVENT);
    }
}

}  // namespace tavo
