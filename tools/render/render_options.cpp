#include "render_options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "version.h"

namespace tavo::render_tool {

namespace {

constexpr int32_t kMaxFrames = 1000;
constexpr int32_t kMinIconSize = 16;
constexpr int32_t kMaxIconSize = 1024;

bool parseInt(const std::string& text, int32_t& out) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    out = static_cast<int32_t>(value);
    return true;
}

bool parseFloat(const std::string& text, float& out) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || std::fabs(value) > 1.0e9) {
        return false;
    }
    out = static_cast<float>(value);
    return true;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Every option but the switches (--help, --version, --show-rig, --show-anchors)
// takes one value.
bool takesValue(const std::string& name) {
    static const char* const kValueOptions[] = {"--model", "--motions", "--out",    "--motion", "--phase",
                                                "--pitch", "--yaw",     "--frames", "--icon", "--expression"};
    for (const char* option : kValueOptions) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

}  // namespace

const char* usageText() {
    return "usage: tavo-render [--model F.mqo [--motions F.mkm]] [--motion N] [--phase P]\n"
           "                   [--pitch DEG] [--yaw DEG] [--frames N | --icon SIZE] [--show-rig]\n"
           "                   [--show-anchors] [--expression NAME=WEIGHT]... --out FILE.png\n"
           "       tavo-render --help | --version\n"
           "Draws the character as one frame of the mascot draws it (400 x 360, blue keyed\n"
           "to transparency) and writes an RGBA PNG. Without --model the embedded character\n"
           "is drawn. --frames N writes N frames spaced evenly over one cycle of the motion\n"
           "as FILE-000.png, FILE-001.png, ... --icon SIZE writes a square SIZE x SIZE\n"
           "picture (16 to 1024) of the figure alone, cropped to it and centred, for an\n"
           "application icon.\n"
           "--show-rig draws the hidden bone object through the figure: bone triangles\n"
           "(red, a dot at the head) and links (yellow); --show-anchors draws the anchor\n"
           "boxes of the smooth parts (green wire). Both follow the pose.\n"
           "A VRM avatar takes a VRM Animation as its motion (--motions F.vrma) and is drawn\n"
           "still, its eyes open; --expression NAME=WEIGHT (0 to 1) holds one of its\n"
           "expressions (blink, happy, surprised, ...) and may be repeated.\n"
           "Exit status: 0 written, 1 a file could not be read or written, 2 bad usage.\n";
}

std::string versionLine() { return std::string("tavo-render ") + TAVO_VERSION; }

bool parseRenderOptions(const std::vector<std::string>& arguments, RenderOptions& options,
                        std::string& error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return true;
        }
        if (name == "--show-rig" || name == "--show-anchors") {
            (name == "--show-rig" ? options.showRig : options.showAnchors) = true;
            continue;
        }
        if (name == "--version") {
            options.version = true;
            return true;
        }
        if (!takesValue(name)) {
            error = name.rfind("-", 0) == 0 ? "unknown option " + name : "unexpected argument " + name;
            return false;
        }
        if (i + 1 >= arguments.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        bool valid = true;
        if (name == "--model") {
            options.modelPath = value;
        } else if (name == "--motions") {
            options.motionPath = value;
        } else if (name == "--out") {
            options.outPath = value;
        } else if (name == "--motion") {
            valid = parseInt(value, options.motion) && options.motion >= 0;
        } else if (name == "--phase") {
            valid = parseFloat(value, options.phase);
        } else if (name == "--pitch") {
            valid = parseFloat(value, options.pitch);
        } else if (name == "--yaw") {
            valid = parseFloat(value, options.yaw);
        } else if (name == "--icon") {
            valid = parseInt(value, options.iconSize) && options.iconSize >= kMinIconSize &&
                    options.iconSize <= kMaxIconSize;
        } else if (name == "--expression") {
            const size_t equals = value.find('=');
            float weight = 0.0f;
            valid = equals != std::string::npos && equals > 0 && parseFloat(value.substr(equals + 1), weight) &&
                    weight >= 0.0f && weight <= 1.0f;
            if (valid) options.expressions.emplace_back(value.substr(0, equals), weight);
        } else if (name == "--frames") {
            valid = parseInt(value, options.frames) && options.frames >= 1 &&
                    options.frames <= kMaxFrames;
        }
        if (!valid || value.empty()) {
            error = "bad value for " + name + ": \"" + value + "\"";
            return false;
        }
    }
    if (options.outPath.empty()) {
        error = "--out FILE.png is required";
        return false;
    }
    if (options.iconSize > 0 && options.frames > 0) {
        error = "--icon draws one picture: it does not go with --frames";
        return false;
    }
    if (!options.motionPath.empty() && options.modelPath.empty()) {
        error = "--motions needs --model";
        return false;
    }
    return true;
}

std::vector<std::string> frameFileNames(const RenderOptions& options) {
    if (options.frames <= 0) {
        return {options.outPath};
    }
    std::string stem = options.outPath;
    if (endsWith(stem, ".png") || endsWith(stem, ".PNG")) {
        stem.resize(stem.size() - 4);
    }
    std::vector<std::string> names;
    for (int32_t i = 0; i < options.frames; ++i) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "-%03d.png", static_cast<int>(i));
        names.push_back(stem + suffix);
    }
    return names;
}

std::vector<float> framePhases(const RenderOptions& options) {
    if (options.frames <= 0) {
        return {options.phase};
    }
    std::vector<float> phases;
    for (int32_t i = 0; i < options.frames; ++i) {
        phases.push_back(static_cast<float>(i) / static_cast<float>(options.frames));
    }
    return phases;
}

}  // namespace tavo::render_tool
