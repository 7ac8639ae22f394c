#include "drawing/mesh_renderer.h"

#include <algorithm>

#include "animation/character_pose.h"
#include "character/character_data.h"
#include "math/matrix4.h"
#include "math/quaternion.h"
#include "resources/gl_api.h"
#include "resources/texture_manager.h"

namespace tavo {

namespace {

// The material a draw call uses, or null for "no material" (-1, or an index
// that the model's list does not have).
const Material* findMaterial(const Model& model, int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(model.materials.size())) {
        return nullptr;
    }
    return &model.materials[static_cast<size_t>(index)];
}

// All records of a group share one material; the first one names it.
template <typename Group>
int32_t groupMaterial(const Group& group) {
    return group.empty() ? -1 : group.front().material;
}

bool indexWithin(int32_t index, size_t count) {
    return index >= 0 && static_cast<size_t>(index) < count;
}

// A primitive is drawn only when every corner names an existing vertex and,
// for passes that read normals, an existing normal.
template <size_t Corners>
bool cornersValid(const int32_t (&indices)[Corners], const ModelObject& object,
                  bool needsNormals) {
    for (int32_t index : indices) {
        if (!indexWithin(index, object.vertices.size())) {
            return false;
        }
        if (needsNormals && !indexWithin(index, object.normals.size())) {
            return false;
        }
    }
    return true;
}

float* putVec3(float* out, const Vec3& v) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
    return out + 3;
}

float* putUv(float* out, const UvPair& uv, bool hasUV) {
    out[0] = hasUV ? uv.u : 0.0f;
    out[1] = hasUV ? uv.v : 0.0f;
    return out + 2;
}

// Room for `vertices` vertices in the scratch arrays that the pass fills
// (the capacity stays from frame to frame).
void reserveScratch(std::vector<float>& array, size_t vertices, size_t floatsPerVertex, bool used) {
    if (used && array.size() < vertices * floatsPerVertex) {
        array.resize(vertices * floatsPerVertex);
    }
}

// Texels below half alpha are not drawn. Only the texel's alpha may decide:
// a cut-out texture is drawn with an opaque primary colour (there is no
// blending, so that alpha is not seen otherwise).
void setAlphaTest(bool cutOut) {
    if (cutOut) {
        glAlphaFunc(GL_GEQUAL, 0.5f);
        glEnable(GL_ALPHA_TEST);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
}

// Fragments this faint are not drawn by a blended material: over the empty
// background they would only tint the colour key.
constexpr float kFaintestBlended = 0.125f;

// Colour arrays with alpha: for materials whose alpha or vertex colours
// count, so that the drawing of every other material stays as it was.
bool needsRichColours(const Material* material, const ModelObject& object) {
    return material != nullptr &&
           (material->alphaMode != AlphaMode::Opaque || material->unlit || !object.vertexColors.empty());
}

void disableTexturing() {
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    setAlphaTest(false);
}

}  // namespace

void MeshRenderer::prepareArrays(const Model& model) {
    if (!model.useMaterials) {
        // No material sets up the texture-coordinate and colour arrays, and
        // this renderer supplies no data for them then: keep GL from reading
        // arrays left behind by an earlier draw.
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
    }
}

int32_t MeshRenderer::drawModel(const Model& model) {
    prepareArrays(model);
    blended_.clear();
    for (const ModelObject& object : model.objects) {
        if (object.visible != 0) {
            drawObject(model, object);
        }
    }
    drawBlendedGroups(model);
    return 0;
}

void MeshRenderer::drawCharacter(const CharacterData& character, const CharacterPose& pose) {
    const Model& model = character.model;
    if (!character.hasRig()) {
        drawModel(model);
        return;
    }
    blended_.clear();
    prepareArrays(model);
    const Rig& rig = character.rig;
    if (!pose.fits(rig)) {
        return;
    }
    boneDrawn_.assign(rig.joints.size(), 0);
    for (int32_t root : rig.roots) {
        drawJointTree(model, rig, pose, root, 0);
    }
    const size_t skinnedCount = std::min(model.skinnedObjects.size(), pose.skinned.size());
    for (size_t i = 0; i < skinnedCount; ++i) {
        drawObject(model, pose.skinned[i]);
    }
    drawBlendedGroups(model);
}

