#include "shell/linux/gtk_shell_services.h"

#include "resources/cp932_to_utf8.h"
#include "shell/linux/message_box.h"
#include "shell/linux/popup_menu.h"

namespace tavo {

void GtkShellServices::checkMenuItem(int32_t command, bool checked) { menu_.setChecked(command, checked); }

void GtkShellServices::showErrorBox(const char* text, const char* caption) {
    onModal_(true);
    showMessageBox(cp932ToUtf8(text != nullptr ? text : ""), cp932ToUtf8(caption != nullptr ? caption : ""));
    onModal_(false);
}

}  // namespace tavo
