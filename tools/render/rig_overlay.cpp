#include "rig_overlay.h"

#include <vector>

#include "resources/gl_api.h"
#include "animation/character_pose.h"
#include "resources/memory_stream.h"
#include "resources/texture_manager.h"
#include "skeleton/anchors.h"
#include "skeleton/character.h"
#include "skeleton/character_files.h"
#include "skeleton/skeleton.h"

namespace tavo::render_tool {
namespace {

// RGBA bytes. No colour reaches full blue, which the colour key would punch out.
constexpr GLubyte kBoneFill[4] = {242, 77, 140, 115};
constexpr GLubyte kBoneEdge[4] = {190, 13, 77, 255};
constexpr GLubyte kLink[4] = {250, 204, 26, 255};
constexpr GLubyte kAnchor[4] = {26, 178, 76, 255};

// Carries a model-space point of the rest pose along with one bone.
struct BoneMotion {
    Quaternion turn;  // world rotation times the inverse rest rotation
    Vec3 restHead;
    Vec3 position;

    Vec3 apply(const Vec3& p) const { return rotateByUnit(turn, p - restHead) + position; }
};

std::vector<BoneMotion> boneMotions(const Skeleton* skeleton, const ModelPose* pose) {
    std::vector<BoneMotion> motions;
    if (skeleton == nullptr || pose == nullptr || pose->positions.size() != skeleton->bones.size()) {
        return motions;
    }
    for (int32_t b = 0; b < skeleton->boneCount(); ++b) {
        const Bone& bone = skeleton->bones[b];
        if (bone.isLink()) {
            motions.push_back({Quaternion(), Vec3(), Vec3()});
            continue;
        }
        motions.push_back({multiplyPrecise(pose->rotations[b], bone.restRotation.conjugate()),
                           bone.restHead, pose->positions[b]});
    }
    return motions;
}

Vec3 moved(const std::vector<BoneMotion>& motions, int32_t bone, const Vec3& p) {
    return bone >= 0 && bone < static_cast<int32_t>(motions.size()) ? motions[bone].apply(p) : p;
}

void vertex(const Vec3& p) { glVertex3f(p.x, p.y, p.z); }

const ModelObject* boneObject(const Model& model) {
    for (const ModelObject& object : model.objects) {
        if (object.name.compare(0, 4, "bone") == 0) {
            return &object;
        }
    }
    return nullptr;
}

bool validFace(const ModelObject& object, const Face& face) {
    for (int32_t index : face.indices) {
        if (index < 0 || index >= static_cast<int32_t>(object.vertices.size())) {
            return false;
        }
    }
    return true;
}

// Without a skeleton: the bone object's triangles and lines where modelled.
void drawModelledBones(const ModelObject& bones) {
    for (const Face& face : bones.faces) {
        if (!validFace(bones, face) || (face.indices.size() != 2 && face.indices.size() != 3)) {
            continue;
        }
        const bool link = face.indices.size() == 2;
        if (!link) {
            glColor4ubv(kBoneFill);
            glBegin(GL_TRIANGLES);
            for (int32_t index : face.indices) vertex(bones.vertices[index]);
            glEnd();
        }
        glColor4ubv(link ? kLink : kBoneEdge);
        glBegin(link ? GL_LINES : GL_LINE_LOOP);
        for (int32_t index : face.indices) vertex(bones.vertices[index]);
        glEnd();
    }
}

// With a skeleton: every bone and link where the pose puts it.
void drawPosedBones(const ModelObject& object, const Skeleton& skeleton,
                    const std::vector<BoneMotion>& motions) {
    const auto at = [&](int32_t index) { return object.vertices[index]; };
    const int32_t count = static_cast<int32_t>(object.vertices.size());
    for (int32_t b = 0; b < skeleton.boneCount(); ++b) {
        const Bone& bone = skeleton.bones[b];
        if (bone.headVertex < 0 || bone.headVertex >= count || bone.tipVertex < 0 ||
            bone.tipVertex >= count || bone.sideVertex >= count) {
            continue;
        }
        if (bone.isLink()) {
            // The near end moves with the parent; the far end with the bone
            // that starts there, if any.
            int32_t far = bone.parent;
            for (int32_t c = 0; c < skeleton.boneCount(); ++c) {
                if (!skeleton.bones[c].isLink() && skeleton.bones[c].headVertex == bone.tipVertex) {
                    far = c;
                }
            }
            glColor4ubv(kLink);
            glBegin(GL_LINES);
            vertex(moved(motions, bone.parent, at(bone.headVertex)));
            vertex(moved(motions, far, at(bone.tipVertex)));
            glEnd();
            continue;
        }
        const Vec3 corners[3] = {moved(motions, b, at(bone.headVertex)),
                                 moved(motions, b, at(bone.sideVertex)),
                                 moved(motions, b, at(bone.tipVertex))};
        glColor4ubv(kBoneFill);
        glBegin(GL_TRIANGLES);
        for (const Vec3& p : corners) vertex(p);
        glEnd();
        glColor4ubv(kBoneEdge);
        glBegin(GL_LINE_LOOP);
        for (const Vec3& p : corners) vertex(p);
        glEnd();
        glBegin(GL_POINTS);
        vertex(corners[0]);
        glEnd();
    }
}

void drawFaceEdges(const std::vector<Vec3>& vertices, const Face& face,
                   const std::vector<BoneMotion>& motions, int32_t bone) {
    glBegin(GL_LINE_LOOP);
    for (int32_t index : face.indices) {
        if (index >= 0 && index < static_cast<int32_t>(vertices.size())) {
            vertex(moved(motions, bone, vertices[index]));
        }
    }
    glEnd();
}

void drawAnchors(const Model& model, const Skeleton* skeleton, const std::vector<BoneMotion>& motions) {
    glColor4ubv(kAnchor);
    if (skeleton == nullptr) {
        for (const ModelObject& object : model.objects) {
            if (object.name.compare(0, 6, "anchor") == 0) {
                for (const Face& face : object.faces) drawFaceEdges(object.vertices, face, motions, -1);
            }
        }
        return;
    }
    for (int32_t index : model.skinnedObjects) {
        for (const AnchorPiece& piece : anchorPiecesOf(model, index, *skeleton)) {
            for (const Face& face : piece.faces) drawFaceEdges(piece.vertices, face, motions, piece.boneIndex);
        }
    }
}

}  // namespace

void drawRigOverlay(const Character& character, const ModelPose* pose, bool bones, bool anchors) {
    const Model& model = *character.model;
    const Skeleton* skeleton = pose != nullptr ? character.skeleton.get() : nullptr;
    const std::vector<BoneMotion> motions = boneMotions(skeleton, pose);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(1.5f);
    glPointSize(5.0f);
    if (anchors) {
        drawAnchors(model, skeleton, motions);
    }
    const ModelObject* boneFaces = bones ? boneObject(model) : nullptr;
    if (boneFaces != nullptr && skeleton != nullptr) {
        drawPosedBones(*boneFaces, *skeleton, motions);
    } else if (boneFaces != nullptr) {
        drawModelledBones(*boneFaces);
    }
    glPopAttrib();
}

bool loadRigDocument(const std::string& modelPath, const std::string& motionPath,
                     std::unique_ptr<Character>& document, LoadError& error) {
    TextureManager noTextures;  // the overlay draws no textures
    if (!modelPath.empty()) {
        return loadCharacterFiles(modelPath, motionPath, noTextures, 1.0f, document, error);
    }
    MemoryStream stream;
    if (stream.openResource("TAVO_MQO", "MQO") == 0 ||
        !buildCharacter(document, &stream, noTextures, 1.0f, &error)) {
        error.file = "the built-in model";
        return false;
    }
    if (stream.openResource("TAVO_MKM", "MKM") != 0) {
        loadCharacterMotions(document.get(), &stream);
    }
    return true;
}

}  // namespace tavo::render_tool
