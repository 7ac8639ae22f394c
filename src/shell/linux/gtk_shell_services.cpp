#include "shell/linux/gtk_shell_services.h"

#include "shell/linux/message_box.h"
#include "shell/linux/popup_menu.h"

namespace tavo {

void GtkShellServices::checkMenuItem(int32_t command, bool checked) { menu_.setChecked(command, checked); }

void GtkShellServices::showErrorBox(TextId text, TextId caption, const std::string& detail) {
    const TextTable& texts = menu_.texts();
    const std::string shown = detail.empty() ? texts.utf8(text) : texts.utf8(text) + "\n" + detail;
    onModal_(true);
    showMessageBox(shown, texts.utf8(caption));
    onModal_(false);
}

}  // namespace tavo
