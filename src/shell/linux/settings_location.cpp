#include "shell/linux/settings_location.h"

#include <glib.h>

namespace tavo {

namespace {

std::string configHome() {
    const char* xdg = g_getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && g_path_is_absolute(xdg)) {
        return xdg;
    }
    // g_get_home_dir falls back to the password database when HOME is unset.
    return std::string(g_get_home_dir()) + "/.config";
}

}  // namespace

std::string settingsDirectory() { return configHome() + "/tavo_3d"; }

std::string settingsFilePath() { return settingsDirectory() + "/tavo_3d.ini"; }

}  // namespace tavo
