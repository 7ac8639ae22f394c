#include "skeleton/character_files.h"

#include "resources/memory_stream.h"
#include "resources/stdio_file.h"

namespace tavo {

namespace {

bool readWholeFile(const std::string& path, MemoryStream& stream, std::string& error) {
    std::string why;
    if (!openStdioFile(path.c_str(), &why)) {
        error = "cannot read " + path + ": " + why;
        return false;
    }
    if (stream.loadFile(path.c_str()) == 0) {
        error = "cannot read " + path + ": empty, or not a file";
        return false;
    }
    return true;
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
    MemoryStream model;
    if (!readWholeFile(modelPath, model, error)) {
        return false;
    }
    if (!buildCharacter(character, &model, textures, scale)) {
        error = modelPath + ": not a Metasequoia text document (wrong header or data ends before Eof)";
        return false;
    }
    if (!motionPath.empty()) {
        MemoryStream motions;
        if (!readWholeFile(motionPath, motions, error)) {
            return false;
        }
        if (!hasBoneObject(*character->model)) {
            error = motionPath + ": the model has no object named \"bone...\" to bind the motions to";
            return false;
        }
        if (!loadCharacterMotions(character.get(), &motions)) {
            error = motionPath + ": not a Mikoto motion text (wrong header)";
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
