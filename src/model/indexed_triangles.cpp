#include "model/indexed_triangles.h"

#include <cstring>
#include <unordered_map>

#include "model/model.h"

namespace tavo {

namespace {

// A corner is the same corner when its vertex and the bits of its texture
// coordinate are: then it draws exactly as the repeated one would.
struct CornerKey {
    int32_t vertex;
    uint32_t u;
    uint32_t v;
    bool operator==(const CornerKey& other) const {
        return vertex == other.vertex && u == other.u && v == other.v;
    }
};

struct CornerKeyHash {
    size_t operator()(const CornerKey& key) const {
        uint64_t h = static_cast<uint32_t>(key.vertex);
        h = h * 0x9E3779B97F4A7C15ull ^ key.u;
        h = h * 0x9E3779B97F4A7C15ull ^ key.v;
        return static_cast<size_t>(h ^ (h >> 29));
    }
};

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool cornersWithin(const Triangle& triangle, size_t vertexLimit) {
    for (int32_t index : triangle.indices) {
        if (index < 0 || static_cast<size_t>(index) >= vertexLimit) {
            return false;
        }
    }
    return true;
}

}  // namespace

void indexTriangles(const TriangleGroup& group, size_t vertexLimit, IndexedTriangles& layout) {
    layout.vertexLimit = vertexLimit;
    layout.cornerVertices.clear();
    layout.texCoords.clear();
    layout.indices.clear();
    std::unordered_map<CornerKey, uint32_t, CornerKeyHash> corners;
    for (const Triangle& triangle : group) {
        if (!cornersWithin(triangle, vertexLimit)) {
            continue;
        }
        for (int32_t corner = 0; corner < 3; ++corner) {
            const float u = triangle.hasUV ? triangle.uvs[corner].u : 0.0f;
            const float v = triangle.hasUV ? triangle.uvs[corner].v : 0.0f;
            const CornerKey key{triangle.indices[corner], bitsOf(u), bitsOf(v)};
            const auto found = corners.emplace(key, static_cast<uint32_t>(layout.cornerVertices.size()));
            if (found.second) {
                layout.cornerVertices.push_back(key.vertex);
                layout.texCoords.push_back(u);
                layout.texCoords.push_back(v);
            }
            layout.indices.push_back(found.first->second);
        }
    }
}

}  // namespace tavo
