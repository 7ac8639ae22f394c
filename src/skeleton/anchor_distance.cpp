#include "math/matrix3.h"
#include "skeleton/anchors.h"

// How deep a point lies in an anchor volume: its distance to the nearest
// triangle of the piece, measured to the triangle's plane when the point
// projects inside the triangle and to the nearest edge otherwise.

namespace tavo {

namespace {
const float kNoSurface = 10000.0f;
}  // namespace

float distanceToSegment(const Vec3& p, const Vec3& a, const Vec3& d) {
    const float dd = d.dot(d);
    const Vec3 w = p - a;
    if (dd == 0.0f) {
        return w.length();
    }
    const float t = d.dot(w) / dd;
    if (t < 0.0f) {
        return w.length();
    }
    if (t > 1.0f) {
        return (p - (a + d)).length();
    }
    return (p - (a + d * t)).length();
}

// Positive on the side opposite to (V1 - V0) x (V2 - V0), negative on the
// side that normal points to.
float distanceToTriangle(const std::vector<Vec3>& vertices, const Triangle& triangle,
                         const Vec3& p) {
    const Vec3& a = vertices[triangle.indices[0]];
    const Vec3 b = vertices[triangle.indices[1]] - a;
    const Vec3 c = vertices[triangle.indices[2]] - a;
    const Vec3 w = p - a;
    const Vec3 n = b.cross(c);
    const float area = n.length();
    if (area == 0.0f) {
        return w.length();
    }
    const Vec3 unit = n.normalized();
    const float alpha = Matrix3::fromColumns(w, c, unit).determinant() / area;
    const float beta = Matrix3::fromColumns(b, w, unit).determinant() / area;
    if (alpha < 0.0f) {
        return distanceToSegment(p, a, c);
    }
    if (beta < 0.0f) {
        return distanceToSegment(p, a, b);
    }
    if (alpha + beta > 1.0f) {
        return distanceToSegment(p, vertices[triangle.indices[1]], c - b);
    }
    return -Matrix3::fromColumns(b, c, w).determinant() / area;
}

float surfaceDistance(const AnchorPiece& piece, const Vec3& p) {
    float best = kNoSurface;
    for (const Triangle& triangle : piece.triangles) {
        const float d = distanceToTriangle(piece.vertices, triangle, p);
        if (d > 0.0f && d < best) {
            best = d;
        }
    }
    return best;
}

}  // namespace tavo
