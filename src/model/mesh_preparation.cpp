// Mesh preparation: triangles and line segments grouped by material, and one
// smooth normal per vertex.

#include <algorithm>
#include <cstddef>

#include "model/model.h"

namespace tavo {

namespace {

// Copies the UV pair of face corner `corner` into `target`; corners beyond a
// short UV list keep (0, 0).
void copyUv(const Face& face, size_t corner, UvPair& target) {
    if (corner < face.uvs.size()) {
        target = face.uvs[corner];
    }
}

Triangle makeTriangle(const Face& face, size_t a, size_t b, size_t c) {
    Triangle triangle;
    triangle.material = face.material;
    triangle.hasUV = !face.uvs.empty();
    const size_t corners[3] = {a, b, c};
    for (int k = 0; k < 3; ++k) {
        triangle.indices[k] = face.indices[corners[k]];
        if (triangle.hasUV) {
            copyUv(face, corners[k], triangle.uvs[k]);
        }
    }
    return triangle;
}

// Splits `items` into groups of equal material, ordered by ascending
// material from -1 up, keeping list order inside each group. Items with a
// material below -1 belong to no group. Sorting (rather than stepping
// through every material number up to the largest) keeps a huge material
// number from a file from turning into a huge loop.
template <typename Item>
void groupByMaterial(std::vector<Item> items, std::vector<std::vector<Item>>& groups) {
    groups.clear();
    items.erase(std::remove_if(items.begin(), items.end(),
                               [](const Item& item) { return item.material < -1; }),
                items.end());
    std::stable_sort(items.begin(), items.end(),
                     [](const Item& a, const Item& b) { return a.material < b.material; });
    for (const Item& item : items) {
        if (groups.empty() || groups.back().front().material != item.material) {
            groups.emplace_back();
        }
        groups.back().push_back(item);
    }
}

bool validIndex(int32_t index, size_t count) {
    return index >= 0 && static_cast<size_t>(index) < count;
}

}  // namespace

int32_t ModelObject::triangulateFaces(std::vector<Triangle>& list) const {
    const size_t before = list.size();
    list.reserve(before + faces.size());
    for (const Face& face : faces) {
        const size_t corners = face.indices.size();
        if (corners == 4) {
            list.push_back(makeTriangle(face, 0, 1, 2));
            list.push_back(makeTriangle(face, 2, 3, 0));
        } else if (corners >= 3) {
            // Triangles and larger polygons: a fan from the first corner.
            for (size_t k = 1; k + 1 < corners; ++k) {
                list.push_back(makeTriangle(face, 0, k, k + 1));
            }
        }
    }
    return static_cast<int32_t>(list.size() - before);
}

int32_t ModelObject::collectLines(std::vector<LineSegment>& list) const {
    const size_t before = list.size();
    for (const Face& face : faces) {
        if (face.indices.size() != 2) {
            continue;
        }
        LineSegment segment;
        segment.material = face.material;
        segment.hasUV = !face.uvs.empty();
        for (size_t k = 0; k < 2; ++k) {
            segment.indices[k] = face.indices[k];
            if (segment.hasUV) {
                copyUv(face, k, segment.uvs[k]);
            }
        }
        segment.weight = 1.0f;
        list.push_back(segment);
    }
    return static_cast<int32_t>(list.size() - before);
}

void ModelObject::buildGroups() {
    std::vector<Triangle> triangles;
    triangulateFaces(triangles);
    std::vector<LineSegment> lines;
    collectLines(lines);
    groupByMaterial(std::move(triangles), triangleGroups);
    groupByMaterial(std::move(lines), lineGroups);
    indexedGroups.resize(triangleGroups.size());
    for (size_t g = 0; g < triangleGroups.size(); ++g) {
        indexTriangles(triangleGroups[g], vertices.size(), indexedGroups[g]);
    }
}

void ModelObject::computeNormals() {
    const size_t count = vertices.size();
    normals.assign(count, Vec3());
    for (const TriangleGroup& group : triangleGroups) {
        for (const Triangle& triangle : group) {
            const int32_t* corner = triangle.indices;
            // A corner index outside the vertex list makes the whole
            // triangle contribute nothing.
            if (!validIndex(corner[0], count) || !validIndex(corner[1], count) ||
                !validIndex(corner[2], count)) {
                continue;
            }
            const Vec3& p0 = vertices[corner[0]];
            const Vec3 e1 = vertices[corner[1]].subtract(p0);
            const Vec3 e2 = vertices[corner[2]].subtract(p0);
            const Vec3 n = e1.cross(e2).normalized();
            for (int k = 0; k < 3; ++k) {
                normals[corner[k]] = normals[corner[k]].add(n);
            }
        }
    }
    for (Vec3& normal : normals) {
        normal.normalize();
    }
}

}  // namespace tavo
