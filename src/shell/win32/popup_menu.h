#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "behaviour/shell_services.h"
#include "session/mascot_session.h"

namespace tavo {

// The popup menu with its submenus and the exit item, built from the
// portable menu table with the labels of one language; the favourite-person
// item is greyed. The submenu that takes the characters is given back in
// characterMenu when asked for.
HMENU buildPopupMenu(const TextTable& texts, HMENU* characterMenu = nullptr);

// A modal error box with a text and caption of the table; a detail that is
// not empty (UTF-8) follows the text on a line of its own.
void showErrorBox(const TextTable& texts, TextId text, TextId caption, const std::string& detail);

// Fills the character submenu afresh (UTF-8 labels, shown through the wide
// API so that every name reads right), with the check mark on the one shown.
void fillCharacterMenu(HMENU menu, const std::vector<CharacterMenuItem>& items);

// Check marks in the popup menu and the error box, for the behaviour.
class PopupMenuServices : public ShellServices {
public:
    PopupMenuServices(const HMENU& menu, const TextTable* const& texts) : menu_(menu), texts_(texts) {}
    void checkMenuItem(int32_t command, bool checked) override;
    void showErrorBox(TextId text, TextId caption, const std::string& detail) override;

private:
    const HMENU& menu_;                // follows the program's menu handle
    const TextTable* const& texts_;    // and its language
};

}  // namespace tavo
