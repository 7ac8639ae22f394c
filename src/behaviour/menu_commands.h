#pragma once

#include <cstdint>

#include "behaviour/mascot_state.h"
#include "language/text_table.h"

namespace tavo {

class ShellServices;

// Command identifiers of the popup menu: a base per group plus the choice.
enum MenuCommand : int32_t {
    kCommandExit = 0x1000,
    kCommandFrameSpeedBase = 0x1010,
    kCommandEscapeSpeedBase = 0x1020,
    kCommandActionSpeedBase = 0x1030,
    // The sizes, in the order of kSizeChoices.
    kCommandSizeBase = 0x1040,
    // The start-at-login item (a block of its own, above the choices) and
    // the full-screen item beside it.
    kCommandStartAtLogin = 0x1050,
    kCommandHideForFullScreen = 0x1051,
    // The character submenu: the embedded character, then the found ones.
    kCommandCharacterBase = 0x1100,
    kCommandCharacterLast = 0x11FF,
};

// One entry of the popup menu in display order; the label is looked up in the
// language's text table.
// CharacterList marks where the shell puts the characters' items, which are
// found afresh each time the menu opens.
struct MenuEntry {
    enum Kind { Submenu, Item, Separator, EndSubmenu, CharacterList } kind;
    TextId label;  // TextId::Count for ends, separators and the list
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
// Hiding while a full-screen program is in front: 0 off, anything else on.
void setHideForFullScreen(MascotState& state, ShellServices& shell, int32_t choice);

// A size of the menu (an index into kSizeChoices) is chosen; the session
// brings the surface to it. Other indices are ignored.
void setSize(MascotState& state, int32_t choice);
// The check mark on the size shown (none when it is not one of the menu's).
void showSizeCheck(ShellServices& shell, int32_t shownPercent);

// Start-up: applies the choices read from the settings file (held raw in
// state) in the order frame speed, escape speed, then puts the window at the
// drawn start position (the frame speed resets it) and applies the action
// speed, then the full-screen item. Values outside the menu are mapped and
// stored by the handlers.
void applyStoredChoices(MascotState& state, ShellServices& shell, WindowPosition start);

enum class CommandResult { Ignored, Handled, Exit };
// Dispatches a WM_COMMAND-style identifier to the handlers.
CommandResult handleMenuCommand(MascotState& state, ShellServices& shell, int32_t command);

}  // namespace tavo
