#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "math/quaternion.h"
#include "math/vec3.h"
#include "mesh_builder.h"

namespace tavo::chara {

// One bone of the rig: a scalene triangle from head to tip with a short side
// corner next to the head. The side corner sits along `reference` (made
// perpendicular to the bone), which becomes the bone's local y axis.
struct RigBone {
    std::string materialName;  // may end in "[]" for a mirrored pair
    std::string name;          // with "[L]" or "[R]" resolved from the head's side
    int32_t head = -1;
    int32_t tip = -1;
    int32_t side = -1;
    int32_t parent = -1;       // index into bones, -1 for the root
    Quaternion restRotation;   // model axes onto the bone axes
    Quaternion restLocal;      // relative to the parent's rest rotation
};

// The character's skeleton as it is modelled in the hidden bone object: joint
// points, bone triangles and link lines. Parents and rest rotations follow the
// rules by which the program rebuilds the skeleton from that object.
class Rig {
public:
    int32_t addPoint(const Vec3& position);
    int32_t addBone(const std::string& materialName, int32_t head, int32_t tip,
                    const Vec3& reference);
    // A line joining a bone tip to the head of another bone elsewhere.
    void addLink(int32_t from, int32_t to);

    // Resolves parents and rest rotations; call after the last bone.
    void finish();

    const std::vector<RigBone>& bones() const { return bones_; }
    const std::vector<Vec3>& points() const { return points_; }
    const std::vector<std::pair<int32_t, int32_t>>& links() const { return links_; }
    int32_t find(const std::string& name) const;  // resolved name, -1 if absent
    Vec3 headPosition(int32_t bone) const { return points_[bones_[bone].head]; }
    Vec3 tipPosition(int32_t bone) const { return points_[bones_[bone].tip]; }

    // The bone object: triangles head, side, tip with the bone's material, then
    // the links as two-corner faces. materialIndex maps material names.
    template <typename MaterialIndex>
    Mesh boneObject(const std::string& name, MaterialIndex materialIndex) const {
        Mesh mesh;
        mesh.name = name;
        mesh.visible = false;
        mesh.vertices = points_;
        for (const RigBone& bone : bones_) {
            mesh.addFace({bone.head, bone.side, bone.tip}, materialIndex(bone.materialName));
        }
        for (const auto& link : links_) {
            mesh.addFace({link.first, link.second}, -1);
        }
        return mesh;
    }

private:
    int32_t boneWithTip(int32_t vertex) const;

    std::vector<Vec3> points_;
    std::vector<RigBone> bones_;
    std::vector<std::pair<int32_t, int32_t>> links_;
};

// The rotation that carries the model axes onto a bone frame whose z axis runs
// from head to tip and whose x axis is normal to the bone's triangle.
Quaternion boneFrameRotation(const Vec3& head, const Vec3& side, const Vec3& tip);

// "base[]" becomes "base[L]" for a head at x > 0, else "base[R]".
std::string resolveMirroredName(const std::string& name, float headX);

}  // namespace tavo::chara
