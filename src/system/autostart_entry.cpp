#include "system/autostart_entry.h"

#include <cstring>

namespace tavo {

namespace {

bool needsQuotes(const std::string& path) {
    for (const char c : path) {
        if (std::strchr(" \t\n\"'\\><~|&;$*?#()`", c) != nullptr) return true;
    }
    return path.empty();
}

}  // namespace

std::string execArgument(const std::string& path) {
    std::string argument;
    const bool quoted = needsQuotes(path);
    if (quoted) argument += '"';
    for (const char c : path) {
        if (c == '%') {
            argument += "%%";
            continue;
        }
        if (quoted && std::strchr("\"`$\\", c) != nullptr) argument += '\\';
        argument += c;
    }
    if (quoted) argument += '"';
    // The value is a string of the entry format too, where a backslash is
    // written twice and a line break as \n.
    std::string value;
    for (const char c : argument) {
        if (c == '\\') {
            value += "\\\\";
        } else if (c == '\n') {
            value += "\\n";
        } else {
            value += c;
        }
    }
    return value;
}

std::string autostartEntry(const std::string& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tavo_3D\n"
           "Comment=The desktop mascot, started at login\n"
           "Exec=" + execArgument(program) + "\n"
           "Icon=tavo_3d\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

}  // namespace tavo