void MeshRenderer::drawJointTree(const Model& model, const Rig& rig, const CharacterPose& pose,
                                 int32_t jointIndex, int32_t depth) {
    if (!indexWithin(jointIndex, rig.joints.size()) || depth >= kMaxBoneDepth) {
        return;
    }
    const Joint& joint = rig.joints[static_cast<size_t>(jointIndex)];
    uint8_t& drawn = boneDrawn_[static_cast<size_t>(jointIndex)];
    if (!joint.carriesMeshes || drawn != 0) {
        return;
    }
    drawn = 1;

    const JointTransform& local = pose.local.joints[static_cast<size_t>(jointIndex)];
    pushModelView();
    glTranslatef(local.translation.x, local.translation.y, local.translation.z);
    glMultMatrixf(local.rotation.toMatrix4().m);
    if (!local.hasUnitScale()) {
        glScalef(local.scale.x, local.scale.y, local.scale.z);
    }
    for (int32_t objectIndex : joint.rigidObjects) {
        if (indexWithin(objectIndex, model.objects.size())) {
            drawObject(model, model.objects[static_cast<size_t>(objectIndex)]);
        }
    }
    for (int32_t child : joint.children) {
        drawJointTree(model, rig, pose, child, depth + 1);
    }
    popModelView();
}

// The GL model-view stack is only guaranteed 32 entries deep; a deeper bone
// chain keeps its matrices here instead.
// The room on the stack is read from GL once: every pass starts at the
// depth the first one started at.
void MeshRenderer::pushModelView() {
    if (pushDepth_ == 0) {
        if (stackRoom_ < 0) {
            GLint depth = 1;
            GLint maxDepth = 32;
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
            glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxDepth);
            stackRoom_ = std::max(0, maxDepth - depth);
        }
        freeStackSlots_ = stackRoom_;
        savedMatrices_.clear();
    }
    ++pushDepth_;
    if (freeStackSlots_ > 0) {
        --freeStackSlots_;
        glPushMatrix();
        return;
    }
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    savedMatrices_.insert(savedMatrices_.end(), matrix, matrix + 16);
}

void MeshRenderer::popModelView() {
    --pushDepth_;
    if (!savedMatrices_.empty()) {
        glLoadMatrixf(savedMatrices_.data() + savedMatrices_.size() - 16);
        savedMatrices_.resize(savedMatrices_.size() - 16);
        return;
    }
    ++freeStackSlots_;
    glPopMatrix();
}

void MeshRenderer::drawObject(const Model& model, const ModelObject& object) {
    if (model.useLighting && model.useMaterials) {
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView_.m);
    }
    if (!model.outlineOnly) {
        drawFaces(model, object);
    }
    if (model.outlineWidth > 0.0f) {
        drawOutline(model, object);
    }
    drawLines(model, object);
}

void MeshRenderer::drawFaces(const Model& model, const ModelObject& object) {
    for (size_t g = 0; g < object.triangleGroups.size(); ++g) {
        const Material* material = findMaterial(model, groupMaterial(object.triangleGroups[g]));
        if (material != nullptr && material->alphaMode == AlphaMode::Blend && !drawingBlended_) {
            // Put off until the rest is drawn; its distance is that of its
            // first corner.
            const TriangleGroup& group = object.triangleGroups[g];
            Matrix4 modelView;
            glGetFloatv(GL_MODELVIEW_MATRIX, modelView.m);
            const int32_t corner = group.front().indices[0];
            const float depth = indexWithin(corner, object.vertices.size())
                                    ? modelView.transformPoint(object.vertices[static_cast<size_t>(corner)]).z
                                    : 0.0f;
            blended_.push_back({&object, g, modelView, depth});
            continue;
        }
        drawGroup(model, object, g);
    }
}

