#include <cmath>

#include "avatar/avatar.h"
#include "avatar/gltf_writer.h"
#include "math/quaternion.h"
#include "math/rotation.h"

// The humanoid motions the program ships, written as VRM Animation files on
// Hinata's humanoid bones in the normalised rest pose (every rest rotation
// the identity, the figure facing +Z, its left towards +X). Each bone's
// orientation is described in model space; the file keeps the rotations
// relative to the parent bone.
namespace tavo::chara::avatar {

namespace {

using Json = nlohmann::json;

constexpr float kPi = 3.14159265f;
constexpr float kDegree = kPi / 180.0f;
constexpr int kKeysPerSecond = 30;

Quaternion aboutX(float degrees) { return axisAngle(Vec3(1, 0, 0), degrees * kDegree); }
Quaternion aboutY(float degrees) { return axisAngle(Vec3(0, 1, 0), degrees * kDegree); }
Quaternion aboutZ(float degrees) { return axisAngle(Vec3(0, 0, 1), degrees * kDegree); }
Quaternion operator*(const Quaternion& a, const Quaternion& b) { return multiplyPrecise(a, b); }

// Orientations of the bones at one moment, in model space, and the hips'
// offset from their rest.
struct Posture {
    std::vector<Quaternion> world;  // parallel to the skeleton's bones
    Vec3 hipsOffset;
};

struct Skeleton {
    std::vector<int32_t> joints;  // avatar joints that are humanoid bones
    std::vector<int32_t> parents;  // in this list, -1 for the hips
};

Skeleton humanoidOf(const AvatarModel& model) {
    Skeleton skeleton;
    std::vector<int32_t> slot(model.joints.size(), -1);
    for (size_t j = 0; j < model.joints.size(); ++j) {
        if (model.joints[j].humanBone.empty()) continue;
        int32_t parent = model.joints[j].parent;
        while (parent >= 0 && slot[static_cast<size_t>(parent)] < 0) parent = model.joints[static_cast<size_t>(parent)].parent;
        slot[j] = static_cast<int32_t>(skeleton.joints.size());
        skeleton.joints.push_back(static_cast<int32_t>(j));
        skeleton.parents.push_back(parent >= 0 ? slot[static_cast<size_t>(parent)] : -1);
    }
    return skeleton;
}

// The orientation of a named bone: arms hang at the sides, and the rest
// follows its parent with the turn given.
class PostureBuilder {
public:
    PostureBuilder(const AvatarModel& model, const Skeleton& skeleton) : model_(model), skeleton_(skeleton) {
        posture_.world.assign(skeleton.joints.size(), Quaternion());
    }

    // Bone's orientation: its parent's, then turn (in the parent's axes).
    void set(const std::string& bone, const Quaternion& turn) {
        const int32_t slot = find(bone);
        if (slot < 0) return;
        const int32_t parent = skeleton_.parents[static_cast<size_t>(slot)];
        posture_.world[static_cast<size_t>(slot)] = (parent >= 0 ? posture_.world[static_cast<size_t>(parent)] : Quaternion()) * turn;
    }
    void follow(const std::string& bone) { set(bone, Quaternion()); }
    void offsetHips(const Vec3& offset) { posture_.hipsOffset = offset; }
    const Posture& posture() const { return posture_; }

private:
    int32_t find(const std::string& bone) const {
        for (size_t s = 0; s < skeleton_.joints.size(); ++s) {
            if (model_.joints[static_cast<size_t>(skeleton_.joints[s])].humanBone == bone) return static_cast<int32_t>(s);
        }
        return -1;
    }

