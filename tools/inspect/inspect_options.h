#pragma once

#include <cstdint>
#include <string>

namespace tavo::inspect {

// tavo-inspect [--json] [--pose MOTION PHASE] MODEL.mqo [MOTIONS.mkm]
//              | --help | --version
struct InspectOptions {
    bool help = false;     // show the usage and exit
    bool version = false;  // show the version and exit
    bool json = false;
    bool pose = false;
    int32_t poseMotion = 0;
    float posePhase = 0.0f;
    std::string modelPath;
    std::string motionPath;  // empty when no motion set was given
};

const char* usageText();
// "tavo-inspect 1.1.0"
std::string versionLine();

// False with a one-line reason for arguments that do not fit the usage.
bool parseInspectOptions(int argc, const char* const* argv, InspectOptions& options,
                         std::string& error);

}  // namespace tavo::inspect