void MeshRenderer::drawGroup(const Model& model, const ModelObject& object, size_t g) {
    const bool lit = model.useLighting;
    const int32_t material = groupMaterial(object.triangleGroups[g]);
    const Material* found = findMaterial(model, material);
    const bool textured = applyMaterial(model, material);
    const bool rich = lit && needsRichColours(found, object);
    const float alpha = found != nullptr && found->alphaMode != AlphaMode::Opaque ? found->color[3] : 1.0f;
    if (found != nullptr && found->doubleSided) glDisable(GL_CULL_FACE);
    if (drawingBlended_) {
        glAlphaFunc(GL_GEQUAL, kFaintestBlended);
        glEnable(GL_ALPHA_TEST);
    } else if (found != nullptr && found->alphaMode == AlphaMode::Mask && textured) {
        glAlphaFunc(GL_GEQUAL, found->alphaCutoff);
        glEnable(GL_ALPHA_TEST);
    }
    const IndexedTriangles& layout = layoutOf(object, g, lit);
    reserveScratch(positions_, layout.cornerVertices.size(), 3, true);
    reserveScratch(colors_, layout.cornerVertices.size(), rich ? 4 : 3, lit);
    float* position = positions_.data();
    float* color = colors_.data();
    const bool withVertexColours = object.vertexColors.size() >= object.vertices.size() * 4;
    for (int32_t index : layout.cornerVertices) {
        const size_t vertex = static_cast<size_t>(index);
        position = putVec3(position, object.vertices[vertex]);
        if (!lit) continue;
        Vec3 shade = lightVertex(model, material, object.vertices[vertex], object.normals[vertex], modelView_);
        float a = alpha;
        if (rich && withVertexColours) {
            const float* c = &object.vertexColors[vertex * 4];
            shade = Vec3(shade.x * c[0], shade.y * c[1], shade.z * c[2]);
            a *= c[3];
        }
        color = putVec3(color, shade);
        if (rich) *color++ = a;
    }
    if (rich) {
        glVertexPointer(3, GL_FLOAT, 0, positions_.data());
        glColorPointer(4, GL_FLOAT, 0, colors_.data());
        if (textured) glTexCoordPointer(2, GL_FLOAT, 0, layout.texCoords.data());
        if (!layout.indices.empty()) {
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(layout.indices.size()), GL_UNSIGNED_INT, layout.indices.data());
        }
    } else {
        submitIndexed(layout, layout.indices, lit, textured);
    }
    if (found != nullptr && found->doubleSided) glEnable(GL_CULL_FACE);
}

// Blended groups go last, farthest first, without writing depth. Over the
// empty background (where the depth buffer is still clear) a fragment is
// drawn as it is, not blended with the background colour, so that no edge
// shows the colour key; over the figure it is blended. Fragments fainter
// than kFaintestBlended are left out in both passes.
void MeshRenderer::drawBlendedGroups(const Model& model) {
    if (blended_.empty()) return;
    std::sort(blended_.begin(), blended_.end(), [](const BlendedGroup& a, const BlendedGroup& b) { return a.depth < b.depth; });
    drawingBlended_ = true;
    glDepthMask(GL_FALSE);
    for (int pass = 0; pass < 2; ++pass) {
        const bool overBackground = pass == 0;
        if (overBackground) {
            glDisable(GL_BLEND);
            glDepthRange(1.0, 1.0);
            glDepthFunc(GL_EQUAL);
        } else {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glDepthRange(0.0, 1.0);
            glDepthFunc(GL_LEQUAL);
        }
        for (const BlendedGroup& entry : blended_) {
            glLoadMatrixf(entry.modelView.m);
            if (model.useLighting && model.useMaterials) modelView_ = entry.modelView;
            drawGroup(model, *entry.object, entry.group);
        }
    }
    glDepthRange(0.0, 1.0);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDisable(GL_ALPHA_TEST);
    drawingBlended_ = false;
}

