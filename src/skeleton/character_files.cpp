#include "skeleton/character_files.h"

#include "resources/memory_stream.h"
#include "resources/stdio_file.h"
#include "skeleton/character_file.h"

namespace tavo {

namespace {

std::string located(const std::string& path, const ReadError& error, const char* otherwise) {
    return path + ": " + (error.empty() ? std::string(otherwise) : error.describe());
}

// Root positions in the motions are model coordinates: they follow the scale.
void scalePositionKeys(Skeleton& skeleton, float scale) {
    for (Motion& motion : skeleton.motions) {
        for (VectorTrack& track : motion.vectorTracks) {
            for (Vec3& value : track.values) {
                value = Vec3(value.x * scale, value.y * scale, value.z * scale);
            }
        }
    }
}

}  // namespace

bool hasBoneObject(const Model& model) {
    for (const ModelObject& object : model.objects) {
        if (object.name.compare(0, 4, "bone") == 0) {
            return true;
        }
    }
    return false;
}

bool loadCharacterFiles(const std::string& modelPath, const std::string& motionPath,
                        TextureManager& textures, float scale, std::unique_ptr<Character>& slot,
                        std::string& error) {
    std::unique_ptr<Character> character;
    std::string openError;
    ReadError readError;
    if (!buildCharacterFromFile(character, modelPath, textures, scale, &openError, &readError)) {
        error = !openError.empty() ? openError : located(modelPath, readError, "not a Metasequoia text document");
        return false;
    }
    if (!motionPath.empty()) {
        MemoryStream motions;
        if (motions.loadFile(motionPath.c_str()) == 0) {
            error = unreadableFileReason(motionPath.c_str());
            return false;
        }
        if (!hasBoneObject(*character->model)) {
            error = motionPath + ": the model has no object named \"bone...\" to bind the motions to";
            return false;
        }
        if (!loadCharacterMotions(character.get(), &motions, &readError)) {
            error = located(motionPath, readError, "not a Mikoto motion text");
            return false;
        }
        if (scale != 1.0f) {
            scalePositionKeys(*character->skeleton, scale);
        }
    }
    slot = std::move(character);
    return true;
}

}  // namespace tavo
