#pragma once

#include <cstdint>

#include "behaviour/mascot_state.h"

namespace tavo {

class ShellServices;

// Command identifiers of the popup menu: a base per group plus the choice.
enum MenuCommand : int32_t {
    kCommandExit = 0x1000,
    kCommandFrameSpeedBase = 0x1010,
    kCommandEscapeSpeedBase = 0x1020,
    kCommandActionSpeedBase = 0x1030,
    // Items added to the menu later take identifiers from 0x1040 up, in
    // blocks of 16: 0x1050 is the start-at-login item.
    kCommandStartAtLogin = 0x1050,
};

// One entry of the popup menu in display order (labels in code page 932).
struct MenuEntry {
    enum Kind { Submenu, Item, Separator, EndSubmenu } kind;
    const char* label;
    int32_t command;  // 0 for submenus, separators and their ends
    bool grayed;
};

// The whole menu, submenus opened by Submenu and closed by EndSubmenu.
const MenuEntry* menuEntries(int32_t& count);

// The three choice handlers: move the check mark, store the choice, derive
// the amounts.
void setFrameSpeed(MascotState& state, ShellServices& shell, int32_t choice);
void setEscapeSpeed(MascotState& state, ShellServices& shell, int32_t choice);
void setActionSpeed(MascotState& state, ShellServices& shell, int32_t choice);

// Start-up: applies the choices read from the settings file (held raw in
// state) in the order frame speed, escape speed, then puts the window at the
// drawn start position (the frame speed resets it) and applies the action
// speed. Values outside the menu are mapped and stored by the handlers.
void applyStoredChoices(MascotState& state, ShellServices& shell, WindowPosition start);

enum class CommandResult { Ignored, Handled, Exit };
// Dispatches a WM_COMMAND-style identifier to the handlers.
CommandResult handleMenuCommand(MascotState& state, ShellServices& shell, int32_t command);

}  // namespace tavo
