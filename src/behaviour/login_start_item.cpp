#include "behaviour/login_start_item.h"

#include <string>

#include "behaviour/menu_commands.h"
#include "behaviour/shell_services.h"
#include "system/login_start.h"

namespace tavo {

void showStartAtLogin(ShellServices& shell) { shell.checkMenuItem(kCommandStartAtLogin, startsAtLogin()); }

void toggleStartAtLogin(ShellServices& shell) {
    std::string reason;
    if (!setStartAtLogin(!startsAtLogin(), reason)) {
        shell.showErrorBox(TextId::StartAtLoginFailed, TextId::StartAtLogin, reason);
    }
    // A menu may have turned its check mark over by itself: show the truth.
    showStartAtLogin(shell);
}

}  // namespace tavo
