#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "math/vec3.h"
#include "model/model.h"

namespace tavo {

struct Skeleton;

// One connected volume of an anchor object: the faces that share vertex
// indices, directly or through a chain of faces. A vertex of a skinned object
// inside the volume is moved by the volume's bone.
struct AnchorPiece {
    std::string name;
    int32_t boneIndex = -1;        // -1 when no bone has the piece's name
    std::vector<Vec3> vertices;    // all vertices of the anchor object
    std::vector<Face> faces;       // this piece's faces, in the anchor's order
    std::vector<Triangle> triangles;
};

// Vertices and edges that one containment query has already passed through,
// so that a crossing through a shared vertex or edge counts once.
struct CrossingRecord {
    std::vector<int32_t> vertices;
    std::vector<std::pair<int32_t, int32_t>> edges;

    void clear() {
        vertices.clear();
        edges.clear();
    }
};

// Appends the index of every object named "sdef:..." to skinnedObjects.
void collectSkinnedObjects(Model& model);
// Objects named "anchor..." whose text after the first "|" (or whole name,
// without "|") equals name.
std::vector<int32_t> findAnchors(const Model& model, const std::string& name);
// Faces whose vertex indices are out of range, or that have none, are left out.
std::vector<AnchorPiece> splitIntoPieces(const ModelObject& anchor);

// Counts crossings of the vertical line through p with the piece's surface.
bool containsPoint(const AnchorPiece& piece, const Vec3& p);
bool containsPoint(const AnchorPiece& piece, const Vec3& p, CrossingRecord& crossed);
// +1 when the triangle is crossed at or below p, -1 above, 0 not crossed (or
// crossed through a vertex or edge that an earlier triangle already counted).
int32_t crossingSide(const AnchorPiece& piece, const Triangle& triangle, const Vec3& p,
                     CrossingRecord& crossed);
// +1 when p is on or above the triangle's plane (along z), else -1.
int32_t planeSide(const AnchorPiece& piece, const Triangle& triangle, const Vec3& p);

// Smallest positive distance from p to the piece's triangles; 10000 when none.
float surfaceDistance(const AnchorPiece& piece, const Vec3& p);
float distanceToTriangle(const std::vector<Vec3>& vertices, const Triangle& triangle,
                         const Vec3& p);
// Distance from p to the segment from a to a + d.
float distanceToSegment(const Vec3& p, const Vec3& a, const Vec3& d);

void addInfluence(VertexInfluence& influence, int32_t boneIndex, float weight);
// Divides the weights by their sum.
void normalizeWeights(VertexInfluence& influence);

// The named, bone-matched and triangulated pieces of every anchor of a
// skinned object, in anchor order.
std::vector<AnchorPiece> anchorPiecesOf(const Model& model, int32_t objectIndex,
                                        const Skeleton& skeleton);

// Fills vertexInfluences of the skinned object from its anchors.
void bindSkinnedObject(Model& model, int32_t objectIndex, const Skeleton& skeleton);

}  // namespace tavo
