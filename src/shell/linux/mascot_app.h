#pragma once

#include <glib.h>

#include <cstdint>
#include <optional>
#include <string>

#include "system/command_line.h"
#include "behaviour/frame_clock.h"
#include "render/offscreen_gl_surface.h"
#include "render/program_objects.h"
#include "session/mascot_host.h"
#include "session/mascot_session.h"
#include "shell/linux/desktop_geometry.h"
#include "shell/linux/gtk_shell_services.h"
#include "shell/linux/mascot_window.h"
#include "shell/linux/popup_menu.h"

namespace tavo {

// The running mascot on Linux: the portable session on the GTK window, menu
// and settings file, with the frame steps paced by GLib timeouts that wake
// the program only when the next step is due.
class MascotApp : private MascotWindow::Listener, private MascotHost {
public:
    explicit MascotApp(const CommandLine& options);
    ~MascotApp() override;
    MascotApp(const MascotApp&) = delete;
    MascotApp& operator=(const MascotApp&) = delete;

    // Start-up (MascotSession::start): settings, start position, choices,
    // surface and OpenGL context, scene, first frame (which shows the
    // window). False when no OpenGL context can be made; a box has then told
    // the user.
    bool start();
    // Steps frames until the program is asked to end, then shuts down:
    // releases the character, the context and the surface and writes the
    // settings.
    void run();
    // "終了", the window manager or a signal: end the program the clean way.
    void requestQuit();

private:
    // MascotHost
    uint32_t nowMs() override;
    CursorPosition cursor() override;
    const DesktopLayout& desktopLayout(uint32_t nowMs) override;
    bool fullScreenWindowOn(const ScreenRect& area) override;
    void showWindow(bool shown) override;
    uint8_t* createSurface(int32_t width, int32_t height) override;
    void releaseSurface() override;
    void finishFrame() override;
    void present(const uint8_t* pixels, WindowPosition at) override;
    StoredSettings readSettings() override;
    void writeSettings(const StoredSettings& settings) override;
    ShellServices& services() override { return services_; }
    void reportCharacterProblem(const std::string& path, const std::string& reason, bool showBox) override;
    void createMenu(const TextTable& texts) override;

    void scheduleNextStep();
    void cancelNextStep();
    void pause();
    void resume();
    void shutdown();

    void onFigureClicked(const GdkEvent* event) override;
    void onCloseRequested() override;
    void onCommand(int32_t command);
    void onMenuClosed();

    static gboolean onFrameTimer(gpointer self);
    static gboolean onSignal(gpointer self);

    // Program-lifetime objects first, so they are destroyed last.
    ProgramObjects objects_;
    // What the command line asked for.
    CommandLine options_;
    MascotSession session_;
    // Made by start(), released at shutdown.
    std::optional<OffscreenGlSurface> surface_;
    MascotWindow window_;
    PopupMenu menu_;
    GtkShellServices services_;
    DesktopGeometry desktop_;
    FrameClock clock_;
    std::string settingsPath_;

    guint frameTimer_ = 0;
    guint signalSources_[2] = {0, 0};
    int32_t pauses_ = 0;
    bool stepping_ = false;     // the frame loop runs
    bool inMainLoop_ = false;
    bool quitRequested_ = false;
    bool shutDown_ = false;
    bool started_ = false;
};

}  // namespace tavo
