#include "inspected_character.h"

#include "resources/memory_stream.h"
#include "skeleton/character_files.h"

namespace tavo::inspect {
namespace {

const char kEmptyMotionSet[] = "Mikoto Motion Ver 2\r\nEof\r\n";

}  // namespace

bool loadInspectedCharacter(const std::string& modelPath, const std::string& motionPath,
                            TextureManager& textures, std::unique_ptr<Character>& character,
                            LoadError& error, LoadWarnings& warnings) {
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

PoseSnapshot takePose(Character& character, int32_t motion, float phase) {
    PoseSnapshot pose;
    pose.motion = motion;
    pose.phase = phase;
    if (!character.skeleton || motion < 0 || motion >= character.skeleton->motionCount()) {
        return pose;
    }
    const Skeleton& skeleton = *character.skeleton;
    pose.frame = phaseToFrame(phase, skeleton.motions[motion].endFrame);
    animateCharacter(&character, motion, phase);
    for (int32_t i = 0; i < skeleton.boneCount(); ++i) {
        pose.bones.push_back(computeWorldTransform(skeleton, i));
    }
    return pose;
}

}  // namespace tavo::inspect
