#include "shell/win32/program.h"

namespace tavo {

namespace {

// Constructed in this order before WinMain runs and destroyed in the reverse
// order after it returns: the session (with its scene) first, then the
// texture manager, then the mesh renderer.
ProgramObjects theProgramObjects;
Program theProgram(theProgramObjects);

}  // namespace

Program& program() { return theProgram; }
ProgramObjects& programObjects() { return theProgramObjects; }

}  // namespace tavo
