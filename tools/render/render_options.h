#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tavo::render_tool {

// What one run of tavo-render draws.
struct RenderOptions {
    std::string modelPath;    // empty: the embedded character
    std::string motionPath;   // empty: no motions (or the embedded ones)
    int32_t motion = -1;  // -1: the character's own (3 of four or more, else 0)
    float phase = 0.0f;
    float pitch = 0.0f;
    float yaw = 0.0f;
    int32_t frames = 0;       // 0: one frame at `phase`; N: N frames over a cycle
    int32_t iconSize = 0;     // 0: the whole 400 x 360 frame; N: an N x N icon
    std::string outPath;
    // --expression NAME=WEIGHT, in order (an avatar's expressions, held).
    std::vector<std::pair<std::string, float>> expressions;
    bool showRig = false;      // draw the bone object's bones and links over the figure
    bool showAnchors = false;  // draw the anchor boxes over the figure
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name. On a usage error returns
// false and describes it in error.
bool parseRenderOptions(const std::vector<std::string>& arguments, RenderOptions& options,
                        std::string& error);

// The file names written: outPath for one frame, else FILE-000.png ... for
// N frames (a trailing ".png" of outPath is replaced).
std::vector<std::string> frameFileNames(const RenderOptions& options);
// Phase of each frame: `phase` for one frame, else i / N.
std::vector<float> framePhases(const RenderOptions& options);

const char* usageText();
// "tavo-render 1.1.0"
std::string versionLine();

}  // namespace tavo::render_tool
