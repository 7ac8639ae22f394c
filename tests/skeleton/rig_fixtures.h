#pragma once

#include <initializer_list>
#include <string>

#include "model/model.h"
#include "skeleton/skeleton.h"

// Small rigs built in code for the skeleton and skinning tests.
namespace tavo::test {

inline int32_t addVertex(ModelObject& object, const Vec3& v) {
    object.vertices.push_back(v);
    return static_cast<int32_t>(object.vertices.size()) - 1;
}

inline void addFace(ModelObject& object, std::initializer_list<int32_t> indices,
                    int32_t material = -1) {
    Face face;
    face.indices.assign(indices);
    face.material = material;
    object.faces.push_back(face);
}

inline int32_t addMaterial(Model& model, const std::string& name) {
    Material material;
    material.name = name;
    model.materials.push_back(material);
    return static_cast<int32_t>(model.materials.size()) - 1;
}

inline ModelObject& addObject(Model& model, const std::string& name) {
    ModelObject object;
    object.name = name;
    model.objects.push_back(object);
    return model.objects.back();
}

// A thin bone triangle from head to tip: its side corner sits one unit from
// the head along `side`, so the head is opposite the longest edge and the
// tip opposite the shortest.
inline void addBoneTriangle(ModelObject& bone, int32_t head, int32_t tip, const Vec3& side,
                            int32_t material) {
    const int32_t s = addVertex(bone, bone.vertices[head] + side);
    addFace(bone, {head, s, tip}, material);
}

// An axis-aligned box of 8 vertices and 6 quads. With outward set, every
// quad's (V1 - V0) x (V2 - V0) points out of the box; otherwise into it.
inline void addBox(ModelObject& object, const Vec3& low, const Vec3& high, int32_t material,
                   bool outward = true) {
    const int32_t b = static_cast<int32_t>(object.vertices.size());
    for (int32_t c = 0; c < 8; ++c) {
        addVertex(object, {(c & 1) ? high.x : low.x, (c & 2) ? high.y : low.y,
                           (c & 4) ? high.z : low.z});
    }
    const int32_t quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 4, 6, 2},
                                 {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}};
    for (const auto& q : quads) {
        if (outward) {
            addFace(object, {b + q[0], b + q[1], b + q[2], b + q[3]}, material);
        } else {
            addFace(object, {b + q[3], b + q[2], b + q[1], b + q[0]}, material);
        }
    }
}

inline int32_t findBone(const Skeleton& skeleton, const std::string& name) {
    for (int32_t i = 0; i < skeleton.boneCount(); ++i) {
        if (skeleton.bones[i].name == name) {
            return i;
        }
    }
    return -1;
}

}  // namespace tavo::test
