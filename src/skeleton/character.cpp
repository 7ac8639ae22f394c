#include "skeleton/character.h"

#include "model/mqo_reader.h"
#include "motion/motion_reader.h"

namespace tavo {

bool buildCharacter(std::unique_ptr<Character>& slot, ByteStream* modelStream,
                    TextureManager& textures, float scale, ReadError* error) {
    if (modelStream == nullptr) {
        return false;
    }
    MqoReader reader;
    auto model = std::make_unique<Model>();
    if (!reader.readModel(modelStream, textures, *model, scale)) {
        if (error != nullptr) *error = reader.error();
        return false;
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

bool loadCharacterMotions(Character* character, ByteStream* motionStream, ReadError* error) {
    if (character == nullptr || !character->model) {
        return false;
    }
    auto skeleton = std::make_unique<Skeleton>();
    if (buildSkeleton(*character->model, *skeleton) != 0) {
        return false;
    }
    if (motionStream == nullptr) {
        return false;
    }
    MotionReader reader;
    if (!reader.readMotionSet(motionStream, *skeleton)) {
        if (error != nullptr) *error = reader.error();
        return false;
    }
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
