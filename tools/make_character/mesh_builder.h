#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/vec3.h"

namespace tavo::chara {

struct TexturePoint {
    float u = 0.0f;
    float v = 0.0f;
};

// A rectangle of the texture in UV units (v = 0 is the top row of the picture).
struct UvRect {
    float u0 = 0.0f;
    float v0 = 0.0f;
    float u1 = 1.0f;
    float v1 = 1.0f;

    TexturePoint at(float s, float t) const { return {u0 + (u1 - u0) * s, v0 + (v1 - v0) * t}; }
};

// One polygon. Corners run counter-clockwise seen from outside (the
// right-hand normal points out of the solid); the MQO writer turns visible
// meshes round to the clockwise order that the drawing expects.
struct MeshFace {
    std::vector<int32_t> corners;
    std::vector<TexturePoint> uvs;  // empty, or one per corner
    int32_t material = -1;
};

struct Mesh {
    std::string name;
    bool visible = true;
    std::vector<Vec3> vertices;
    std::vector<MeshFace> faces;

    int32_t addVertex(const Vec3& v);
    void addFace(std::vector<int32_t> corners, int32_t material,
                 std::vector<TexturePoint> uvs = {});
    // Signed volume enclosed by the faces (positive when every face is wound
    // counter-clockwise from outside and the surface is closed).
    double signedVolume() const;
};

// A cross-section of a swept tube: an ellipse centred on the path. across x up
// must point along the path, towards the next ring.
struct Ring {
    Vec3 center;
    Vec3 across;
    Vec3 up;
    float radiusAcross = 1.0f;
    float radiusUp = 1.0f;
};

struct TubeStyle {
    int32_t segments = 12;
    float phase = 0.0f;  // angle of the first corner of every ring, radians
    int32_t material = -1;
    UvRect uv;           // u runs round the ring, v along the path
    bool textured = false;
};

// Sweeps rings into a closed tube. The ends are closed by fans round the cap
// points; a closed loop joins the last ring to the first instead.
void addTube(Mesh& mesh, const std::vector<Ring>& rings, const TubeStyle& style,
             const Vec3& startCap, const Vec3& endCap);
void addLoop(Mesh& mesh, const std::vector<Ring>& rings, const TubeStyle& style);

// Rings along a polyline, each perpendicular to the local direction, with the
// ring's up axis as close as possible to reference.
std::vector<Ring> ringsAlong(const std::vector<Vec3>& path, const std::vector<float>& radiusAcross,
                             const std::vector<float>& radiusUp, const Vec3& reference);

// An ellipsoid as a tube along its vertical axis, front (+z) at u = 0.5.
void addEllipsoid(Mesh& mesh, const Vec3& center, const Vec3& radii, int32_t rings,
                  const TubeStyle& style);

// A solid of revolution about a vertical axis: profile points (height,
// radius) from bottom to top, closed at both ends on the axis.
void addLathe(Mesh& mesh, const Vec3& base, const std::vector<std::pair<float, float>>& profile,
              float depthScale, const TubeStyle& style);

// Points of a Catmull-Rom curve through the control points, `steps` per span.
std::vector<Vec3> smoothPath(const std::vector<Vec3>& points, int32_t steps);

// Radii along a path from a function of the fraction of its length (0..1).
template <typename Profile>
std::vector<float> radiiAlong(size_t count, Profile profile) {
    std::vector<float> radii;
    for (size_t i = 0; i < count; ++i) {
        radii.push_back(profile(static_cast<float>(i) / static_cast<float>(count - 1)));
    }
    return radii;
}

// A box from its centre and three half-axes (right-handed: x cross y = z).
void addBox(Mesh& mesh, const Vec3& center, const Vec3& halfX, const Vec3& halfY,
            const Vec3& halfZ, int32_t material);

}  // namespace tavo::chara
