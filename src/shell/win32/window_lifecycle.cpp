#include "shell/win32/window_lifecycle.h"

#include "shell/win32/program.h"

namespace tavo {

// The menu first, so that applying the stored choices can set its check
// marks; then the session starts: settings, start position, choices,
// surface and context, scene, first frame.
void onCreate(HWND window) {
    Program& run = program();
    run.host.window = window;
    run.host.popupMenu = buildPopupMenu(&run.host.characterMenu);
    run.session.start(run.characterPath);
}

void onDestroy(HWND) {
    Program& run = program();
    run.session.finish();
    DestroyMenu(run.host.popupMenu);
    run.host.popupMenu = nullptr;
    run.host.characterMenu = nullptr;
}

}  // namespace tavo
