#include "shell/win32/window_lifecycle.h"

#include <cstdlib>

#include "behaviour/login_start.h"
#include "behaviour/menu_commands.h"
#include "shell/win32/frame_step.h"
#include "shell/win32/gl_context.h"
#include "shell/win32/program.h"
#include "shell/win32/settings_file.h"

namespace tavo {

namespace {

constexpr int32_t kSurfaceWidth = 400;
constexpr int32_t kSurfaceHeight = 360;
constexpr int32_t kSurfaceBits = 32;

// A random start inside the full-screen area (0 on an axis without room).
WindowPosition drawStartPosition() {
    srand(GetTickCount());
    WindowPosition start;
    start.x = startCoordinate(rand(), GetSystemMetrics(SM_CXFULLSCREEN), kSurfaceWidth);
    start.y = startCoordinate(rand(), GetSystemMetrics(SM_CYFULLSCREEN), kSurfaceHeight);
    return start;
}

}  // namespace

void onCreate(HWND window) {
    Program& run = program();
    readSettings(run.state);
    run.state.movingRight = 0;
    const WindowPosition start = drawStartPosition();
    run.popupMenu = buildPopupMenu();
    applyStoredChoices(run.state, run.services, start);
    showStartAtLogin(run.services);

    run.state.surfaceWidth = kSurfaceWidth;
    run.state.surfaceHeight = kSurfaceHeight;
    createOffscreenSurface(run.surface, kSurfaceWidth, kSurfaceHeight, kSurfaceBits);
    run.glContext = createSurfaceContext(run.surface);

    frameRenderer().loadScene(run.state, kSurfaceWidth, kSurfaceHeight);
    frameStep(window);
}

void onDestroy(HWND) {
    Program& run = program();
    frameRenderer().releaseCharacter();
    releaseSurfaceContext(run.surface, run.glContext);
    run.glContext = nullptr;
    destroyOffscreenSurface(run.surface);
    DestroyMenu(run.popupMenu);
    run.popupMenu = nullptr;
    writeSettings(run.state);
}

}  // namespace tavo
