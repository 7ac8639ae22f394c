// tavo_3d for Linux: the desktop mascot on an X11 display.
#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <vector>

#include "system/command_line.h"
#include "shell/linux/mascot_app.h"

int main(int argc, char** argv) {
    // Global positioning, keep-above and the global pointer need X11; under
    // Wayland the program runs through XWayland.
    gdk_set_allowed_backends("x11");
    // The surface is small: llvmpipe's rasterizer threads cost more CPU in
    // hand-overs than they save, so it draws on the calling thread unless
    // the user has chosen otherwise.
    g_setenv("LP_NUM_THREADS", "0", FALSE);
    // GTK takes its own options (--display, ...) first; the rest are ours.
    gtk_parse_args(&argc, &argv);
    tavo::CommandLine options;
    std::string error;
    if (!tavo::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "tavo_3d: %s\n%s", error.c_str(), tavo::commandLineUsage());
        return 2;
    }
    if (options.showHelp || options.showVersion) {
        std::fputs(options.showHelp ? tavo::commandLineUsage() : (tavo::versionLine() + "\n").c_str(), stdout);
        return 0;
    }
    if (!gtk_init_check(&argc, &argv)) {
        const char* display = g_getenv("DISPLAY");
        std::fprintf(stderr, "tavo_3d: cannot open the X display %s%s%s\n", display != nullptr ? "\"" : "",
                     display != nullptr ? display : "(DISPLAY is not set)", display != nullptr ? "\"" : "");
        return 1;
    }
    tavo::MascotApp app(options);
    if (!app.start()) {
        return 1;
    }
    app.run();
    return 0;
}
