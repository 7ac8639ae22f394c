#pragma once

#include <string>
#include <vector>

namespace tavo {

// What tavo_3d was asked to do on its command line. Arguments are UTF-8
// (the Windows shell converts its wide command line first).
struct CommandLine {
    bool showHelp = false;
    bool showVersion = false;
    bool verbose = false;
    // A character folder, or a model file inside one; empty for the stored
    // choice (or the built-in character).
    std::string characterPath;
};

// Fills `options` from the arguments after the program name. On an unknown
// option or a missing value, returns false with a one-line reason in `error`
// (the caller shows it with the usage and exits with status 2).
bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& options,
                      std::string& error);

// The usage text and the version line, without a trailing program-specific
// wrapper: "tavo_3d 1.1.0".
const char* commandLineUsage();
std::string versionLine();

}  // namespace tavo
