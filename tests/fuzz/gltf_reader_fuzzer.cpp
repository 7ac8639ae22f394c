// Arbitrary bytes as a glTF, GLB or VRM document (no files beside it: only
// data: URIs and the binary chunk are read). A refusal must give a reason;
// whatever is accepted must be consistent records: every corner inside its
// object's vertices, every influence on a joint of the rig with weights that
// add up to one, materials and clips that point where they may.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/gltf/gltf_character.h"
#include "formats/gltf/gltf_validation.h"
#include "resources/image_loaders.h"
#include "resources/texture_manager.h"

namespace {

void require(bool condition) {
    if (!condition) abort();
}

void checkRecords(const tavo::CharacterData& data) {
    const size_t materials = data.model.materials.size();
    for (const tavo::ModelObject& object : data.model.objects) {
        for (const tavo::TriangleGroup& group : object.triangleGroups) {
            for (const tavo::Triangle& triangle : group) {
                require(triangle.material >= 0 && static_cast<size_t>(triangle.material) < materials);
                for (int32_t index : triangle.indices) require(index >= 0 && static_cast<size_t>(index) < object.vertices.size());
            }
        }
        for (const tavo::VertexInfluence& influence : object.vertexInfluences) {
            float sum = 0.0f;
            for (size_t k = 0; k < influence.boneIndices.size(); ++k) {
                require(data.rig.validJoint(influence.boneIndices[k]));
                sum += influence.weights[k];
            }
            require(std::fabs(sum - 1.0f) < 1e-3f);
        }
    }
    for (int32_t index : data.model.skinnedObjects) require(index >= 0 && static_cast<size_t>(index) < data.model.objects.size());
    for (const tavo::Clip& clip : data.clips) {
        for (const tavo::Channel& channel : clip.channels) {
            const size_t limit = channel.target == tavo::ChannelTarget::MorphWeights ? data.model.objects.size() : data.rig.joints.size();
            require(channel.joint >= 0 && static_cast<size_t>(channel.joint) < limit);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    tavo::GltfFile file;
    tavo::LoadError error;
    if (!tavo::loadGltfBytes("fuzz.glb", "", bytes, size, file, error) || !tavo::validateGltf(file, error)) {
        require(!error.message.empty());
        return 0;
    }
    tavo::TextureManager textures;
    textures.setLoaders(tavo::makeImageLoaders());
    textures.setLargestSide(tavo::kGltfLargestTextureSide);
    tavo::CharacterData data;
    tavo::GltfReport report;
    if (!tavo::buildGltfCharacter(file, 1.0f, textures, data, report, error)) {
        require(!error.message.empty());
        return 0;
    }
    checkRecords(data);
    return 0;
}
