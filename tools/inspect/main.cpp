// tavo-inspect: loads a character model (and its motion set) through the
// same readers, texture manager and skeleton build as the mascot, and
// reports what it found and what an author should fix.
//
// Exit status: 0 when the files loaded; 1 when a file is missing or refused
// (the message names the file, the reason and, where one applies, the line;
// with --json it is also written as {"error": ...}); 2 when the arguments do not
// fit the usage (the message begins "bad usage" and the usage follows).

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cp932_to_utf8.h"
#include "formats/gltf/gltf_format.h"
#include "formats/gltf/humanoid_motions.h"
#include "gltf_report.h"
#include "inspect_options.h"
#include "inspected_character.h"
#include "json_report.h"
#include "problem_list.h"
#include "report_input.h"
#include "resources/image_loaders.h"
#include "system/program_arguments.h"
#include "resources/texture_manager.h"
#include "text_report.h"

namespace tavo::inspect {
namespace {

constexpr int kLoaded = 0;
constexpr int kUnreadable = 1;
constexpr int kBadUsage = 2;

int fail(int status, const std::string& reason) {
    std::fprintf(stderr, "tavo-inspect: %s\n", reason.c_str());
    return status;
}

// A file that cannot be read: the message on stderr and, for --json, the
// same as a JSON object on stdout.
int failToLoad(const InspectOptions& options, const LoadError& error) {
    if (options.json) {
        const std::string report = jsonErrorReport(error);
        std::fwrite(report.data(), 1, report.size(), stdout);
    }
    return fail(kUnreadable, error.describe());
}

bool poseMotionExists(const InspectOptions& options, const Character& character) {
    return character.skeleton && options.poseMotion >= 0 &&
           options.poseMotion < character.skeleton->motionCount();
}

// glTF and VRM files: the kind, counts, meta, humanoid and problems.
int inspectGltf(const InspectOptions& options, TextureManager& textures) {
    CharacterData data;
    GltfReport report;
    LoadError error;
    if (!readGltfCharacter(options.modelPath, 1.0f, textures, data, report, error) ||
        !giveHumanoidMotions(options.modelPath, options.motionPath, data, error)) {
        return failToLoad(options, error);
    }
    const std::string text = options.json ? gltfJsonReport(report, data) : gltfTextReport(report, data);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kLoaded;
}

int inspect(const InspectOptions& options) {
    // Pictures are decoded, never uploaded: no GL context is needed.
    TextureManager textures;
    textures.setLoaders(makeImageLoaders());
    const CharacterFormat* format = findCharacterFormat(options.modelPath);
    if (format != nullptr && std::string(format->name()) == "glTF") {
        return inspectGltf(options, textures);
    }

    std::unique_ptr<Character> character;
    LoadError error;
    LoadWarnings warnings;
    if (!loadInspectedCharacter(options.modelPath, options.motionPath, textures, character, error,
                                warnings)) {
        return failToLoad(options, error);
    }
    if (options.pose && !poseMotionExists(options, *character)) {
        return fail(kBadUsage, "bad usage: --pose: no motion " + std::to_string(options.poseMotion));
    }

    ReportInput input;
    input.model = character->model.get();
    input.textures = &textures;
    // Posing works on the records, so the skeleton stays as built.
    if (character->skeleton) {
        input.skeleton = character->skeleton.get();
        input.skin = summarizeSkin(*input.model, *input.skeleton);
    }
    input.problems =
        collectProblems(*input.model, input.skeleton, input.skin, !options.motionPath.empty(),
                        &textures);
    // What the readers passed over comes first, in the order of the files.
    std::vector<std::string> read;
    for (const LoadError& warning : warnings.list()) {
        read.push_back(checkedUtf8(warning.describe()));
    }
    input.problems.insert(input.problems.begin(), read.begin(), read.end());
    PoseSnapshot pose;
    if (options.pose) {
        pose = takePose(*character, options.poseMotion, options.posePhase);
        input.pose = &pose;
    }

    const std::string report = options.json ? jsonReport(input) : textReport(input);
    std::fwrite(report.data(), 1, report.size(), stdout);
    releaseCharacter(character);
    return kLoaded;
}

}  // namespace
}  // namespace tavo::inspect

int main(int argc, char** argv) {
    using namespace tavo::inspect;
    InspectOptions options;
    std::string error;
    tavo::useUtf8Console();
    const std::vector<std::string> arguments = tavo::programArguments(argc, argv);
    std::vector<const char*> pointers{argc > 0 ? argv[0] : "tavo-inspect"};
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    if (!parseInspectOptions(static_cast<int>(pointers.size()), pointers.data(), options, error)) {
        std::fprintf(stderr, "tavo-inspect: bad usage: %s\n%s\n", error.c_str(), usageText());
        return kBadUsage;
    }
    if (options.help || options.version) {
        std::printf("%s\n", options.help ? usageText() : versionLine().c_str());
        return kLoaded;
    }
    return inspect(options);
}
