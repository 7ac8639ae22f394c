#include "inspected_character.h"

#include "resources/memory_stream.h"
#include "skeleton/character_file.h"

namespace tavo::inspect {
namespace {

const char kEmptyMotionSet[] = "Mikoto Motion Ver 2\r\nEof\r\n";

bool hasBoneObject(const Model& model) {
    for (const ModelObject& object : model.objects) {
        if (object.name.compare(0, 4, "bone") == 0) {
            return true;
        }
    }
    return false;
}

bool readModel(const std::string& path, TextureManager& textures,
               std::unique_ptr<Character>& character, std::string& error) {
    if (!buildCharacterFromFile(character, path, textures, 1.0f, &error)) {
        if (!error.empty()) {
            return false;
        }
        error = path + ": not a Metasequoia text document (wrong header or data ends before Eof)";
        return false;
    }
    return true;
}

bool readMotions(const std::string& path, Character& character, std::string& error) {
    MemoryStream stream;
    if (!stream.loadFile(path.c_str())) {
        error = "cannot read " + path;
        return false;
    }
    if (!hasBoneObject(*character.model)) {
        error = path + ": the model has no object named \"bone...\" to bind the motions to";
        return false;
    }
    if (!loadCharacterMotions(&character, &stream)) {
        error = path + ": not a Mikoto motion text (wrong header)";
        return false;
    }
    return true;
}

}  // namespace

bool loadInspectedCharacter(const std::string& modelPath, const std::string& motionPath,
                            TextureManager& textures, std::unique_ptr<Character>& character,
                            std::string& error) {
    if (!readModel(modelPath, textures, character, error)) {
        return false;
    }
    if (!motionPath.empty()) {
        return readMotions(motionPath, *character, error);
    }
    MemoryStream empty;
    empty.attach(kEmptyMotionSet, static_cast<int32_t>(sizeof(kEmptyMotionSet) - 1));
    loadCharacterMotions(character.get(), &empty);
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
