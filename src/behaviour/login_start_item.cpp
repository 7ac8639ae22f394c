#include "behaviour/login_start_item.h"

#include <string>

#include "behaviour/menu_commands.h"
#include "behaviour/shell_services.h"
#include "system/login_start.h"

namespace tavo {

namespace {

const char kFailureText[] =
    "\x83\x8D\x83\x4F\x83\x43\x83\x93\x8E\x9E\x82\xCC\x8B\x4E\x93\xAE\x82\xF0\x90\xDD\x92\xE8\x82\xC5"
    "\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81\x42"; /* ログイン時の起動を設定できませんでした。 */
const char kCaption[] = "\x83\x8D\x83\x4F\x83\x43\x83\x93\x8E\x9E\x82\xC9\x8B\x4E\x93\xAE"; /* ログイン時に起動 */

}  // namespace

void showStartAtLogin(ShellServices& shell) { shell.checkMenuItem(kCommandStartAtLogin, startsAtLogin()); }

void toggleStartAtLogin(ShellServices& shell) {
    std::string reason;
    if (!setStartAtLogin(!startsAtLogin(), reason)) {
        const std::string text = std::string(kFailureText) + "\n" + reason;
        shell.showErrorBox(text.c_str(), kCaption);
    }
    // A menu may have turned its check mark over by itself: show the truth.
    showStartAtLogin(shell);
}

}  // namespace tavo
