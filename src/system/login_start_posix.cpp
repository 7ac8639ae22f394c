#include "system/login_start.h"

#include <errno.h>
#include <locale.h>
#include <pwd.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "system/atomic_file_write.h"
#include "system/autostart_entry.h"

namespace tavo {

namespace {

bool isAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string configHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (isAbsolute(xdg)) return xdg;
    const char* home = std::getenv("HOME");
    if (!isAbsolute(home)) {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    return std::string(isAbsolute(home) ? home : "") + "/.config";
}

std::string autostartDirectory() { return configHome() + "/autostart"; }
std::string autostartFile() { return autostartDirectory() + "/tavo_3d.desktop"; }

// The system's text for an error number, in English whatever the user's
// locale (the box shows 8-bit text, not the locale's encoding).
std::string errorText(int error) {
    locale_t plain = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    std::string text = plain != static_cast<locale_t>(nullptr) ? strerror_l(error, plain) : "error";
    if (plain != static_cast<locale_t>(nullptr)) freelocale(plain);
    return text;
}

std::string failure(const std::string& path, int error) { return path + ": " + errorText(error); }

std::string runningExecutable() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

// Makes the folder and the ones above it (new ones readable by the user
// alone, as the base directory rules ask).
bool makeDirectories(const std::string& path, std::string& reason) {
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        struct stat info {};
        if (stat(part.c_str(), &info) != 0 && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            reason = failure(part, errno);
            return false;
        }
        if (stat(part.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            reason = part + ": not a folder";
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}

}  // namespace

// An entry that the session's own settings have switched off (Hidden=true,
// or GNOME's enabled key false) starts nothing.
bool startsAtLogin() {
    const std::string file = autostartFile();
    struct stat info {};
    if (stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::ifstream entry(file);
    if (!entry) return false;
    std::string line;
    while (std::getline(entry, line)) {
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false") return false;
    }
    return true;
}

bool setStartAtLogin(bool enabled, std::string& reason) {
    const std::string file = autostartFile();
    if (!enabled) {
        if (unlink(file.c_str()) != 0 && errno != ENOENT) {
            reason = failure(file, errno);
            return false;
        }
        return true;
    }
    const std::string program = runningExecutable();
    if (program.empty()) {
        reason = failure("/proc/self/exe", errno);
        return false;
    }
    if (!makeDirectories(autostartDirectory(), reason)) return false;
    if (!writeFileAtomically(file, autostartEntry(program))) {
        reason = failure(file, errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

}  // namespace tavo
