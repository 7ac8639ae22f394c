#include <algorithm>

#include "math/matrix3.h"
#include "model/model.h"
#include "skeleton/anchors.h"
#include "skeleton/bone_attachment.h"
#include "skeleton/mirrored_name.h"
#include "skeleton/skeleton.h"

// The skeleton lives in the model as one hidden object named "bone...": each
// triangle is a bone, each two-corner face a link between a bone's tip and
// the heads of the bones that hang from it, and a triangle's material names
// its bone.

namespace tavo {
namespace {

int32_t findBoneObject(const Model& model) {
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        if (model.objects[i].name.compare(0, 4, "bone") == 0) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

bool indicesInRange(const Face& face, std::size_t vertexCount) {
    for (int32_t index : face.indices) {
        if (index < 0 || static_cast<std::size_t>(index) >= vertexCount) {
            return false;
        }
    }
    return true;
}

// A face's material name; empty without a material or for an index that
// names no material.
std::string materialName(const Model& model, int32_t material) {
    if (material < 0 || static_cast<std::size_t>(material) >= model.materials.size()) {
        return std::string();
    }
    return model.materials[material].name;
}

struct BoneCorners {
    int32_t head;  // opposite the longest edge
    int32_t side;  // the other end of the shortest edge
    int32_t tip;   // opposite the shortest edge
};

// Edge n joins corners n and n + 1 (mod 3).
BoneCorners chooseCorners(const Face& face, const std::vector<Vec3>& vertices) {
    const int32_t* corner = face.indices.data();
    const float edge[3] = {
        (vertices[corner[0]] - vertices[corner[1]]).length(),
        (vertices[corner[1]] - vertices[corner[2]]).length(),
        (vertices[corner[2]] - vertices[corner[0]]).length(),
    };
    int32_t longest = edge[0] >= edge[1] ? 0 : 1;
    if (edge[2] > edge[longest]) {
        longest = 2;
    }
    int32_t shortest = edge[1] <= edge[0] ? 1 : 0;
    if (edge[2] < edge[shortest]) {
        shortest = 2;
    }
    const int32_t d = (longest - shortest + 3) % 3;
    const int32_t h = (d + shortest - 1 + 3) % 3;
    return {corner[h], corner[(h + d) % 3], corner[(h + 2 * d) % 3]};
}

// The rotation that carries the model axes onto the bone's axes: z from head
// to tip, x perpendicular to the triangle.
Quaternion restRotationOf(const Vec3& head, const Vec3& side, const Vec3& tip) {
    Vec3 z = tip - head;
    z.normalize();
    const Vec3 x = (side - tip).cross(z).normalized();
    const Vec3 y = z.cross(x).normalized();
    return Matrix3::fromColumns(x, y, z).toQuaternion().conjugate();
}

// "m頭-頭" binds to the bone "頭"; with a side letter the object's second
// byte must be that letter ("mL手2-手3" binds to "手3[L]").
bool bindsRigidly(const std::string& objectName, const MirroredName& bone) {
    const std::size_t baseLength = bone.base.size();
    if (objectName.size() < baseLength + 1) {
        return false;
    }
    const std::size_t suffixStart = objectName.size() - baseLength;
    if (objectName[suffixStart - 1] != '-') {
        return false;
    }
    if (objectName.compare(suffixStart, baseLength, bone.base) != 0) {
        return false;
    }
    return bone.side == 0 || (objectName.size() >= 2 && objectName[1] == bone.side);
}

// Moves the vertices of every object bound to the bone into the bone's rest
// frame and records the binding.
void bindRigidObjects(Model& model, Bone& bone, const MirroredName& boneName) {
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        ModelObject& object = model.objects[i];
        if (!bindsRigidly(object.name, boneName)) {
            continue;
        }
        for (Vec3& v : object.vertices) {
            v = rotateByInverse(bone.restRotation, v - bone.restHead);
        }
        bone.rigidObjects.push_back(static_cast<int32_t>(i));
        object.computeNormals();
    }
}

Bone boneFromTriangle(Model& model, int32_t boneObject, const Face& face) {
    const std::vector<Vec3>& vertices = model.objects[boneObject].vertices;
    const BoneCorners corners = chooseCorners(face, vertices);
    Bone bone;
    bone.headVertex = corners.head;
    bone.sideVertex = corners.side;
    bone.tipVertex = corners.tip;
    bone.restHead = vertices[corners.head];
    bone.localPosition = bone.restHead;
    bone.restRotation =
        restRotationOf(bone.restHead, vertices[corners.side], vertices[corners.tip]);
    bone.localRotation = bone.restRotation;
    const MirroredName name =
        resolveMirroredName(materialName(model, face.material), bone.restHead.x);
    bone.name = name.name;
    bindRigidObjects(model, bone, name);
    return bone;
}

Bone linkFromLine(const std::vector<Vec3>& vertices, const Face& face) {
    Bone link;
    link.headVertex = face.indices[0];
    link.tipVertex = face.indices[1];
    link.sideVertex = -1;
    link.restHead = vertices[link.headVertex];
    link.localPosition = link.restHead;
    return link;
}

void createRecords(Model& model, int32_t boneObject, Skeleton& skeleton) {
    // Faces are copied: binding a rigid object may touch the bone object too.
    const std::vector<Face> faces = model.objects[boneObject].faces;
    for (const Face& face : faces) {
        const std::size_t vertexCount = model.objects[boneObject].vertices.size();
        if (!indicesInRange(face, vertexCount)) {
            continue;
        }
        if (face.indices.size() == 3) {
            skeleton.bones.push_back(boneFromTriangle(model, boneObject, face));
        } else if (face.indices.size() == 2) {
            skeleton.bones.push_back(linkFromLine(model.objects[boneObject].vertices, face));
        }
    }
}

// A malformed bone object can make two bones each other's parent (each tip
// is the other's head). The lowest-index bone of every such cycle becomes a
// root, so that every walk up or down the tree ends. Each record has one
// parent, so every cycle is found by walking up from each record once.
void breakParentCycles(Skeleton& skeleton) {
    enum : uint8_t { kUnseen, kOnWalk, kDone };
    const int32_t count = skeleton.boneCount();
    std::vector<uint8_t> state(static_cast<std::size_t>(count), kUnseen);
    std::vector<int32_t> walk;
    for (int32_t start = 0; start < count; ++start) {
        walk.clear();
        int32_t index = start;
        while (index >= 0 && index < count && state[index] == kUnseen) {
            state[index] = kOnWalk;
            walk.push_back(index);
            index = skeleton.bones[index].parent;
        }
        if (index >= 0 && index < count && state[index] == kOnWalk) {
            // The walk came back to itself: the cycle runs from index onwards.
            const auto cycle = std::find(walk.begin(), walk.end(), index);
            skeleton.bones[*std::min_element(cycle, walk.end())].parent = -1;
        }
        for (int32_t visited : walk) {
            state[visited] = kDone;
        }
    }
}

// Keeps each bone once, in the children of its parent only, so that the
// descent from the roots visits every bone exactly once. Links stay listed
// under every bone that matched them; nothing descends into a link.
void reconcileChildren(Skeleton& skeleton) {
    std::vector<Bone>& bones = skeleton.bones;
    std::vector<uint8_t> listed(bones.size(), 0);
    for (std::size_t p = 0; p < bones.size(); ++p) {
        std::vector<int32_t> kept;
        kept.reserve(bones[p].children.size());
        for (int32_t c : bones[p].children) {
            if (bones[c].isLink()) {
                kept.push_back(c);
            } else if (bones[c].parent == static_cast<int32_t>(p) && !listed[c]) {
                listed[c] = 1;
                kept.push_back(c);
            }
        }
        bones[p].children.swap(kept);
    }
}

void collectRoots(Skeleton& skeleton) {
    for (int32_t j = 0; j < skeleton.boneCount(); ++j) {
        if (skeleton.bones[j].parent == -1) {
            skeleton.rootBones.push_back(j);
            makeBonesLocal(skeleton, j);
        }
    }
}

// Re-expresses the child's model-space position and rotation in the frame
// of its parent, whose fields still hold model-space values.
void convertToLocal(Skeleton& skeleton, int32_t parentIndex, int32_t childIndex) {
    const Bone& parent = skeleton.bones[parentIndex];
    Bone& child = skeleton.bones[childIndex];
    child.localPosition =
        rotateByInverse(parent.localRotation, child.localPosition - parent.localPosition);
    child.localRotation = multiplyPrecise(parent.localRotation.inverse(), child.localRotation);
}

}  // namespace

// Depth first with an explicit stack, so that a long chain of bones cannot
// exhaust the call stack: a bone is converted once its whole subtree is.
void makeBonesLocal(Skeleton& skeleton, int32_t index) {
    if (index < 0 || index >= skeleton.boneCount()) {
        return;
    }
    struct Visit {
        int32_t bone;
        std::size_t nextChild;
    };
    std::vector<Visit> stack{{index, 0}};
    while (!stack.empty()) {
        const int32_t bone = stack.back().bone;
        const std::vector<int32_t>& children = skeleton.bones[bone].children;
        if (stack.back().nextChild < children.size()) {
            const int32_t child = children[stack.back().nextChild++];
            const bool descend = child >= 0 && child < skeleton.boneCount() &&
                                 !skeleton.bones[child].isLink() &&
                                 stack.size() <= skeleton.bones.size();
            if (descend) {
                stack.push_back({child, 0});
            }
            continue;
        }
        stack.pop_back();
        if (!stack.empty()) {
            convertToLocal(skeleton, stack.back().bone, bone);
        }
    }
}

int32_t buildSkeleton(Model& model, Skeleton& skeleton) {
    const int32_t boneObject = findBoneObject(model);
    if (boneObject < 0) {
        return -1;
    }
    createRecords(model, boneObject, skeleton);
    attachLinks(skeleton, model.objects[boneObject].vertices);
    attachBones(skeleton);
    breakParentCycles(skeleton);
    reconcileChildren(skeleton);
    collectRoots(skeleton);

    collectSkinnedObjects(model);
    for (int32_t objectIndex : model.skinnedObjects) {
        bindSkinnedObject(model, objectIndex, skeleton);
    }
    return 0;
}

}  // namespace tavo
