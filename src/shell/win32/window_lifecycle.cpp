#include "shell/win32/window_lifecycle.h"

#include "shell/win32/program.h"

namespace tavo {

// The session starts: settings, the menu in their language, start position,
// choices, surface and context, scene, first frame.
void onCreate(HWND window) {
    Program& run = program();
    run.host.window = window;
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
