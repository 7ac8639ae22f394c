#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/vec3.h"
#include "model/indexed_triangles.h"
#include "resources/cp932_text.h"

namespace tavo {

struct UvPair {
    float u = 0.0f;
    float v = 0.0f;
};

// How a material's alpha is used.
enum class AlphaMode : uint8_t {
    Opaque,  // as the colour and texture give it
    Mask,    // texels below alphaCutoff are not drawn, the rest opaque
    Blend,   // blended over what lies behind
};

// One line of a "Material" chunk, or a material of any other format.
struct Material {
    std::string name;
    float color[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float diffuseColor[3] = {1.0f, 1.0f, 1.0f};
    float diffuse = 0.0f;
    float ambient = 0.0f;
    float emissive = 0.0f;
    float specular = 0.0f;
    float power = 0.0f;
    std::string textureName;
    std::string alphaPlaneName;
    int32_t textureIndex = -1;
    AlphaMode alphaMode = AlphaMode::Opaque;
    float alphaCutoff = 0.5f;
    bool doubleSided = false;
    bool unlit = false;  // drawn in its own colour even where lighting is on
};

// One polygon as read: corner indices and optional per-corner UVs.
class Face {
public:
    Face() = default;
    virtual ~Face() = default;
    Face(const Face&) = default;
    Face(Face&&) noexcept = default;
    Face& operator=(const Face&) = default;
    Face& operator=(Face&&) noexcept = default;
    int32_t material = -1;
    std::vector<int32_t> indices;
    std::vector<UvPair> uvs;
};

class Triangle {
public:
    Triangle() = default;
    virtual ~Triangle() = default;
    Triangle(const Triangle&) = default;
    Triangle(Triangle&&) noexcept = default;
    Triangle& operator=(const Triangle&) = default;
    Triangle& operator=(Triangle&&) noexcept = default;
    int32_t material = -1;
    int32_t indices[3] = {0, 0, 0};
    UvPair uvs[3];
    bool hasUV = false;
};

class LineSegment {
public:
    LineSegment() = default;
    virtual ~LineSegment() = default;
    LineSegment(const LineSegment&) = default;
    LineSegment(LineSegment&&) noexcept = default;
    LineSegment& operator=(const LineSegment&) = default;
    LineSegment& operator=(LineSegment&&) noexcept = default;
    int32_t material = -1;
    int32_t indices[2] = {0, 0};
    UvPair uvs[2];
    float weight = 1.0f;
    bool hasUV = false;
};

using TriangleGroup = std::vector<Triangle>;  // all share one material
using LineGroup = std::vector<LineSegment>;   // all share one material

// Bone influences of one vertex of a skinned object (parallel lists).
struct VertexInfluence {
    std::vector<int32_t> boneIndices;
    std::vector<float> weights;
};

// Offsets that a weight blends into an object, kept for the vertices the
// target moves only: vertex vertices[i] moves by weight times
// positionDeltas[i], and its normal by normalDeltas[i] where the target has
// normals (normalDeltas is then parallel to vertices, else empty).
struct MorphTarget {
    std::string name;
    std::vector<uint32_t> vertices;  // ascending
    std::vector<Vec3> positionDeltas;
    std::vector<Vec3> normalDeltas;
    float defaultWeight = 0.0f;
};

class ModelObject {
public:
    ModelObject() = default;
    virtual ~ModelObject() = default;
    ModelObject(const ModelObject&) = default;
    ModelObject(ModelObject&&) noexcept = default;
    ModelObject& operator=(const ModelObject&) = default;
    ModelObject& operator=(ModelObject&&) noexcept = default;

    void addVertex(const Vec3& v) { vertices.push_back(v); }
    void addFace(const Face& face) { faces.push_back(face); }

    // Mesh preparation (mesh_preparation.cpp).
    int32_t triangulateFaces(std::vector<Triangle>& list) const;
    int32_t collectLines(std::vector<LineSegment>& list) const;
    void buildGroups();
    void computeNormals();

    std::string name;
    std::vector<Vec3> vertices;
    std::vector<Vec3> normals;
    std::vector<Face> faces;
    std::vector<TriangleGroup> triangleGroups;
    // The triangle groups laid out for indexed drawing (buildGroups).
    std::vector<IndexedTriangles> indexedGroups;
    std::vector<LineGroup> lineGroups;
    std::vector<VertexInfluence> vertexInfluences;
    // RGBA per vertex, multiplied with the material colour; empty for none.
    std::vector<float> vertexColors;
    std::vector<MorphTarget> morphTargets;
    int32_t visible = 0;
};


// Everything read from one MQO document, plus the drawing switches.
class Model {
public:
    Model() = default;
    virtual ~Model() = default;
    Model(const Model&) = default;
    Model(Model&&) noexcept = default;
    Model& operator=(const Model&) = default;
    Model& operator=(Model&&) noexcept = default;

    std::vector<Material> materials;
    std::vector<ModelObject> objects;
    // The objects that are skinned over the rig, by index.
    std::vector<int32_t> skinnedObjects;
    TextEncoding nameEncoding = TextEncoding::Cp932;

    bool useMaterials = true;
    float outlineWidth = 2.0f;
    float outlineColorOffset[3] = {0.3f, 0.3f, 0.3f};
    float outlineColorScale[3] = {0.5f, 0.43f, 0.4f};
    bool outlineOnly = false;
    bool useTextures = true;
    bool useLighting = true;
    float lightPosition[3] = {0.0f, 0.0f, 0.0f};
    float lightColor[3] = {1.0f, 1.0f, 1.0f};
    float ambientLight[3] = {0.2f, 0.2f, 0.2f};
};

}  // namespace tavo