    const AvatarModel& model_;
    const Skeleton& skeleton_;
    Posture posture_;
};

// Arms down from the T-pose (left one towards -Y turning about +Z), swung
// forward or back by swing degrees, the forearm bent forward by bend.
void hangArms(PostureBuilder& pose, float leftSwing, float rightSwing, float bend) {
    const char* sides[2] = {"left", "right"};
    const float swings[2] = {leftSwing, rightSwing};
    for (int s = 0; s < 2; ++s) {
        const std::string side = sides[s];
        const float down = s == 0 ? -72.0f : 72.0f;
        pose.follow(side + "Shoulder");
        pose.set(side + "UpperArm", aboutX(-swings[s]) * aboutZ(down));
        // The forearm: the same hang, bent further forward about the body's x.
        pose.set(side + "LowerArm", (aboutZ(down) .conjugate()) * aboutX(-bend) * aboutZ(down));
        pose.follow(side + "Hand");
    }
}

// One moment of the walk, phase 0 to 1: legs swing 24 degrees either way,
// the knee folds as the leg swings through, the arms swing against the legs
// and the hips bob twice a cycle.
Posture walkAt(const AvatarModel& model, const Skeleton& skeleton, float phase) {
    PostureBuilder pose(model, skeleton);
    const float s = std::sin(2.0f * kPi * phase);
    const float c = std::cos(2.0f * kPi * phase);
    pose.set("hips", aboutY(6.0f * s));
    pose.set("spine", aboutY(-4.0f * s) * aboutX(4.0f));
    pose.set("chest", aboutY(-3.0f * s));
    pose.set("neck", aboutY(1.0f * s));
    pose.set("head", aboutX(-3.0f));
    const float legs[2] = {-24.0f * s, 24.0f * s};  // negative: forward
    const float knees[2] = {6.0f + 42.0f * std::max(0.0f, c), 6.0f + 42.0f * std::max(0.0f, -c)};
    const char* sides[2] = {"left", "right"};
    for (int k = 0; k < 2; ++k) {
        const std::string side = sides[k];
        pose.set(side + "UpperLeg", aboutY(-6.0f * s) * aboutX(legs[k]));
        pose.set(side + "LowerLeg", aboutX(knees[k]));
        // The foot stays near level: it undoes most of the leg's swing.
        pose.set(side + "Foot", aboutX(-0.8f * (legs[k] + knees[k])));
    }
    hangArms(pose, -20.0f * s, 20.0f * s, 18.0f);
    pose.offsetHips(Vec3(0.004f * s, -0.012f + 0.010f * std::cos(4.0f * kPi * phase), 0.0f));
    return pose.posture();
}

// One moment of the idle: the arms at rest, a slow breath, the weight
// shifting from foot to foot and the head looking about a little.
Posture idleAt(const AvatarModel& model, const Skeleton& skeleton, float phase) {
    PostureBuilder pose(model, skeleton);
    const float s = std::sin(2.0f * kPi * phase);
    const float breath = std::sin(4.0f * kPi * phase);
    pose.set("hips", aboutZ(1.5f * s));
    pose.set("spine", aboutZ(-1.5f * s) * aboutX(1.0f * breath));
    pose.set("chest", aboutX(1.5f * breath));
    pose.set("neck", aboutY(4.0f * s));
    pose.set("head", aboutY(4.0f * s) * aboutX(2.0f * std::cos(2.0f * kPi * phase)));
    for (const char* side : {"left", "right"}) {
        pose.set(std::string(side) + "UpperLeg", aboutZ(-1.5f * s));
        pose.follow(std::string(side) + "LowerLeg");
        pose.follow(std::string(side) + "Foot");
    }
    hangArms(pose, 3.0f * breath, -3.0f * breath, 10.0f);
    pose.offsetHips(Vec3(0.006f * s, 0.002f * breath, 0.0f));
    return pose.posture();
}

}  // namespace

std::string writeHumanoidMotion(const AvatarModel& model, HumanoidMotionKind kind) {
    const Skeleton skeleton = humanoidOf(model);
    const bool walk = kind == HumanoidMotionKind::Walk;
    const float seconds = walk ? 1.2f : 4.0f;
    const int keys = static_cast<int>(seconds * kKeysPerSecond) + 1;

    GltfWriter writer;
    Json& json = writer.json();
    Json& nodes = json["nodes"] = Json::array();
    Json bones = Json::object();
    for (size_t s = 0; s < skeleton.joints.size(); ++s) {
        const AvatarJoint& joint = model.joints[static_cast<size_t>(skeleton.joints[s])];
        const int32_t parent = skeleton.parents[s];
        const Vec3 base = parent >= 0 ? model.joints[static_cast<size_t>(skeleton.joints[static_cast<size_t>(parent)])].position : Vec3();
        const Vec3 t = joint.position - base;
        nodes.push_back({{"name", joint.name}, {"translation", {t.x, t.y, t.z}}});
        if (parent >= 0) nodes[static_cast<size_t>(parent)]["children"].push_back(s);
        bones[joint.humanBone] = {{"node", s}};
    }
    json["scenes"] = Json::array({{{"nodes", {0}}}});
    json["scene"] = 0;

    std::vector<float> times;
    std::vector<std::vector<float>> rotations(skeleton.joints.size());
    std::vector<float> hips;
    const Vec3 hipsRest = model.joints[static_cast<size_t>(skeleton.joints[0])].position;
    for (int k = 0; k < keys; ++k) {
        const float phase = static_cast<float>(k) / static_cast<float>(keys - 1);
        times.push_back(phase * seconds);
        const Posture posture = walk ? walkAt(model, skeleton, phase) : idleAt(model, skeleton, phase);
        for (size_t s = 0; s < skeleton.joints.size(); ++s) {
            const int32_t parent = skeleton.parents[s];
            const Quaternion parentWorld = parent >= 0 ? posture.world[static_cast<size_t>(parent)] : Quaternion();
            Quaternion local = unitQuaternion(parentWorld.conjugate() * posture.world[s]);
            std::vector<float>& list = rotations[s];
            if (list.size() >= 4 && list[list.size() - 4] * local.x + list[list.size() - 3] * local.y +
                                            list[list.size() - 2] * local.z + list[list.size() - 1] * local.w < 0.0f) {
                local = local.scale(-1.0f);
            }
            list.insert(list.end(), {local.x, local.y, local.z, local.w});
        }
        const Vec3 place = hipsRest + posture.hipsOffset;
        hips.insert(hips.end(), {place.x, place.y, place.z});
    }
    const int32_t input = writer.addFloats(times, "SCALAR", true, 0);
    Json samplers = Json::array();
    Json channels = Json::array();
    for (size_t s = 0; s < skeleton.joints.size(); ++s) {
        samplers.push_back({{"input", input}, {"output", writer.addFloats(rotations[s], "VEC4", false, 0)}, {"interpolation", "LINEAR"}});
        channels.push_back({{"sampler", samplers.size() - 1}, {"target", {{"node", s}, {"path", "rotation"}}}});
    }
    samplers.push_back({{"input", input}, {"output", writer.addFloats(hips, "VEC3", false, 0)}, {"interpolation", "LINEAR"}});
    channels.push_back({{"sampler", samplers.size() - 1}, {"target", {{"node", 0}, {"path", "translation"}}}});
    json["animations"] = Json::array({{{"name", walk ? "walk" : "idle"}, {"samplers", samplers}, {"channels", channels}}});
    json["extensionsUsed"] = {"VRMC_vrm_animation"};
    json["extensions"] = {{"VRMC_vrm_animation", {{"specVersion", "1.0"}, {"humanoid", {{"humanBones", bones}}}}}};
    return writer.glb();
}

}  // namespace tavo::chara::avatar
