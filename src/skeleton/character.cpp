#include "skeleton/character.h"

#include "formats/metasequoia/mqo_reader.h"
#include "formats/metasequoia/motion_reader.h"
#include "skeleton/motion_binding.h"

namespace tavo {

namespace {

bool report(LoadError* error, const LoadError& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

bool report(LoadError* error, const char* message) {
    LoadError reason;
    reason.message = message;
    return report(error, reason);
}

}  // namespace

bool buildCharacter(std::unique_ptr<Character>& slot, ByteStream* modelStream,
                    TextureManager& textures, float scale, LoadError* error,
                    LoadWarnings* warnings) {
    if (modelStream == nullptr) {
        return report(error, "no model to read");
    }
    MqoReader reader;
    auto model = std::make_unique<Model>();
    const bool read = reader.readModel(modelStream, textures, *model, scale);
    if (warnings != nullptr) {
        warnings->append(reader.warnings());
    }
    if (!read) {
        return report(error, reader.error());
    }
    // The mascot is drawn flat: material colours and textures, no lighting
    // and no outline pass.
    model->outlineOnly = false;
    model->useLighting = false;
    model->useMaterials = true;
    model->useTextures = true;
    model->outlineWidth = 0.0f;

    auto character = std::make_unique<Character>();
    character->model = std::move(model);
    slot = std::move(character);
    return true;
}

bool loadCharacterMotions(Character* character, ByteStream* motionStream, LoadError* error,
                          LoadWarnings* warnings) {
    if (character == nullptr || !character->model) {
        return report(error, "no model to give the motions to");
    }
    auto skeleton = std::make_unique<Skeleton>();
    if (buildSkeleton(*character->model, *skeleton) != 0) {
        return report(error, "the model has no object named \"bone...\" to bind the motions to");
    }
    if (motionStream == nullptr) {
        return report(error, "no motion set to read");
    }
    MotionReader reader;
    std::vector<Motion> motions;
    const bool read = reader.readMotionSet(motionStream, motions);
    report(error, reader.error());
    if (warnings != nullptr) {
        warnings->append(reader.warnings());
    }
    if (!read) {
        return false;
    }
    attachMotions(*skeleton, std::move(motions));
    character->skeleton = std::move(skeleton);
    return true;
}

void releaseCharacter(std::unique_ptr<Character>& slot) {
    if (!slot) {
        return;
    }
    slot->model.reset();
    if (slot->skeleton) {
        slot->skeleton->motions.clear();
        slot->skeleton.reset();
    }
    slot.reset();
}

}  // namespace tavo
