#pragma once

#include <cstdint>
#include <string>

#include "behaviour/desktop_layout.h"
#include "behaviour/mascot_state.h"
#include "language/text_table.h"
#include "session/stored_settings.h"

namespace tavo {

class ShellServices;

// What the session asks of the shell that runs it: the clock, the cursor and
// the screen, the off-screen surface and its presentation, the settings file
// and the window-system services. Each shell implements it once.
class MascotHost {
public:
    virtual ~MascotHost() = default;

    // Milliseconds of a monotonic clock, wrapping like a tick counter.
    virtual uint32_t nowMs() = 0;
    virtual CursorPosition cursor() = 0;
    // The monitors the mascot walks over, the primary first, with their
    // scales (see DesktopLayout), in the screen's own pixels. With one monitor, the screen of the original program:
    // SM_CXFULLSCREEN x SM_CYFULLSCREEN on Windows, the work area's size on
    // Linux, both at the origin.
    virtual const DesktopLayout& desktopLayout(uint32_t nowMs) = 0;

    // Makes the off-screen surface with an OpenGL context current on it, and
    // gives the window its size; its pixels (B, G, R, A, rows bottom-up), or
    // null when there is none. Called again, after releaseSurface, when the
    // size shown changes.
    virtual uint8_t* createSurface(int32_t width, int32_t height) = 0;
    virtual void releaseSurface() = 0;
    // Waits until the frame drawn is in the surface's pixels. A surface that
    // holds it as soon as the GL calls return needs nothing here.
    virtual void finishFrame() {}
    // Shows the colour-keyed pixels with the window at a screen position.
    virtual void present(const uint8_t* pixels, WindowPosition at) = 0;

    virtual StoredSettings readSettings() = 0;
    virtual void writeSettings(const StoredSettings& settings) = 0;

    // Whether the window in front on the monitor under the window's centre
    // covers that whole monitor (a game, a film, a presentation); never the
    // desktop, the shell or the mascot itself.
    virtual bool fullScreenWindowOn(const ScreenRect& window) = 0;
    // Hides the mascot's window, or shows it again where it was, without
    // taking the focus.
    virtual void showWindow(bool shown) = 0;

    // Makes the popup menu with its labels in the given language; the error
    // boxes speak it from then on. The session calls it once, at the start,
    // before any check mark is set.
    virtual void createMenu(const TextTable& texts) = 0;
    // Check marks and the error box of the behaviour.
    virtual ShellServices& services() = 0;
    // A character could not be loaded (UTF-8 path and reason): a box when
    // showBox (characterProblemText gives its text), and on Linux always a
    // line on stderr.
    virtual void reportCharacterProblem(const std::string& path, const std::string& reason, bool showBox) = 0;
};

// The box's text and caption for a character that could not be loaded, in
// UTF-8 (paths that are not are shown readably).
std::string characterProblemText(const TextTable& texts, const std::string& path, const std::string& reason);
std::string characterProblemCaption(const TextTable& texts);

// The language the program speaks: the settings' Language= when it names
// one, else the user's interface language (English when there is no table
// for it).
const TextTable& shownTexts(const StoredSettings& settings);

}  // namespace tavo
