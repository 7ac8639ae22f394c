#include "skeleton/character_files.h"

#include "resources/memory_stream.h"
#include "skeleton/character_file.h"

namespace tavo {

namespace {

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

bool refuse(LoadError& error, const std::string& file, LoadError reason, const char* otherwise) {
    error = std::move(reason);
    error.file = file;
    if (error.message.empty()) {
        error.message = otherwise;
    }
    return false;
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
                        LoadError& error, LoadWarnings* warnings) {
    std::unique_ptr<Character> character;
    LoadError reason;
    if (!buildCharacterFromFile(character, modelPath, textures, scale, &reason, warnings)) {
        return refuse(error, modelPath, reason, "not a Metasequoia text document");
    }
    if (!motionPath.empty()) {
        MemoryStream motions;
        if (motions.loadFile(motionPath.c_str(), &reason.message) == 0) {
            return refuse(error, motionPath, reason, "the file cannot be read");
        }
        if (!hasBoneObject(*character->model)) {
            return refuse(error, motionPath, LoadError(),
                          "the model has no object named \"bone...\" to bind the motions to");
        }
        LoadWarnings read;
        const bool loaded = loadCharacterMotions(character.get(), &motions, &reason, &read);
        if (warnings != nullptr) {
            // A motion set cut short still loads; where it was cut is a note.
            if (loaded && !reason.empty()) {
                read.add(reason);
            }
            read.setFile(motionPath);
            warnings->append(read);
        }
        if (!loaded) {
            return refuse(error, motionPath, reason, "not a Mikoto motion text");
        }
        if (scale != 1.0f) {
            scalePositionKeys(*character->skeleton, scale);
        }
    }
    slot = std::move(character);
    return true;
}

}  // namespace tavo
