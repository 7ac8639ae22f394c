#include "shell/win32/win32_host.h"

#include "resources/wide_text.h"
#include "session/mascot_session.h"
#include "shell/win32/gl_context.h"
#include "shell/win32/layered_api.h"
#include "shell/win32/settings_file.h"

namespace tavo {

CursorPosition Win32Host::cursor() {
    POINT point{0, 0};
    GetCursorPos(&point);
    return {static_cast<int32_t>(point.x), static_cast<int32_t>(point.y)};
}

ScreenSize Win32Host::screenSize(uint32_t) {
    return {GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
}

uint8_t* Win32Host::createSurface(int32_t width, int32_t height) {
    createOffscreenSurface(surface, width, height, 32);
    glContext = createSurfaceContext(surface);
    return glContext != nullptr ? surface.bits : nullptr;
}

void Win32Host::releaseSurface() {
    releaseSurfaceContext(surface, glContext);
    glContext = nullptr;
    destroyOffscreenSurface(surface);
}

// The colour-keyed pixels carry premultiplied alpha, so the window shows only
// the figure; the surface's memory DC holds them.
void Win32Host::present(const uint8_t*, WindowPosition at) {
    UpdateLayeredWindowFunction update = layeredApi().updateLayeredWindow;
    if (update == nullptr) return;
    POINT destination{at.x, at.y};
    SIZE size{kSurfaceWidth, kSurfaceHeight};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    update(window, nullptr, &destination, &size, surface.memoryDc, &source, 0, &blend, ULW_ALPHA);
}

void Win32Host::createMenu(const TextTable& shown) {
    texts = &shown;
    popupMenu = buildPopupMenu(shown, &characterMenu);
}

StoredSettings Win32Host::readSettings() { return tavo::readSettings(); }

void Win32Host::writeSettings(const StoredSettings& settings) { tavo::writeSettings(settings); }

void Win32Host::reportCharacterProblem(const std::string& path, const std::string& reason, bool showBox) {
    if (!showBox) return;
    MessageBoxW(nullptr, wideFromUtf8(characterProblemText(*texts, path, reason)).c_str(),
                wideFromUtf8(characterProblemCaption(*texts)).c_str(), MB_ICONERROR);
    resyncClock = true;
}

}  // namespace tavo
