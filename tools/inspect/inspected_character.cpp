#include "inspected_character.h"

#include <filesystem>

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

// Why a file gave no bytes to read.
std::string unreadableReason(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path file(path);
    if (!std::filesystem::exists(file, ignored)) {
        return "no such file";
    }
    if (std::filesystem::is_directory(file, ignored)) {
        return "a folder, not a file";
    }
    if (std::filesystem::file_size(file, ignored) == 0) {
        return "the file is empty";
    }
    return "the file cannot be read";
}

bool openFile(const std::string& path, MemoryStream& stream, LoadError& error) {
    if (stream.loadFile(path.c_str())) {
        return true;
    }
    error.file = path;
    error.reason.message = unreadableReason(path);
    return false;
}

// Through buildCharacterFromFile, so textures are found beside the model.
bool readModel(const std::string& path, TextureManager& textures,
               std::unique_ptr<Character>& character, LoadError& error) {
    std::string openError;
    if (buildCharacterFromFile(character, path, textures, 1.0f, &openError, &error.reason)) {
        return true;
    }
    error.file = path;
    if (!openError.empty()) {
        error.reason = ReadError{0, unreadableReason(path)};
    }
    return false;
}

bool readMotions(const std::string& path, Character& character, LoadError& error,
                 LoadError& note) {
    MemoryStream stream;
    if (!openFile(path, stream, error)) {
        return false;
    }
    if (!hasBoneObject(*character.model)) {
        error.file = path;
        error.reason.message = "the model has no object named \"bone...\" to bind the motions to";
        return false;
    }
    ReadError reason;
    const bool loaded = loadCharacterMotions(&character, &stream, &reason);
    LoadError& target = loaded ? note : error;
    target.file = path;
    target.reason = reason;
    return loaded;
}

}  // namespace

std::string LoadError::describe() const { return file + ": " + reason.describe(); }

bool loadInspectedCharacter(const std::string& modelPath, const std::string& motionPath,
                            TextureManager& textures, std::unique_ptr<Character>& character,
                            LoadError& error, LoadError& note) {
    if (!readModel(modelPath, textures, character, error)) {
        return false;
    }
    if (!motionPath.empty()) {
        return readMotions(motionPath, *character, error, note);
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
