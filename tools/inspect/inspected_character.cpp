#include "inspected_character.h"

#include "animation/clip_sampling.h"
#include "animation/posing.h"
#include "formats/character_format.h"
#include "formats/metasequoia/metasequoia_format.h"
#include "resources/memory_stream.h"
#include "skeleton/character_files.h"
#include "skeleton/skeleton.h"

namespace tavo::inspect {
namespace {

const char kEmptyMotionSet[] = "Mikoto Motion Ver 2\r\nEof\r\n";

}  // namespace

bool loadInspectedCharacter(const std::string& modelPath, const std::string& motionPath,
                            TextureManager& textures, std::unique_ptr<Character>& character,
                            LoadError& error, LoadWarnings& warnings) {
    const CharacterFormat* format = findCharacterFormat(modelPath, &error);
    if (format == nullptr) {
        return false;
    }
    if (!loadCharacterFiles(modelPath, motionPath, textures, 1.0f, character, error, &warnings)) {
        return false;
    }
    if (motionPath.empty()) {
        // The skeleton as the mascot would build it, with no motions.
        MemoryStream empty;
        empty.attach(kEmptyMotionSet, static_cast<int32_t>(sizeof(kEmptyMotionSet) - 1));
        loadCharacterMotions(character.get(), &empty);
    }
    return true;
}

PoseSnapshot takePose(const Character& character, int32_t motion, float phase) {
    PoseSnapshot snapshot;
    snapshot.motion = motion;
    snapshot.phase = phase;
    if (!character.skeleton || motion < 0 || motion >= character.skeleton->motionCount()) {
        return snapshot;
    }
    snapshot.frame = phaseToFrame(phase, character.skeleton->motions[motion].endFrame);
    // The rig and the one clip are enough for the bones' places.
    CharacterData data;
    data.rig = rigOf(*character.skeleton);
    data.clips.push_back(clipOf(character.skeleton->motions[motion], *character.skeleton));
    CharacterPose pose;
    pose.reset(data);
    if (!poseCharacter(data, 0, phase, false, pose)) {
        return snapshot;
    }
    for (size_t i = 0; i < data.rig.joints.size(); ++i) {
        snapshot.bones.push_back({pose.model.positions[i], pose.model.rotations[i]});
    }
    return snapshot;
}

}  // namespace tavo::inspect
