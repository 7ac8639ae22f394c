#include <algorithm>

#include "skeleton/anchors.h"

// Point-in-volume test for anchor pieces: the vertical line through the point
// (parallel to z) crosses a closed surface an even number of times, and the
// point is inside when it has crossings both below and above it with an
// even difference. A crossing through a vertex or edge shared by several
// triangles counts once.

namespace tavo {
namespace {

int32_t signOf(float value) {
    return value > 0.0f ? 1 : (value < 0.0f ? -1 : 0);
}

// Which side of the projected edge a -> b the point lies on.
int32_t edgeSide(const Vec3& a, const Vec3& b, const Vec3& p) {
    return signOf((b.y - a.y) * (p.x - a.x) - (b.x - a.x) * (p.y - a.y));
}

bool sameEdge(const std::pair<int32_t, int32_t>& edge, int32_t a, int32_t b) {
    return (edge.first == a && edge.second == b) || (edge.first == b && edge.second == a);
}

bool alreadyCrossed(const CrossingRecord& crossed, const int32_t (&corner)[3]) {
    for (int32_t index : corner) {
        if (std::find(crossed.vertices.begin(), crossed.vertices.end(), index) !=
            crossed.vertices.end()) {
            return true;
        }
    }
    for (const auto& edge : crossed.edges) {
        for (int32_t k = 0; k < 3; ++k) {
            if (sameEdge(edge, corner[k], corner[(k + 1) % 3])) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int32_t planeSide(const AnchorPiece& piece, const Triangle& triangle, const Vec3& p) {
    const Vec3& v0 = piece.vertices[triangle.indices[0]];
    const Vec3& v1 = piece.vertices[triangle.indices[1]];
    const Vec3& v2 = piece.vertices[triangle.indices[2]];
    const float dx1 = v1.x - v0.x;
    const float dy1 = v1.y - v0.y;
    const float dx2 = v2.x - v0.x;
    const float dy2 = v2.y - v0.y;
    const float d = dx1 * dy2 - dy1 * dx2;
    // A triangle seen edge-on from above has no height at p: the point then
    // counts as under it, as a height that is not a number would.
    if (d == 0.0f) {
        return -1;
    }
    const float s = (dx1 * (p.y - v0.y) - dy1 * (p.x - v0.x)) / d;
    const float t = (dy2 * (p.x - v0.x) - dx2 * (p.y - v0.y)) / d;
    const float height = v0.z + s * (v2.z - v0.z) + t * (v1.z - v0.z);
    return p.z - height >= 0.0f ? 1 : -1;
}

int32_t crossingSide(const AnchorPiece& piece, const Triangle& triangle, const Vec3& p,
                     CrossingRecord& crossed) {
    const int32_t(&corner)[3] = triangle.indices;
    if (alreadyCrossed(crossed, corner)) {
        return 0;
    }
    const Vec3* v[3] = {&piece.vertices[corner[0]], &piece.vertices[corner[1]],
                        &piece.vertices[corner[2]]};
    const int32_t s[3] = {edgeSide(*v[0], *v[1], p), edgeSide(*v[1], *v[2], p),
                          edgeSide(*v[2], *v[0], p)};
    if (s[0] == s[1] && s[1] == s[2]) {
        return planeSide(piece, triangle, p);
    }
    if (s[0] != 0 && s[1] != 0 && s[2] != 0) {
        return 0;
    }
    for (int32_t k = 0; k < 3; ++k) {
        const int32_t next = (k + 1) % 3;
        const int32_t after = (k + 2) % 3;
        if (s[k] == 0 && s[next] == s[after]) {
            crossed.edges.emplace_back(corner[k], corner[next]);
            return planeSide(piece, triangle, p);
        }
        if (s[k] == 0 && s[next] == 0 && s[after] != 0) {
            crossed.vertices.push_back(corner[next]);
            return planeSide(piece, triangle, p);
        }
    }
    return 0;
}

bool containsPoint(const AnchorPiece& piece, const Vec3& p, CrossingRecord& crossed) {
    crossed.clear();
    int32_t below = 0;
    int32_t above = 0;
    for (const Triangle& triangle : piece.triangles) {
        const int32_t side = crossingSide(piece, triangle, p, crossed);
        if (side > 0) {
            ++below;
        } else if (side < 0) {
            ++above;
        }
    }
    return below > 0 && above > 0 && (above - below) % 2 == 0;
}

bool containsPoint(const AnchorPiece& piece, const Vec3& p) {
    CrossingRecord crossed;
    return containsPoint(piece, p, crossed);
}

}  // namespace tavo
