#pragma once

namespace tavo {

class ShellServices;

// The menu item "start at login" over the platform's state (system/login_start.h).

// Its check mark shows startsAtLogin().
void showStartAtLogin(ShellServices& shell);
// Choosing the item: turns starting at login over. When that fails, a box
// tells the user why and the check mark keeps showing the real state.
void toggleStartAtLogin(ShellServices& shell);

}  // namespace tavo
