#include "shell/linux/mascot_app.h"

#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "behaviour/menu_commands.h"
#include "shell/linux/cp932_to_utf8.h"
#include "shell/linux/message_box.h"
#include "shell/linux/settings_file.h"
#include "shell/linux/settings_location.h"

namespace tavo {

namespace {

const int32_t kSurfaceWidth = 400;
const int32_t kSurfaceHeight = 360;

// The box shown when OSMesa gives no context (code page 932 like every
// text of the program).
const char kNoOpenGlText[] =
    "OpenGL \x82\xF0\x8E\x67\x97\x70\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81\x42" /* OpenGL を使用できません。 */;
const char kNoOpenGlCaption[] = "OpenGL";

// Milliseconds of a monotonic clock, wrapping like a tick counter.
uint32_t nowMs() { return static_cast<uint32_t>(g_get_monotonic_time() / 1000); }

}  // namespace

MascotApp::MascotApp(const CommandLine& options)
    : options_(options),
      renderer_(objects_),
      window_(kSurfaceWidth, kSurfaceHeight, *this),
      menu_([this](int32_t command) { onCommand(command); }, [this] { onMenuClosed(); }),
      services_(menu_, [this](bool open) { open ? pause() : resume(); }),
      desktop_(window_.display()),
      settingsPath_(settingsFilePath()) {
    signalSources_[0] = g_unix_signal_add(SIGTERM, onSignal, this);
    signalSources_[1] = g_unix_signal_add(SIGINT, onSignal, this);
}

MascotApp::~MascotApp() {
    cancelNextStep();
    for (const guint source : signalSources_) {
        if (source != 0) g_source_remove(source);
    }
}

bool MascotApp::start() {
    readSettings(settingsPath_, state_);
    state_.movingRight = 0;
    const WindowPosition start = drawStartPosition(nowMs());
    applyStoredChoices(state_, services_, start);

    state_.surfaceWidth = kSurfaceWidth;
    state_.surfaceHeight = kSurfaceHeight;
    std::string warning;
    const GlChoice backEnd = glChoiceFromEnvironment(warning);
    if (!warning.empty()) {
        std::fprintf(stderr, "tavo_3d: %s\n", warning.c_str());
    }
    surface_.emplace(kSurfaceWidth, kSurfaceHeight, backEnd);
    if (!surface_->valid()) {
        surface_.reset();
        showMessageBox(cp932ToUtf8(kNoOpenGlText), kNoOpenGlCaption);
        return false;
    }
    if (options_.verbose) {
        std::fprintf(stderr, "tavo_3d: GL back end %s: %s\n", surface_->backEndName(), surface_->renderer().c_str());
    }
    renderer_.loadScene(state_, kSurfaceWidth, kSurfaceHeight);
    frameStep();
    return true;
}

// A random position at which the whole surface fits on the screen.
WindowPosition MascotApp::drawStartPosition(uint32_t now) {
    std::srand(now);
    const ScreenSize screen = desktop_.screenSize(now);
    WindowPosition position;
    position.x = startCoordinate(std::rand(), screen.width, kSurfaceWidth);
    position.y = startCoordinate(std::rand(), screen.height, kSurfaceHeight);
    return position;
}

void MascotApp::run() {
    if (!quitRequested_) {
        clock_.start(nowMs());
        stepping_ = true;
        scheduleNextStep();
        inMainLoop_ = true;
        gtk_main();
        inMainLoop_ = false;
        stepping_ = false;
    }
    shutdown();
}

void MascotApp::requestQuit() {
    quitRequested_ = true;
    cancelNextStep();
    closeMessageBox();
    menu_.close();
    if (inMainLoop_) {
        gtk_main_quit();
    }
}

void MascotApp::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    cancelNextStep();
    renderer_.releaseCharacter();
    surface_.reset();
    menu_.close();
    writeSettings(settingsPath_, state_);
}

// One frame: read the pointer and the screen, render, key out the
// background, move, and show the picture at the new position.
void MascotApp::frameStep() {
    if (!surface_) {
        return;
    }
    const uint32_t now = nowMs();
    const CursorPosition cursor = desktop_.cursor();
    const ScreenSize screen = desktop_.screenSize(now);
    renderer_.renderFrame(state_, now);
    surface_->finishFrame();
    applyColorKey(surface_->pixels(), kSurfaceWidth, kSurfaceHeight);
    const WindowPosition position = state_.updateMovement(cursor, screen.width, screen.height);
    window_.present(surface_->pixels(), position);
}

// Wakes the program when the next step is due. A step that is due at once
// still goes through the main loop, so input is handled between the steps
// of a catch-up.
void MascotApp::scheduleNextStep() {
    if (!stepping_ || pauses_ > 0 || quitRequested_ || frameTimer_ != 0) {
        return;
    }
    const uint32_t wait = clock_.msUntilDue(nowMs(), state_.frameIntervalMs);
    frameTimer_ = g_timeout_add_full(G_PRIORITY_DEFAULT, wait, onFrameTimer, this, nullptr);
}

void MascotApp::cancelNextStep() {
    if (frameTimer_ != 0) {
        g_source_remove(frameTimer_);
        frameTimer_ = 0;
    }
}

gboolean MascotApp::onFrameTimer(gpointer self) {
    MascotApp* app = static_cast<MascotApp*>(self);
    app->frameTimer_ = 0;
    if (app->clock_.stepDue(nowMs(), app->state_.frameIntervalMs)) {
        app->frameStep();
        app->clock_.advance(app->state_.frameIntervalMs);
    }
    app->scheduleNextStep();
    return G_SOURCE_REMOVE;
}

// No steps while the menu or a box is open; afterwards the clock starts
// counting afresh instead of making up the time.
void MascotApp::pause() {
    ++pauses_;
    cancelNextStep();
}

void MascotApp::resume() {
    if (pauses_ > 0 && --pauses_ == 0) {
        clock_.requestResync();
        scheduleNextStep();
    }
}

void MascotApp::onFigureClicked(const GdkEvent* event) {
    if (menu_.isOpen() || quitRequested_) {
        return;
    }
    pause();
    if (!menu_.popupAtPointer(event)) {
        resume();
    }
}

void MascotApp::onMenuClosed() { resume(); }

void MascotApp::onCommand(int32_t command) {
    if (handleMenuCommand(state_, services_, command) == CommandResult::Exit) {
        requestQuit();
        return;
    }
    // The interval may have changed: wait for the step by the new one.
    cancelNextStep();
    scheduleNextStep();
}

void MascotApp::onCloseRequested() { requestQuit(); }

gboolean MascotApp::onSignal(gpointer self) {
    static_cast<MascotApp*>(self)->requestQuit();
    return G_SOURCE_CONTINUE;
}

}  // namespace tavo
