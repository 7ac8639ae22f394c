// tavo-render: draws the character exactly as one frame of the mascot does
// (clear to blue, camera, pitch and yaw, pose, mesh) into a 400 x 360
// off-screen surface, keys the blue background to transparency and writes
// the picture as an RGBA PNG, top row first.
//
// Exit status: 0 done, 1 a file could not be read or written, 2 bad usage.

#include <cstdio>
#include <string>
#include <vector>

#include "behaviour/mascot_state.h"
#include "render/frame_renderer.h"
#include "render/offscreen_gl_surface.h"
#include "render/program_objects.h"
#include "render_options.h"
#include "resources/file_stream.h"
#include "resources/gl_api.h"
#include "rgba_png_writer.h"
#include "skeleton/skeleton.h"
#include "top_down_rgba.h"

namespace {

using tavo::render_tool::RenderOptions;

constexpr int32_t kWidth = 400;
constexpr int32_t kHeight = 360;

int fail(const std::string& message) {
    std::fprintf(stderr, "tavo-render: %s\n", message.c_str());
    return 1;
}

// Loads the character the options name; an empty string on success, else
// what went wrong.
std::string loadCharacter(const RenderOptions& options, tavo::FrameRenderer& frame,
                          tavo::MascotState& state) {
    if (options.modelPath.empty()) {
        frame.loadScene(state, kWidth, kHeight);
        return frame.character() != nullptr ? "" : "the embedded model could not be read";
    }
    tavo::FileStream model;
    if (model.open(options.modelPath.c_str()) == 0) {
        return "cannot open " + options.modelPath;
    }
    tavo::FileStream motions;
    if (!options.motionPath.empty() && motions.open(options.motionPath.c_str()) == 0) {
        return "cannot open " + options.motionPath;
    }
    frame.loadScene(state, kWidth, kHeight, &model,
                    options.motionPath.empty() ? nullptr : &motions);
    if (frame.character() == nullptr) {
        return options.modelPath + ": not a model this program can read";
    }
    if (!options.motionPath.empty() && !frame.character()->skeleton) {
        return options.motionPath +
               ": no motions loaded (the model has no bone object, or the motion file is unreadable)";
    }
    return "";
}

// Whether the chosen motion can be played; explains on stderr when not.
bool checkMotion(const RenderOptions& options, const tavo::Character& character) {
    if (!character.skeleton) {
        std::fprintf(stderr, "tavo-render: note: no motions loaded, drawing the modelled pose\n");
        return true;
    }
    const int32_t count = character.skeleton->motionCount();
    if (options.motion >= count) {
        std::fprintf(stderr, "tavo-render: motion %d does not exist (%d motions)\n",
                     static_cast<int>(options.motion), static_cast<int>(count));
        return false;
    }
    return true;
}

int run(const RenderOptions& options) {
    tavo::OffscreenGlSurface surface(kWidth, kHeight);
    if (!surface.valid()) {
        return fail("no off-screen OpenGL context (OSMesa or EGL) available");
    }
    tavo::ProgramObjects objects;
    tavo::FrameRenderer frame(objects);
    tavo::MascotState state;
    const std::string problem = loadCharacter(options, frame, state);
    if (!problem.empty()) {
        return fail(problem);
    }
    if (!checkMotion(options, *frame.character())) {
        return 1;
    }

    state.motionIndex = options.motion;
    const std::vector<std::string> names = tavo::render_tool::frameFileNames(options);
    const std::vector<float> phases = tavo::render_tool::framePhases(options);
    for (size_t i = 0; i < names.size(); ++i) {
        // The clock stands still (the same time every frame), so each frame
        // shows exactly the phase, pitch and yaw asked for.
        state.phase = phases[i];
        state.pitch = options.pitch;
        state.yaw = options.yaw;
        state.pitchRate = 0.0f;
        state.yawRate = 0.0f;
        frame.renderFrame(state, 0);
        surface.finishFrame();
        tavo::applyColorKey(surface.pixels(), kWidth, kHeight);
        if (!tavo::render_tool::writeRgbaPng(names[i], kWidth, kHeight,
                                             tavo::render_tool::topDownRgba(surface))) {
            return fail("cannot write " + names[i]);
        }
        std::printf("%s\n", names[i].c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    RenderOptions options;
    std::string error;
    if (!tavo::render_tool::parseRenderOptions(arguments, options, error)) {
        std::fprintf(stderr, "tavo-render: %s\n%s", error.c_str(), tavo::render_tool::usageText());
        return 2;
    }
    if (options.help) {
        std::fputs(tavo::render_tool::usageText(), stdout);
        return 0;
    }
    return run(options);
}
