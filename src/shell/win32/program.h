#pragma once

#include <windows.h>

#include <string>

#include "render/program_objects.h"
#include "session/mascot_session.h"
#include "shell/win32/win32_host.h"

namespace tavo {

// The process-wide state of the running program, shared by the window
// procedure and the loop (all on the one UI thread).
struct Program {
    Win32Host host;
    MascotSession session;
    std::string characterPath;  // from the command line (UTF-8)

    explicit Program(ProgramObjects& objects) : session(host, objects) {}
};

Program& program();
// The mesh renderer and texture manager, made before WinMain and destroyed
// after it returns.
ProgramObjects& programObjects();

}  // namespace tavo
