#pragma once

#include <windows.h>

#include "behaviour/desktop_layout_watch.h"
#include "session/mascot_host.h"
#include "shell/win32/offscreen_surface.h"
#include "shell/win32/popup_menu.h"

namespace tavo {

// The session's host on Windows: the layered window, the DIB section with its
// WGL context, the popup menu, the settings file beside the executable.
class Win32Host : public MascotHost {
public:
    uint32_t nowMs() override { return GetTickCount(); }
    CursorPosition cursor() override;
    const DesktopLayout& desktopLayout(uint32_t nowMs) override;
    bool fullScreenWindowOn(const ScreenRect& area) override;
    void showWindow(bool shown) override;
    uint8_t* createSurface(int32_t width, int32_t height) override;
    void releaseSurface() override;
    void present(const uint8_t* pixels, WindowPosition at) override;
    StoredSettings readSettings() override;
    void writeSettings(const StoredSettings& settings) override;
    ShellServices& services() override { return services_; }
    void reportCharacterProblem(const std::string& path, const std::string& reason, bool showBox) override;
    void createMenu(const TextTable& texts) override;

    HWND window = nullptr;
    OffscreenSurface surface{};
    HGLRC glContext = nullptr;
    HMENU popupMenu = nullptr;
    HMENU characterMenu = nullptr;  // the submenu the characters go in
    const TextTable* texts = &kJapaneseTexts;  // the menu's language
    // Set after a modal call (the popup menu, a box) returns; the loop then
    // restarts its clock.
    bool resyncClock = false;

    // The monitors, their work areas or their scales changed (a message
    // said so): read them again at the next frame.
    void layoutChanged() { layoutWatch_.pollSoon(); }

    static constexpr DWORD kTopmostEveryMs = 3000;
    DWORD toppedAtMs = 0;  // when the window was last put on top

private:
    void keepOnTop();

    PopupMenuServices services_{popupMenu, texts};
    SIZE surfaceSize_{0, 0};
    DesktopLayoutWatch layoutWatch_;
};

}  // namespace tavo
