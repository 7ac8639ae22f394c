#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavo {

class Triangle;
using TriangleGroup = std::vector<Triangle>;

// A triangle group laid out for one indexed draw: every distinct corner (a
// vertex with its texture coordinate) once, and three corner numbers per
// triangle, in the group's order. Triangles that name a vertex at or above
// vertexLimit are left out.
struct IndexedTriangles {
    size_t vertexLimit = 0;
    std::vector<int32_t> cornerVertices;  // the object's vertex of each corner
    std::vector<float> texCoords;         // u, v of each corner (0, 0 without UVs)
    std::vector<uint32_t> indices;        // three corners per triangle
};

// Lays out a group whose objects have vertexLimit usable vertices.
void indexTriangles(const TriangleGroup& group, size_t vertexLimit, IndexedTriangles& layout);

}  // namespace tavo
