// tavo-render: draws the character exactly as one frame of the mascot does
// (clear to blue, camera, pitch and yaw, pose, mesh) into a 400 x 360
// off-screen surface, keys the blue background to transparency and writes
// the picture as an RGBA PNG, top row first.
//
// Exit status: 0 done, 1 a file could not be read or written, 2 bad usage.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "behaviour/mascot_state.h"
#include "render/frame_renderer.h"
#include "render/offscreen_gl_surface.h"
#include "render/program_objects.h"
#include "render_options.h"
#include "resources/gl_api.h"
#include "system/program_arguments.h"
#include "rgba_png_writer.h"
#include "rig_overlay.h"
#include "skeleton/character.h"
#include "square_icon.h"
#include "top_down_rgba.h"

namespace {

using tavo::render_tool::RenderOptions;

constexpr int32_t kWidth = tavo::kSurfaceWidth;
constexpr int32_t kHeight = tavo::kSurfaceHeight;

int fail(const std::string& message) {
    std::fprintf(stderr, "tavo-render: %s\n", message.c_str());
    return 1;
}

// Loads the character the options name; an empty string on success, else
// what went wrong.
std::string loadCharacter(const RenderOptions& options, tavo::FrameRenderer& frame) {
    if (options.modelPath.empty()) {
        frame.loadScene(kWidth, kHeight);
        if (frame.character() != nullptr) {
            return "";
        }
        const std::vector<tavo::LoadError>& notes = frame.sceneWarnings().list();
        return "the embedded model: " + (notes.empty() ? "not found" : notes.front().describe());
    }
    tavo::LoadError error;
    // A Metasequoia model is drawn at its own scale and place; others (glTF
    // and VRM, in metres) are fitted to Tavo's height as the mascot shows them.
    const tavo::CharacterFormat* format = tavo::findCharacterFormat(options.modelPath, &error);
    if (format == nullptr) {
        return error.empty() ? options.modelPath + ": in no format this program reads" : error.describe();
    }
    if (std::string(format->name()) != "Metasequoia") {
        const tavo::CharacterFiles files{options.modelPath, options.motionPath, -1, 0.0f, ""};
        if (!frame.loadScene(kWidth, kHeight, files, error)) {
            return error.describe();
        }
    } else if (!frame.loadSceneFrom(kWidth, kHeight,
                                    tavo::CharacterSource{options.modelPath, options.motionPath, 1.0f}, error)) {
        return error.describe();
    }
    for (const tavo::LoadError& note : frame.sceneWarnings().list()) {
        std::fprintf(stderr, "tavo-render: note: %s\n", note.describe().c_str());
    }
    return "";
}

// Whether the chosen motion can be played; explains on stderr when not.
bool checkMotion(const RenderOptions& options, const tavo::CharacterData& character) {
    const int32_t count = character.clipCount();
    if (!character.hasRig() || (count == 0 && options.motion < 0)) {
        std::fprintf(stderr, "tavo-render: note: no motions loaded, drawing the modelled pose\n");
        return true;
    }
    if (options.motion >= count) {
        std::fprintf(stderr, "tavo-render: motion %d does not exist (%d motions)\n",
                     static_cast<int>(options.motion), static_cast<int>(count));
        return false;
    }
    return true;
}

// Textures that could not be read leave their materials untextured; the
// frames are still drawn, and the reasons go to stderr.
void reportTextureFailures(const tavo::TextureManager& textures) {
    for (const tavo::TextureFailure& failure : textures.failures()) {
        std::fprintf(stderr, "tavo-render: texture %s\n", failure.message().c_str());
    }
}

// The avatar's expressions by the names given; false (and says so) for a
// name it lacks.
bool holdExpressions(const RenderOptions& options, tavo::FrameRenderer& frame) {
    const std::vector<tavo::Expression>& known = frame.character()->expressions;
    std::vector<std::pair<int32_t, float>> held;
    for (const auto& [name, weight] : options.expressions) {
        const int32_t index = tavo::findExpression(known, name);
        if (index < 0) {
            std::string names;
            for (const tavo::Expression& expression : known) names += (names.empty() ? "" : ", ") + expression.name;
            fail("the character has no expression \"" + name + "\" (it has: " + (names.empty() ? "none" : names) + ")");
            return false;
        }
        held.emplace_back(index, weight);
    }
    frame.holdExpressions(std::move(held));
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
    const std::string problem = loadCharacter(options, frame);
    if (!problem.empty()) {
        return fail(problem);
    }
    reportTextureFailures(objects.textureManager);
    if (!checkMotion(options, *frame.character())) {
        return 1;
    }

    std::unique_ptr<tavo::Character> rigDocument;
    if (options.showRig || options.showAnchors) {
        tavo::LoadError error;
        if (!tavo::render_tool::loadRigDocument(options.modelPath, options.motionPath, rigDocument,
                                                error)) {
            return fail("--show-rig and --show-anchors draw Metasequoia rigs: " + error.describe());
        }
    }
    if (!holdExpressions(options, frame)) {
        return 1;
    }
    state.motionIndex = options.motion >= 0 ? options.motion : frame.playedClip();
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
        frame.renderFrame(state);
        if (rigDocument) {
            const bool posed = frame.character()->hasRig() && rigDocument->skeleton;
            tavo::render_tool::drawRigOverlay(*rigDocument, posed ? &frame.pose().model : nullptr,
                                              options.showRig, options.showAnchors);
        }
        surface.finishFrame();
        tavo::applyColorKey(surface.pixels(), kWidth, kHeight);
        const std::vector<uint8_t> picture = tavo::render_tool::topDownRgba(surface);
        if (options.iconSize > 0) {
            const std::vector<uint8_t> icon =
                tavo::render_tool::squareIcon(picture, kWidth, kHeight, options.iconSize);
            if (icon.empty()) {
                return fail("the figure is not in the picture: no icon drawn");
            }
            if (!tavo::render_tool::writeRgbaPng(names[i], options.iconSize, options.iconSize, icon)) {
                return fail("cannot write " + names[i]);
            }
        } else if (!tavo::render_tool::writeRgbaPng(names[i], kWidth, kHeight, picture)) {
            return fail("cannot write " + names[i]);
        }
        std::printf("%s\n", names[i].c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tavo::useUtf8Console();
    const std::vector<std::string> arguments = tavo::programArguments(argc, argv);
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
    if (options.version) {
        std::printf("%s\n", tavo::render_tool::versionLine().c_str());
        return 0;
    }
    return run(options);
}
