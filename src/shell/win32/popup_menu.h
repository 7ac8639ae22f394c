#pragma once

#include <windows.h>

#include <vector>

#include "behaviour/shell_services.h"
#include "session/mascot_session.h"

namespace tavo {

// The popup menu with its submenus and the exit item, built from the
// portable menu table; the favourite-person item is greyed. The submenu that
// takes the characters is given back in characterMenu when asked for.
HMENU buildPopupMenu(HMENU* characterMenu = nullptr);

// Fills the character submenu afresh (UTF-8 labels, shown through the wide
// API so that every name reads right), with the check mark on the one shown.
void fillCharacterMenu(HMENU menu, const std::vector<CharacterMenuItem>& items);

// Check marks in the popup menu and the error box, for the behaviour.
class PopupMenuServices : public ShellServices {
public:
    explicit PopupMenuServices(const HMENU& menu) : menu_(menu) {}
    void checkMenuItem(int32_t command, bool checked) override;
    void showErrorBox(const char* text, const char* caption) override;

private:
    const HMENU& menu_;  // follows the program's menu handle
};

}  // namespace tavo