// The hull: every triangle pushed out against its normals and wound the other
// way, so that front-face culling leaves only its far side around the figure.
void MeshRenderer::drawOutline(const Model& model, const ModelObject& object) {
    const float width = model.outlineWidth;
    for (size_t g = 0; g < object.triangleGroups.size(); ++g) {
        const bool textured = applyOutlineMaterial(model, groupMaterial(object.triangleGroups[g]));
        const IndexedTriangles& layout = layoutOf(object, g, true);
        reserveScratch(positions_, layout.cornerVertices.size(), 3, true);
        float* position = positions_.data();
        for (int32_t index : layout.cornerVertices) {
            const size_t vertex = static_cast<size_t>(index);
            position = putVec3(position, object.vertices[vertex] - width * object.normals[vertex]);
        }
        reversed_.resize(layout.indices.size());
        for (size_t i = 0; i + 2 < layout.indices.size(); i += 3) {
            reversed_[i] = layout.indices[i + 2];
            reversed_[i + 1] = layout.indices[i + 1];
            reversed_[i + 2] = layout.indices[i];
        }
        submitIndexed(layout, reversed_, false, textured);
    }
}

// The layout of a group: the one made with the object, or one made here when
// the object has none or when lighting needs normals that some vertices lack.
const IndexedTriangles& MeshRenderer::layoutOf(const ModelObject& object, size_t group, bool needsNormals) {
    const size_t limit = needsNormals ? std::min(object.vertices.size(), object.normals.size())
                                      : object.vertices.size();
    if (group < object.indexedGroups.size() && object.indexedGroups[group].vertexLimit == limit) {
        return object.indexedGroups[group];
    }
    indexTriangles(object.triangleGroups[group], limit, layout_);
    return layout_;
}

// With lighting on, the colour array stays enabled for the segments too, so
// they are given lit colours like the faces.
void MeshRenderer::drawLines(const Model& model, const ModelObject& object) {
    const bool lit = model.useLighting;
    for (const LineGroup& group : object.lineGroups) {
        const int32_t material = groupMaterial(group);
        const bool textured = applyMaterial(model, material);
        reserveScratch(positions_, group.size() * 2, 3, true);
        reserveScratch(colors_, group.size() * 2, 3, lit);
        reserveScratch(texCoords_, group.size() * 2, 2, textured);
        float* position = positions_.data();
        float* color = colors_.data();
        float* texCoord = texCoords_.data();
        for (const LineSegment& segment : group) {
            if (!cornersValid(segment.indices, object, lit)) {
                continue;
            }
            for (int32_t end = 0; end < 2; ++end) {
                const size_t index = static_cast<size_t>(segment.indices[end]);
                position = putVec3(position, object.vertices[index]);
                if (lit) {
                    color = putVec3(color, lightVertex(model, material, object.vertices[index],
                                                       object.normals[index], modelView_));
                }
                if (textured) {
                    texCoord = putUv(texCoord, segment.uvs[end], segment.hasUV);
                }
            }
        }
        submitArrays(GL_LINES, static_cast<size_t>(position - positions_.data()) / 3, lit, textured);
    }
}

// One draw call of the first `vertexCount` vertices of the scratch arrays.
void MeshRenderer::submitArrays(uint32_t mode, size_t vertexCount, bool withColors, bool withTexCoords) {
    if (vertexCount == 0) {
        return;
    }
    glVertexPointer(3, GL_FLOAT, 0, positions_.data());
    if (withColors) {
        glColorPointer(3, GL_FLOAT, 0, colors_.data());
    }
    if (withTexCoords) {
        glTexCoordPointer(2, GL_FLOAT, 0, texCoords_.data());
    }
    glDrawArrays(static_cast<GLenum>(mode), 0, static_cast<GLsizei>(vertexCount));
}

