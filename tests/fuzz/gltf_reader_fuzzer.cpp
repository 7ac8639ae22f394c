// Arbitrary bytes as a glTF, GLB or VRM document (no files beside it: only
// data: URIs and the binary chunk are read), and as a VRM Animation. A
// refusal must give a reason; whatever is accepted must be consistent
// records: every corner inside its object's vertices, every influence on a
// joint of the rig with weights that add up to one, materials, clips,
// expressions and spring bones that point where they may. An accepted
// avatar is given the built-in motions and posed alive for a few frames,
// and an accepted animation is retargeted onto a small humanoid: none of it
// may fault, read out of bounds or hang.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "animation/humanoid_retargeting.h"
#include "animation/posing.h"
#include "formats/gltf/gltf_character.h"
#include "formats/gltf/humanoid_motions.h"
#include "formats/gltf/vrma_reader.h"
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
            const size_t limit = channel.target == tavo::ChannelTarget::MorphWeights ? data.model.objects.size()
                                 : channel.target == tavo::ChannelTarget::Expression ? data.expressions.size()
                                                                                      : data.rig.joints.size();
            require(channel.joint >= 0 && static_cast<size_t>(channel.joint) < limit);
        }
    }
    for (const tavo::Expression& expression : data.expressions) {
        for (const tavo::MorphBind& bind : expression.binds) {
            require(bind.object >= 0 && static_cast<size_t>(bind.object) < data.model.objects.size());
            require(bind.target >= 0 &&
                    static_cast<size_t>(bind.target) < data.model.objects[static_cast<size_t>(bind.object)].morphTargets.size());
        }
    }
    for (const tavo::SpringChain& chain : data.springs.chains) {
        for (const tavo::SpringJoint& joint : chain.joints) require(data.rig.validJoint(joint.joint));
    }
    for (int32_t joint : data.humanoid.joints) require(joint == -1 || data.rig.validJoint(joint));
}

// A few frames of an avatar alive: walking, blinking, looking, carried.
void poseAlive(const tavo::CharacterData& data) {
    if (!data.hasRig() || data.rig.joints.size() > 4096) return;
    tavo::CharacterPose pose;
    pose.reset(data);
    tavo::AvatarInputs inputs;
    for (int frame = 0; frame < 4; ++frame) {
        inputs.seconds = frame == 2 ? 5.0f : 0.1f;
        inputs.blink = 0.5f;
        inputs.looking = true;
        inputs.lookTarget = tavo::Vec3(0.3f, 1.0f, 1.0f);
        inputs.carried.shift = tavo::Vec3(-0.1f, 0.0f, 0.0f);
        if (!tavo::poseCharacter(data, 0, 0.25f * static_cast<float>(frame), false, pose, &inputs)) return;
    }
}

// A two-bone humanoid to play an animation on.
const tavo::CharacterData& smallHumanoid() {
    static const tavo::CharacterData data = [] {
        tavo::CharacterData made;
        tavo::Joint hips;
        hips.rest.translation = tavo::Vec3(0, 1, 0);
        tavo::Joint spine;
        spine.parent = 0;
        spine.rest.translation = tavo::Vec3(0, 0.2f, 0);
        made.rig.joints = {hips, spine};
        made.rig.joints[0].children = {1};
        made.rig.roots = {0};
        made.humanoid.joints[0] = 0;
        made.humanoid.joints[1] = 1;
        return made;
    }();
    return data;
}

void playAsAnimation(const uint8_t* bytes, size_t size) {
    tavo::HumanoidMotion motion;
    tavo::LoadError error;
    if (!tavo::readVrmaBytes("fuzz.vrma", bytes, size, motion, error)) {
        require(!error.message.empty());
        return;
    }
    tavo::Clip clip;
    std::string reason;
    if (!tavo::retargetHumanoidMotion(motion, smallHumanoid(), clip, reason)) {
        require(!reason.empty());
        return;
    }
    require(clip.duration >= 0.0f && clip.duration <= 600.0f);
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
    if (tavo::giveHumanoidMotions("fuzz.glb", "", data, error)) {
        checkRecords(data);
        poseAlive(data);
    } else {
        require(!error.message.empty());
    }
    playAsAnimation(bytes, size);
    return 0;
}
