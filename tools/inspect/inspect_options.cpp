#include "inspect_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "version.h"

namespace tavo::inspect {
namespace {

bool parseInt(const char* text, int32_t& value) {
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || parsed < INT32_MIN || parsed > INT32_MAX) {
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

bool parseFloat(const char* text, float& value) {
    char* end = nullptr;
    const float parsed = std::strtof(text, &end);
    if (end == text || *end != '\0') {
        return false;
    }
    value = parsed;
    return true;
}

bool parsePose(const char* motion, const char* phase, InspectOptions& options,
               std::string& error) {
    if (!parseInt(motion, options.poseMotion)) {
        error = std::string("--pose: motion index is not an integer: ") + motion;
        return false;
    }
    if (!parseFloat(phase, options.posePhase)) {
        error = std::string("--pose: phase is not a number: ") + phase;
        return false;
    }
    options.pose = true;
    return true;
}

}  // namespace

const char* usageText() {
    return "usage: tavo-inspect [--json] [--pose MOTION PHASE] MODEL.mqo [MOTIONS.mkm]\n"
           "       tavo-inspect --help | --version\n"
           "Loads a character model (and its motion set) the way the mascot does and reports\n"
           "its materials, objects, bones, skin weights, motions and the problems an author\n"
           "should fix. A glTF or VRM model gets a report of its own: counts, the VRM meta\n"
           "and humanoid, motions, expressions and spring bones; its MOTIONS may be a VRM\n"
           "Animation (.vrma).\n"
           "  --json               write the report as JSON\n"
           "  --pose MOTION PHASE  also report the bones posed by a motion at a phase (0..1)\n"
           "  --help               show this text and exit\n"
           "  --version            show the version and exit\n"
           "Exit status: 0 loaded, 1 a file is missing or rejected, 2 bad usage.";
}

std::string versionLine() { return std::string("tavo-inspect ") + TAVO_VERSION; }

bool parseInspectOptions(int argc, const char* const* argv, InspectOptions& options,
                         std::string& error) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            options.help = true;
            return true;
        } else if (std::strcmp(argument, "--version") == 0) {
            options.version = true;
            return true;
        } else if (std::strcmp(argument, "--json") == 0) {
            options.json = true;
        } else if (std::strcmp(argument, "--pose") == 0) {
            if (i + 2 >= argc) {
                error = "--pose needs a motion index and a phase";
                return false;
            }
            if (!parsePose(argv[i + 1], argv[i + 2], options, error)) {
                return false;
            }
            i += 2;
        } else if (argument[0] == '-' && argument[1] != '\0') {
            error = std::string("unknown option: ") + argument;
            return false;
        } else {
            files.push_back(argument);
        }
    }
    if (files.empty() || files.size() > 2) {
        error = files.empty() ? "no model file given" : "too many files given";
        return false;
    }
    options.modelPath = files[0];
    options.motionPath = files.size() > 1 ? files[1] : std::string();
    return true;
}

}  // namespace tavo::inspect
