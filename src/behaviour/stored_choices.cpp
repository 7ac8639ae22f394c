#include "behaviour/menu_commands.h"

namespace tavo {

void applyStoredChoices(MascotState& state, ShellServices& shell, WindowPosition start) {
    setFrameSpeed(state, shell, state.frameSpeed);
    // Read again: a stored 0 has just been turned into 3 by the frame speed.
    setEscapeSpeed(state, shell, state.escapeSpeed);
    state.posX = static_cast<float>(start.x);
    state.posY = static_cast<float>(start.y);
    setActionSpeed(state, shell, state.actionSpeed);
    setHideForFullScreen(state, shell, state.hideForFullScreen);
}

}  // namespace tavo
