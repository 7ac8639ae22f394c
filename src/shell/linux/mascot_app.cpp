#include "shell/linux/mascot_app.h"

#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>

#include "behaviour/menu_commands.h"
#include "shell/linux/full_screen_window.h"
#include "shell/linux/message_box.h"
#include "shell/linux/settings_file.h"
#include "shell/linux/settings_location.h"

namespace tavo {

MascotApp::MascotApp(const CommandLine& options)
    : options_(options),
      session_(*this, objects_),
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
    if (!session_.start(options_.characterPath)) {
        const TextTable& texts = session_.texts();
        showMessageBox(texts.utf8(TextId::NoOpenGl), texts.utf8(TextId::OpenGlCaption));
        return false;
    }
    started_ = true;
    return true;
}

// Milliseconds of a monotonic clock, wrapping like a tick counter.
uint32_t MascotApp::nowMs() { return static_cast<uint32_t>(g_get_monotonic_time() / 1000); }

CursorPosition MascotApp::cursor() { return desktop_.cursor(); }

const DesktopLayout& MascotApp::desktopLayout(uint32_t now) { return desktop_.desktopLayout(now); }

bool MascotApp::fullScreenWindowOn(const ScreenRect& area) {
    return tavo::fullScreenWindowOn(window_.display(), area, window_.xWindow());
}

// Shown again by the next picture, at the place it had.
void MascotApp::showWindow(bool shown) {
    if (!shown) window_.hide();
}

// The GL back end is OSMesa or EGL, as TAVO_GL asks or as fits the machine;
// --verbose names it.
uint8_t* MascotApp::createSurface(int32_t width, int32_t height) {
    std::string warning;
    const GlChoice backEnd = glChoiceFromEnvironment(warning);
    if (!warning.empty()) {
        std::fprintf(stderr, "tavo_3d: %s\n", warning.c_str());
    }
    surface_.emplace(width, height, backEnd);
    if (!surface_->valid()) {
        surface_.reset();
        return nullptr;
    }
    window_.resize(width, height);
    if (options_.verbose) {
        std::fprintf(stderr, "tavo_3d: GL back end %s: %s\n", surface_->backEndName(), surface_->renderer().c_str());
    }
    return surface_->pixels();
}

void MascotApp::finishFrame() {
    if (surface_) {
        surface_->finishFrame();
    }
}

void MascotApp::releaseSurface() { surface_.reset(); }

void MascotApp::present(const uint8_t* pixels, WindowPosition at) { window_.present(pixels, at); }

void MascotApp::createMenu(const TextTable& texts) { menu_.build(texts); }

StoredSettings MascotApp::readSettings() { return tavo::readSettings(settingsPath_); }

void MascotApp::writeSettings(const StoredSettings& settings) { tavo::writeSettings(settingsPath_, settings); }

void MascotApp::reportCharacterProblem(const std::string& path, const std::string& reason, bool showBox) {
    std::fprintf(stderr, "tavo_3d: cannot load the character %s: %s\n", path.c_str(), reason.c_str());
    if (showBox && !quitRequested_) {
        pause();
        const TextTable& texts = menu_.texts();
        showMessageBox(characterProblemText(texts, path, reason), characterProblemCaption(texts));
        resume();
    }
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
    if (shutDown_ || !started_) {
        return;
    }
    shutDown_ = true;
    cancelNextStep();
    menu_.close();
    session_.finish();
}

// Wakes the program when the next step is due. A step that is due at once
// still goes through the main loop, so input is handled between the steps
// of a catch-up.
void MascotApp::scheduleNextStep() {
    if (!stepping_ || pauses_ > 0 || quitRequested_ || frameTimer_ != 0) {
        return;
    }
    const uint32_t wait = clock_.msUntilDue(nowMs(), session_.state().frameIntervalMs);
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
    if (app->clock_.stepDue(app->nowMs(), app->session_.state().frameIntervalMs)) {
        app->session_.step();
        app->clock_.advance(app->session_.state().frameIntervalMs);
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
    menu_.setCharacterItems(session_.refreshCharacterMenu());
    if (!menu_.popupAtPointer(event)) {
        resume();
    }
}

void MascotApp::onMenuClosed() { resume(); }

void MascotApp::onCommand(int32_t command) {
    if (session_.handleCommand(command) == CommandResult::Exit) {
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
