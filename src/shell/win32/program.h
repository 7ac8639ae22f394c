#pragma once

#include <windows.h>

#include "behaviour/mascot_state.h"
#include "render/frame_renderer.h"
#include "render/program_objects.h"
#include "shell/win32/offscreen_surface.h"
#include "shell/win32/popup_menu.h"

namespace tavo {

// The process-wide state of the running program, shared by the window
// procedure, the frame step and the loop (all on the one UI thread).
struct Program {
    MascotState state;
    OffscreenSurface surface{};
    HGLRC glContext = nullptr;
    HMENU popupMenu = nullptr;
    // Set after the modal popup menu returns; the loop then restarts its clock.
    bool resyncClock = false;
    PopupMenuServices services{popupMenu};
};

Program& program();
// The mesh renderer and texture manager, made before WinMain and destroyed
// after it returns.
ProgramObjects& programObjects();
FrameRenderer& frameRenderer();

}  // namespace tavo
