#pragma once

#include <functional>

#include "behaviour/shell_services.h"

namespace tavo {

class PopupMenu;

// The portable behaviour's window-system services on GTK: check marks in the
// popup menu and the modal error box, in the menu's language. The frame loop is told when a box
// opens and closes, since GTK keeps running timers under a modal box.
class GtkShellServices : public ShellServices {
public:
    using ModalHandler = std::function<void(bool open)>;

    GtkShellServices(PopupMenu& menu, ModalHandler onModal) : menu_(menu), onModal_(std::move(onModal)) {}

    void checkMenuItem(int32_t command, bool checked) override;
    void showErrorBox(TextId text, TextId caption, const std::string& detail) override;

private:
    PopupMenu& menu_;
    ModalHandler onModal_;
};

}  // namespace tavo
