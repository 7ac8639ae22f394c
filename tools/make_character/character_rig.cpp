#include "character_rig.h"

#include <cmath>

#include "math/matrix3.h"

namespace tavo::chara {

Quaternion boneFrameRotation(const Vec3& head, const Vec3& side, const Vec3& tip) {
    Vec3 z = tip - head;
    z.normalize();
    const Vec3 x = (side - tip).cross(z).normalized();
    const Vec3 y = z.cross(x).normalized();
    return Matrix3::fromColumns(x, y, z).toQuaternion().conjugate();
}

std::string resolveMirroredName(const std::string& name, float headX) {
    if (name.size() < 2 || name.compare(name.size() - 2, 2, "[]") != 0) {
        return name;
    }
    return name.substr(0, name.size() - 2) + (headX > 0.0f ? "[L]" : "[R]");
}

// Points are kept at the four decimals that the model file holds, so that the
// rest frames computed here are the ones the program computes from the file.
static float toFileGrid(float value) { return static_cast<float>(std::round(value * 10000.0) / 10000.0); }

int32_t Rig::addPoint(const Vec3& position) {
    points_.push_back({toFileGrid(position.x), toFileGrid(position.y), toFileGrid(position.z)});
    return static_cast<int32_t>(points_.size()) - 1;
}

int32_t Rig::addBone(const std::string& materialName, int32_t head, int32_t tip,
                     const Vec3& reference) {
    const Vec3 from = points_[head];
    const Vec3 along = points_[tip] - from;
    const float length = along.length();
    const Vec3 direction = along.normalized();
    const Vec3 across = (reference - direction * reference.dot(direction)).normalized();
    RigBone bone;
    bone.materialName = materialName;
    bone.name = resolveMirroredName(materialName, from.x);
    bone.head = head;
    bone.tip = tip;
    // Short edge head-side, long edge side-tip: clearly scalene.
    bone.side = addPoint(from + across * (0.25f * length) - direction * (0.08f * length));
    bones_.push_back(bone);
    return static_cast<int32_t>(bones_.size()) - 1;
}

void Rig::addLink(int32_t from, int32_t to) { links_.emplace_back(from, to); }

int32_t Rig::boneWithTip(int32_t vertex) const {
    for (size_t k = 0; k < bones_.size(); ++k) {
        if (bones_[k].tip == vertex) {
            return static_cast<int32_t>(k);
        }
    }
    return -1;
}

int32_t Rig::find(const std::string& name) const {
    for (size_t k = 0; k < bones_.size(); ++k) {
        if (bones_[k].name == name) {
            return static_cast<int32_t>(k);
        }
    }
    return -1;
}

void Rig::finish() {
    for (RigBone& bone : bones_) {
        bone.restRotation =
            boneFrameRotation(points_[bone.head], points_[bone.side], points_[bone.tip]);
        bone.parent = boneWithTip(bone.head);
        for (const auto& link : links_) {
            if (bone.parent >= 0) {
                break;
            }
            if (link.second == bone.head) {
                bone.parent = boneWithTip(link.first);
            } else if (link.first == bone.head) {
                bone.parent = boneWithTip(link.second);
            }
        }
    }
    for (RigBone& bone : bones_) {
        bone.restLocal = bone.parent < 0
                             ? bone.restRotation
                             : multiplyPrecise(bones_[bone.parent].restRotation.inverse(),
                                               bone.restRotation);
    }
}

}  // namespace tavo::chara
