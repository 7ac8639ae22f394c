#pragma once

#include <windows.h>

#include "behaviour/shell_services.h"

namespace tavo {

// The popup menu with its three submenus and the exit item, built from the
// portable menu table; the favourite-person item is greyed.
HMENU buildPopupMenu();

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
