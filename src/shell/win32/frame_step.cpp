#include "shell/win32/frame_step.h"

#include "shell/win32/layered_api.h"
#include "shell/win32/program.h"

namespace tavo {

namespace {

// Present the surface at a position: the colour-keyed pixels carry
// premultiplied alpha, so the window shows only the figure.
void present(HWND window, const Program& run, WindowPosition at) {
    UpdateLayeredWindowFunction update = layeredApi().updateLayeredWindow;
    if (update == nullptr) return;
    POINT destination{at.x, at.y};
    SIZE size{run.state.surfaceWidth, run.state.surfaceHeight};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    update(window, nullptr, &destination, &size, run.surface.memoryDc, &source, 0, &blend, ULW_ALPHA);
}

}  // namespace

void frameStep(HWND window) {
    Program& run = program();
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    const int32_t screenWidth = GetSystemMetrics(SM_CXFULLSCREEN);
    const int32_t screenHeight = GetSystemMetrics(SM_CYFULLSCREEN);

    frameRenderer().renderFrame(run.state, GetTickCount());
    if (run.surface.bits != nullptr) {
        applyColorKey(run.surface.bits, run.state.surfaceWidth, run.state.surfaceHeight);
    }
    const WindowPosition at =
        run.state.updateMovement({static_cast<int32_t>(cursor.x), static_cast<int32_t>(cursor.y)},
                                 screenWidth, screenHeight);
    present(window, run, at);
}

}  // namespace tavo
