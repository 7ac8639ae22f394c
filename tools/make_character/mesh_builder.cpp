#include "mesh_builder.h"

#include <cmath>
#include <utility>

#include "portable_math.h"

namespace tavo::chara {
namespace {

constexpr float kTwoPi = 6.2831853f;

Vec3 ringPoint(const Ring& ring, float angle) {
    return ring.center + ring.across * (ring.radiusAcross * portableCos(angle)) +
           ring.up * (ring.radiusUp * portableSin(angle));
}

// Adds every ring's corners; returns the index of the first.
int32_t addRingVertices(Mesh& mesh, const std::vector<Ring>& rings, const TubeStyle& style) {
    const int32_t first = static_cast<int32_t>(mesh.vertices.size());
    for (const Ring& ring : rings) {
        for (int32_t j = 0; j < style.segments; ++j) {
            mesh.addVertex(ringPoint(ring, style.phase + kTwoPi * j / style.segments));
        }
    }
    return first;
}

// Quads between consecutive rings; rowV(i) gives the v of ring i (ring
// index i may equal rings.size() for a loop, meaning ring 0 again).
template <typename RowV>
void addBands(Mesh& mesh, int32_t first, int32_t ringCount, int32_t bandCount,
              const TubeStyle& style, RowV rowV) {
    const int32_t s = style.segments;
    for (int32_t i = 0; i < bandCount; ++i) {
        const int32_t a = first + i * s;
        const int32_t b = first + ((i + 1) % ringCount) * s;
        for (int32_t j = 0; j < s; ++j) {
            const int32_t k = (j + 1) % s;
            std::vector<TexturePoint> uvs;
            if (style.textured) {
                const float uj = static_cast<float>(j) / s;
                const float uk = static_cast<float>(j + 1) / s;
                uvs = {style.uv.at(uj, rowV(i)), style.uv.at(uk, rowV(i)),
                       style.uv.at(uk, rowV(i + 1)), style.uv.at(uj, rowV(i + 1))};
            }
            mesh.addFace({a + j, a + k, b + k, b + j}, style.material, std::move(uvs));
        }
    }
}

// A fan from one ring to a cap point; atEnd selects the winding for the far end.
void addCap(Mesh& mesh, int32_t ringFirst, const Vec3& cap, bool atEnd, float ringV, float capV,
            const TubeStyle& style) {
    const int32_t s = style.segments;
    const int32_t apex = mesh.addVertex(cap);
    for (int32_t j = 0; j < s; ++j) {
        const int32_t k = (j + 1) % s;
        const float uj = static_cast<float>(j) / s;
        const float uk = static_cast<float>(j + 1) / s;
        const float um = (uj + uk) * 0.5f;
        std::vector<TexturePoint> uvs;
        if (atEnd) {
            if (style.textured) {
                uvs = {style.uv.at(uj, ringV), style.uv.at(uk, ringV), style.uv.at(um, capV)};
            }
            mesh.addFace({ringFirst + j, ringFirst + k, apex}, style.material, std::move(uvs));
        } else {
            if (style.textured) {
                uvs = {style.uv.at(uk, ringV), style.uv.at(uj, ringV), style.uv.at(um, capV)};
            }
            mesh.addFace({ringFirst + k, ringFirst + j, apex}, style.material, std::move(uvs));
        }
    }
}

}  // namespace

int32_t Mesh::addVertex(const Vec3& v) {
    vertices.push_back(v);
    return static_cast<int32_t>(vertices.size()) - 1;
}

void Mesh::addFace(std::vector<int32_t> corners, int32_t material, std::vector<TexturePoint> uvs) {
    MeshFace face;
    face.corners = std::move(corners);
    face.uvs = std::move(uvs);
    face.material = material;
    faces.push_back(std::move(face));
}

double Mesh::signedVolume() const {
    double volume = 0.0;
    for (const MeshFace& face : faces) {
        for (size_t k = 1; k + 1 < face.corners.size(); ++k) {
            const Vec3& a = vertices[face.corners[0]];
            const Vec3& b = vertices[face.corners[k]];
            const Vec3& c = vertices[face.corners[k + 1]];
            const double cx = static_cast<double>(b.y) * c.z - static_cast<double>(b.z) * c.y;
            const double cy = static_cast<double>(b.z) * c.x - static_cast<double>(b.x) * c.z;
            const double cz = static_cast<double>(b.x) * c.y - static_cast<double>(b.y) * c.x;
            volume += (a.x * cx + a.y * cy + a.z * cz) / 6.0;
        }
    }
    return volume;
}

void addTube(Mesh& mesh, const std::vector<Ring>& rings, const TubeStyle& style,
             const Vec3& startCap, const Vec3& endCap) {
    const int32_t n = static_cast<int32_t>(rings.size());
    if (n < 1 || style.segments < 3) {
        return;
    }
    const int32_t first = addRingVertices(mesh, rings, style);
    auto rowV = [n](int32_t i) { return static_cast<float>(i + 1) / (n + 1); };
    addBands(mesh, first, n, n - 1, style, rowV);
    addCap(mesh, first, startCap, false, rowV(0), 0.0f, style);
    addCap(mesh, first + (n - 1) * style.segments, endCap, true, rowV(n - 1), 1.0f, style);
}

void addLoop(Mesh& mesh, const std::vector<Ring>& rings, const TubeStyle& style) {
    const int32_t n = static_cast<int32_t>(rings.size());
    if (n < 3 || style.segments < 3) {
        return;
    }
    const int32_t first = addRingVertices(mesh, rings, style);
    addBands(mesh, first, n, n, style, [n](int32_t i) { return static_cast<float>(i) / n; });
}

std::vector<Ring> ringsAlong(const std::vector<Vec3>& path, const std::vector<float>& radiusAcross,
                             const std::vector<float>& radiusUp, const Vec3& reference) {
    std::vector<Ring> rings;
    const size_t n = path.size();
    for (size_t i = 0; i < n; ++i) {
        const Vec3 back = i > 0 ? (path[i] - path[i - 1]).normalized() : Vec3();
        const Vec3 ahead = i + 1 < n ? (path[i + 1] - path[i]).normalized() : Vec3();
        const Vec3 tangent = (back + ahead).normalized();
        const Vec3 up = (reference - tangent * reference.dot(tangent)).normalized();
        Ring ring;
        ring.center = path[i];
        ring.up = up;
        ring.across = up.cross(tangent);
        ring.radiusAcross = radiusAcross[i];
        ring.radiusUp = radiusUp[i];
        rings.push_back(ring);
    }
    return rings;
}

void addEllipsoid(Mesh& mesh, const Vec3& center, const Vec3& radii, int32_t rings,
                  const TubeStyle& style) {
    std::vector<Ring> list;
    for (int32_t i = 1; i < rings; ++i) {
        const float latitude = -1.5707963f + 3.1415927f * i / rings;
        Ring ring;
        ring.center = center + Vec3(0.0f, radii.y * portableSin(latitude), 0.0f);
        ring.across = Vec3(0.0f, 0.0f, 1.0f);
        ring.up = Vec3(1.0f, 0.0f, 0.0f);
        ring.radiusAcross = radii.z * portableCos(latitude);
        ring.radiusUp = radii.x * portableCos(latitude);
        list.push_back(ring);
    }
    // Rings run bottom to top, so v = 1 is the bottom pole: flip the band.
    TubeStyle flipped = style;
    flipped.uv.v0 = style.uv.v1;
    flipped.uv.v1 = style.uv.v0;
    addTube(mesh, list, flipped, center - Vec3(0.0f, radii.y, 0.0f),
            center + Vec3(0.0f, radii.y, 0.0f));
}

void addLathe(Mesh& mesh, const Vec3& base, const std::vector<std::pair<float, float>>& profile,
              float depthScale, const TubeStyle& style) {
    std::vector<Ring> list;
    for (size_t i = 1; i + 1 < profile.size(); ++i) {
        Ring ring;
        ring.center = base + Vec3(0.0f, profile[i].first, 0.0f);
        ring.across = Vec3(0.0f, 0.0f, 1.0f);
        ring.up = Vec3(1.0f, 0.0f, 0.0f);
        ring.radiusAcross = profile[i].second * depthScale;
        ring.radiusUp = profile[i].second;
        list.push_back(ring);
    }
    TubeStyle flipped = style;
    flipped.uv.v0 = style.uv.v1;
    flipped.uv.v1 = style.uv.v0;
    addTube(mesh, list, flipped, base + Vec3(0.0f, profile.front().first, 0.0f),
            base + Vec3(0.0f, profile.back().first, 0.0f));
}

std::vector<Vec3> smoothPath(const std::vector<Vec3>& points, int32_t steps) {
    std::vector<Vec3> path;
    const int32_t count = static_cast<int32_t>(points.size());
    for (int32_t i = 0; i + 1 < count; ++i) {
        const Vec3 p0 = points[i > 0 ? i - 1 : 0];
        const Vec3 p1 = points[i];
        const Vec3 p2 = points[i + 1];
        const Vec3 p3 = points[i + 2 < count ? i + 2 : count - 1];
        for (int32_t s = 0; s < steps; ++s) {
            const float t = static_cast<float>(s) / steps;
            const float t2 = t * t;
            const float t3 = t2 * t;
            path.push_back((p1 * 2.0f + (p2 - p0) * t + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * t2 +
                            (p1 * 3.0f - p0 - p2 * 3.0f + p3) * t3) *
                           0.5f);
        }
    }
    path.push_back(points.back());
    return path;
}

void addBox(Mesh& mesh, const Vec3& center, const Vec3& halfX, const Vec3& halfY,
            const Vec3& halfZ, int32_t material) {
    const Vec3 axes[3] = {halfX, halfY, halfZ};
    const int32_t first = static_cast<int32_t>(mesh.vertices.size());
    // Corner k has bit 0 for +x, bit 1 for +y, bit 2 for +z.
    for (int32_t k = 0; k < 8; ++k) {
        Vec3 p = center;
        for (int32_t a = 0; a < 3; ++a) {
            p = p + axes[a] * ((k >> a) & 1 ? 1.0f : -1.0f);
        }
        mesh.addVertex(p);
    }
    for (int32_t a = 0; a < 3; ++a) {
        const int32_t b = (a + 1) % 3;
        const int32_t c = (a + 2) % 3;
        for (int32_t side = 0; side < 2; ++side) {
            auto corner = [&](int32_t sb, int32_t sc) {
                return first + (side << a) + (sb << b) + (sc << c);
            };
            if (side == 1) {
                mesh.addFace({corner(0, 0), corner(1, 0), corner(1, 1), corner(0, 1)}, material);
            } else {
                mesh.addFace({corner(0, 1), corner(1, 1), corner(1, 0), corner(0, 0)}, material);
            }
        }
    }
}

}  // namespace tavo::chara