// One indexed draw call: the corners' positions (and colours) are in the
// scratch arrays, their texture coordinates in the layout.
void MeshRenderer::submitIndexed(const IndexedTriangles& layout, const std::vector<uint32_t>& indices,
                                 bool withColors, bool withTexCoords) {
    if (indices.empty()) {
        return;
    }
    glVertexPointer(3, GL_FLOAT, 0, positions_.data());
    if (withColors) {
        glColorPointer(3, GL_FLOAT, 0, colors_.data());
    }
    if (withTexCoords) {
        glTexCoordPointer(2, GL_FLOAT, 0, layout.texCoords.data());
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
}

bool MeshRenderer::applyMaterial(const Model& model, int32_t materialIndex) {
    if (!model.useMaterials) {
        return false;
    }
    bool textured = false;
    const Material* material = findMaterial(model, materialIndex);
    if (material != nullptr) {
        const bool cutOut = material->textureIndex >= 0 && model.useTextures && isCutOut(material->textureIndex);
        glColor4f(material->color[0], material->color[1], material->color[2],
                  cutOut ? 1.0f : material->color[3]);
        if (material->textureIndex >= 0 && model.useTextures) {
            glEnable(GL_TEXTURE_2D);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            if (textureManager_ != nullptr) {
                glTextures_.bind(*textureManager_, material->textureIndex);
            }
            setAlphaTest(cutOut);
            textured = true;
        } else {
            disableTexturing();
        }
    } else {
        glColor3f(1.0f, 1.0f, 1.0f);
        disableTexturing();
    }
    if (model.useLighting) {
        glEnableClientState(GL_COLOR_ARRAY);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
    }
    return textured;
}

bool MeshRenderer::applyOutlineMaterial(const Model& model, int32_t materialIndex) {
    if (!model.useMaterials) {
        return false;
    }
    const Material* material = findMaterial(model, materialIndex);
    if (material != nullptr) {
        const float* scale = model.outlineColorScale;
        const float* offset = model.outlineColorOffset;
        glColor3f(scale[0] * material->color[0] + offset[0],
                  scale[1] * material->color[1] + offset[1],
                  scale[2] * material->color[2] + offset[2]);
        if (material->textureIndex >= 0 && model.useTextures) {
            glEnable(GL_TEXTURE_2D);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            if (textureManager_ != nullptr) {
                glTextures_.bind(*textureManager_, material->textureIndex);
            }
            setAlphaTest(isCutOut(material->textureIndex));
            glDisableClientState(GL_COLOR_ARRAY);
            return true;
        }
    } else {
        glColor3f(1.0f, 1.0f, 1.0f);
    }
    disableTexturing();
    glDisableClientState(GL_COLOR_ARRAY);
    return false;
}

bool MeshRenderer::isCutOut(int32_t textureIndex) const {
    const Texture* texture =
        textureManager_ != nullptr ? textureManager_->texture(textureIndex) : nullptr;
    return texture != nullptr && texture->cutOut;
}

Vec3 MeshRenderer::lightVertex(const Model& model, int32_t materialIndex, const Vec3& position,
                               const Vec3& normal) const {
    if (!model.useMaterials || !model.useLighting || findMaterial(model, materialIndex) == nullptr) {
        return {1.0f, 1.0f, 1.0f};
    }
    Matrix4 modelView;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.m);
    return lightVertex(model, materialIndex, position, normal, modelView);
}

Vec3 MeshRenderer::lightVertex(const Model& model, int32_t materialIndex, const Vec3& position,
                               const Vec3& normal, const Matrix4& modelView) const {
    const Material* material = findMaterial(model, materialIndex);
    if (!model.useMaterials || !model.useLighting || material == nullptr) {
        return {1.0f, 1.0f, 1.0f};
    }
    if (material->unlit) {
        return {material->color[0], material->color[1], material->color[2]};
    }
    const Vec3 a = modelView.transformRows(position);
    const Vec3 b = modelView.transformRows(position + normal);
    const Vec3 n = (b - a).normalized();
    const Vec3 lightSource = modelView.transformRows(
        Vec3(model.lightPosition[0], model.lightPosition[1], model.lightPosition[2]));
    const Vec3 l = (a - lightSource).normalized();
    const float d = std::max(0.0f, l.dot(n));

    float result[3];
    for (int k = 0; k < 3; ++k) {
        result[k] = material->color[k] * material->emissive +
                    material->ambient * model.ambientLight[k] +
                    d * material->diffuse * material->diffuseColor[k] * model.lightColor[k];
    }
    return {result[0], result[1], result[2]};
}

}  // namespace tavo
