#pragma once

#include <cstdint>
#include <vector>

#include "drawing/gl_textures.h"
#include "drawing/model_renderer.h"
#include "math/matrix4.h"
#include "math/vec3.h"
#include "model/model.h"

namespace tavo {

struct CharacterData;
struct CharacterPose;
struct Rig;

// Draws characters with OpenGL 1.1 client-side vertex arrays: rigid objects
// through the rig's joint tree under the matrix stack (each joint's local
// pose), skinned objects from their skinned copies in the pose. Each object is drawn as faces, an optional outline hull and
// line segments. Faces and hulls are indexed draws over each group's
// distinct corners (IndexedTriangles); segments are expanded per end. The
// per-frame positions and colours go to scratch arrays that are kept for the
// life of the renderer, so steady frames allocate nothing.
//
// The caller sets up a current context with GL_VERTEX_ARRAY enabled, depth
// test and front-face culling on, and the model-view matrix holding camera
// and placement, at the same stack depth for every pass.
class MeshRenderer : public ModelRenderer {
public:
    MeshRenderer() = default;

    // A new texture manager was attached: the uploads of the previous one go.
    int32_t initialize() override {
        glTextures_.release();
        return 0;
    }
    // Deletes every texture uploaded so far (the context must be current);
    // each is uploaded again when it is next drawn.
    void releaseTextures() { glTextures_.release(); }
    int32_t drawModel(const Model& model) override;

    // The character in a pose of its rig (poseCharacter); a character
    // without a rig is drawn as modelled.
    void drawCharacter(const CharacterData& character, const CharacterPose& pose);
    void drawObject(const Model& model, const ModelObject& object);

    // Sets colour, texture and client arrays for a material; true when textured.
    // An index outside the model's materials draws like -1 (white, untextured).
    bool applyMaterial(const Model& model, int32_t materialIndex);
    bool applyOutlineMaterial(const Model& model, int32_t materialIndex);
    // Software lighting of one vertex under a model-view matrix; the
    // overload without one reads GL's current matrix (one query per call, so
    // drawing reads it once per object and passes it on).
    Vec3 lightVertex(const Model& model, int32_t materialIndex, const Vec3& position,
                     const Vec3& normal, const Matrix4& modelView) const;
    Vec3 lightVertex(const Model& model, int32_t materialIndex, const Vec3& position,
                     const Vec3& normal) const;

    // Deepest joint chain that is followed; deeper joints are not drawn.
    static constexpr int32_t kMaxBoneDepth = 256;

private:
    bool isCutOut(int32_t textureIndex) const;  // the texture has texels that are not drawn
    void drawJointTree(const Model& model, const Rig& rig, const CharacterPose& pose,
                       int32_t joint, int32_t depth);
    void prepareArrays(const Model& model);
    void drawFaces(const Model& model, const ModelObject& object);
    void drawGroup(const Model& model, const ModelObject& object, size_t group);
    void drawBlendedGroups(const Model& model);
    void drawOutline(const Model& model, const ModelObject& object);
    void drawLines(const Model& model, const ModelObject& object);
    void submitArrays(uint32_t mode, size_t vertexCount, bool withColors, bool withTexCoords);
    const IndexedTriangles& layoutOf(const ModelObject& object, size_t group, bool needsNormals);
    void submitIndexed(const IndexedTriangles& layout, const std::vector<uint32_t>& indices,
                       bool withColors, bool withTexCoords);
    void pushModelView();
    void popModelView();

    // The attached manager's textures as the GL has them.
    GlTextures glTextures_;
    // The model-view matrix of the object being drawn, read once per object
    // when lighting is on.
    Matrix4 modelView_;
    std::vector<float> positions_;
    std::vector<float> colors_;
    std::vector<float> texCoords_;
    // A layout made while drawing, for groups the object has none for.
    IndexedTriangles layout_;
    std::vector<uint32_t> reversed_;  // the outline's indices, wound the other way
    // Groups of blended materials, drawn after everything else, farthest
    // first (the storage stays from frame to frame).
    struct BlendedGroup {
        const ModelObject* object;
        size_t group;
        Matrix4 modelView;
        float depth;
    };
    std::vector<BlendedGroup> blended_;
    bool drawingBlended_ = false;

    // Joints already drawn in this pass over the tree: a joint listed twice,
    // or a cycle, is drawn only once.
    std::vector<uint8_t> boneDrawn_;
    // Matrices saved in software once the GL model-view stack is full.
    std::vector<float> savedMatrices_;
    int32_t freeStackSlots_ = 0;
    int32_t stackRoom_ = -1;  // free stack entries at the start of a pass; -1: not read yet
    int32_t pushDepth_ = 0;
};

}  // namespace tavo
