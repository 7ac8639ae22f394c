#include "system/command_line.h"

#include "version.h"

namespace tavo {

namespace {

// "--name=value" gives value; "--name value" takes the next argument.
bool takeValue(const std::vector<std::string>& arguments, size_t& index, const std::string& name,
               std::string& value, std::string& error) {
    const std::string& argument = arguments[index];
    if (argument.size() > name.size() && argument[name.size()] == '=') {
        value = argument.substr(name.size() + 1);
    } else if (index + 1 < arguments.size()) {
        value = arguments[++index];
    } else {
        error = name + " needs a value";
        return false;
    }
    if (value.empty()) {
        error = name + " needs a value";
        return false;
    }
    return true;
}

bool startsWithOption(const std::string& argument, const std::string& name) {
    return argument == name || argument.rfind(name + "=", 0) == 0;
}

}  // namespace

bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& options,
                      std::string& error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
        } else if (argument == "--version") {
            options.showVersion = true;
        } else if (argument == "--verbose") {
            options.verbose = true;
        } else if (startsWithOption(argument, "--character")) {
            if (!takeValue(arguments, i, "--character", options.characterPath, error)) return false;
        } else {
            error = "unknown option: " + argument;
            return false;
        }
    }
    return true;
}

const char* commandLineUsage() {
    return "usage: tavo_3d [--character PATH] [--verbose] [--help] [--version]\n"
           "Puts an animated character on the desktop. A click on it opens its menu.\n"
           "  --character PATH  show the character in folder PATH (or the .mqo in it)\n"
           "  --verbose         name the OpenGL back end and renderer on stderr\n"
           "  --help            show this text and exit\n"
           "  --version         show the version and exit\n";
}

std::string versionLine() { return std::string("tavo_3d ") + TAVO_VERSION; }

}  // namespace tavo
