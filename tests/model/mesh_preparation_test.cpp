#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "model/model.h"

namespace tavo {
namespace {

Face makeFace(std::vector<int32_t> indices, int32_t material = -1, std::vector<UvPair> uvs = {}) {
    Face face;
    face.indices = std::move(indices);
    face.material = material;
    face.uvs = std::move(uvs);
    return face;
}

void expectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

TEST(MeshPreparationTest, QuadSplitsIntoTwoTrianglesWithTheirCornersUvs) {
    ModelObject object;
    object.addFace(makeFace({10, 11, 12, 13}, 4, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    object.addFace(makeFace({1, 2, 3}));
    object.addFace(makeFace({1}));

    std::vector<Triangle> triangles(1);  // triangulateFaces appends
    EXPECT_EQ(object.triangulateFaces(triangles), 3);
    ASSERT_EQ(triangles.size(), 4u);
    const Triangle& a = triangles[1];
    const Triangle& b = triangles[2];
    EXPECT_EQ(a.indices[0], 10);
    EXPECT_EQ(a.indices[2], 12);
    EXPECT_EQ(b.indices[0], 12);
    EXPECT_EQ(b.indices[1], 13);
    EXPECT_EQ(b.indices[2], 10);
    EXPECT_TRUE(b.hasUV);
    EXPECT_EQ(b.uvs[1].u, 0.0f);
    EXPECT_EQ(b.uvs[1].v, 1.0f);
    EXPECT_EQ(b.uvs[0].u, 1.0f);
    EXPECT_EQ(a.material, 4);
    EXPECT_FALSE(triangles[3].hasUV);
    EXPECT_EQ(triangles[3].material, -1);
}

// Five and more corners: a fan from the first corner, each triangle with
// the UV pairs of its own corners.
TEST(MeshPreparationTest, LargerPolygonsBecomeAFanFromTheFirstCorner) {
    ModelObject object;
    object.addFace(makeFace({20, 21, 22, 23, 24}, 2, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
    object.addFace(makeFace({0, 1, 2, 3, 4, 5}));
    std::vector<Triangle> triangles;
    EXPECT_EQ(object.triangulateFaces(triangles), 7);
    const int32_t pentagon[3][3] = {{20, 21, 22}, {20, 22, 23}, {20, 23, 24}};
    for (int t = 0; t < 3; ++t) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(triangles[t].indices[k], pentagon[t][k]);
            EXPECT_EQ(triangles[t].uvs[k].u, static_cast<float>(pentagon[t][k] - 20));
        }
        EXPECT_EQ(triangles[t].material, 2);
    }
    EXPECT_EQ(triangles[6].indices[0], 0);
    EXPECT_EQ(triangles[6].indices[2], 5);
    EXPECT_FALSE(triangles[6].hasUV);
}

TEST(MeshPreparationTest, ShortUvListsNeverReadPastTheirEnd) {
    ModelObject object;
    object.addFace(makeFace({0, 1, 2}, -1, {{0.5f, 0.25f}}));
    object.addFace(makeFace({0, 1}, -1, {{0.75f, 0.5f}}));
    std::vector<Triangle> triangles;
    object.triangulateFaces(triangles);
    ASSERT_EQ(triangles.size(), 1u);
    EXPECT_TRUE(triangles[0].hasUV);
    EXPECT_EQ(triangles[0].uvs[0].u, 0.5f);
    EXPECT_EQ(triangles[0].uvs[2].u, 0.0f);
    std::vector<LineSegment> lines;
    EXPECT_EQ(object.collectLines(lines), 1);
    EXPECT_EQ(lines[0].uvs[0].v, 0.5f);
    EXPECT_EQ(lines[0].uvs[1].v, 0.0f);
}

TEST(MeshPreparationTest, GroupsAscendFromMinusOneAndKeepFaceOrder) {
    ModelObject object;
    object.addFace(makeFace({0, 1, 2}, 3));
    object.addFace(makeFace({1, 2, 3}, -1));
    object.addFace(makeFace({2, 3, 0}, 3));
    object.addFace(makeFace({0, 1, 2, 3}, 0));
    object.addFace(makeFace({3, 2, 1}, -7));  // below -1: in no group
    object.addFace(makeFace({0, 1}, 5));
    object.addFace(makeFace({1, 2}, -1));
    object.addFace(makeFace({2, 3}, 5));
    object.buildGroups();

    ASSERT_EQ(object.triangleGroups.size(), 3u);
    EXPECT_EQ(object.triangleGroups[0].size(), 1u);
    EXPECT_EQ(object.triangleGroups[0][0].material, -1);
    EXPECT_EQ(object.triangleGroups[1].size(), 2u);
    EXPECT_EQ(object.triangleGroups[1][0].material, 0);
    ASSERT_EQ(object.triangleGroups[2].size(), 2u);
    EXPECT_EQ(object.triangleGroups[2][0].indices[0], 0);  // face order inside the group
    EXPECT_EQ(object.triangleGroups[2][1].indices[0], 2);

    ASSERT_EQ(object.lineGroups.size(), 2u);
    EXPECT_EQ(object.lineGroups[0][0].material, -1);
    ASSERT_EQ(object.lineGroups[1].size(), 2u);
    EXPECT_EQ(object.lineGroups[1][1].indices[0], 2);
    EXPECT_EQ(object.lineGroups[1][1].weight, 1.0f);

    // Rebuilding replaces the groups rather than adding to them.
    object.faces.resize(1);
    object.buildGroups();
    EXPECT_EQ(object.triangleGroups.size(), 1u);
    EXPECT_TRUE(object.lineGroups.empty());
}

TEST(MeshPreparationTest, TheLargestMaterialNumberGroupsWithoutALongLoop) {
    ModelObject object;
    object.addFace(makeFace({0, 1, 2}, INT_MAX));
    object.addFace(makeFace({0, 1, 2}, 1));
    object.buildGroups();
    ASSERT_EQ(object.triangleGroups.size(), 2u);
    EXPECT_EQ(object.triangleGroups[1][0].material, INT_MAX);
}

TEST(MeshPreparationTest, NormalsAverageUnitFaceNormals) {
    ModelObject object;
    object.addVertex({0, 0, 0});
    object.addVertex({1, 0, 0});
    object.addVertex({0, 1, 0});
    object.addVertex({0, 0, 5});  // unused
    object.addFace(makeFace({0, 1, 2}));
    object.buildGroups();
    object.computeNormals();
    ASSERT_EQ(object.normals.size(), 4u);
    for (int i = 0; i < 3; ++i) {
        expectVec(object.normals[i], 0, 0, 1);
    }
    expectVec(object.normals[3], 1, 0, 0);

    // A second, perpendicular triangle of a much larger area counts the same.
    object.addVertex({0, 100, 100});
    object.addFace(makeFace({0, 4, 2}));  // normal (-1, 0, 0)
    object.buildGroups();
    object.computeNormals();
    const float h = 1.0f / std::sqrt(2.0f);
    expectVec(object.normals[0], -h, 0, h);
    expectVec(object.normals[1], 0, 0, 1);
}

TEST(MeshPreparationTest, DegenerateAndOutOfRangeTrianglesAreHarmless) {
    ModelObject object;
    object.addVertex({0, 0, 0});
    object.addVertex({0, 0, 0});
    object.addVertex({0, 1, 0});
    object.addVertex({2, 0, 0});
    object.addFace(makeFace({0, 1, 2}));      // two equal positions: (1, 0, 0) each
    object.addFace(makeFace({3, 2, 99}));     // index outside the list
    object.addFace(makeFace({3, -1, 2}));     // negative index
    object.addVertex({3, 0, 0});
    object.addVertex({2, 1, 0});
    object.addFace(makeFace({3, 4, 5}));      // normal (0, 0, 1)
    object.buildGroups();
    object.computeNormals();
    ASSERT_EQ(object.normals.size(), 6u);
    expectVec(object.normals[0], 1, 0, 0);
    expectVec(object.normals[2], 1, 0, 0);
    expectVec(object.normals[3], 0, 0, 1);  // nothing from the broken triangles
}

TEST(MeshPreparationTest, AnObjectWithoutFacesGetsNoGroupsAndDefaultNormals) {
    ModelObject object;
    object.addVertex({1, 2, 3});
    object.addVertex({4, 5, 6});
    object.buildGroups();
    object.computeNormals();
    EXPECT_TRUE(object.triangleGroups.empty());
    EXPECT_TRUE(object.lineGroups.empty());
    ASSERT_EQ(object.normals.size(), 2u);
    expectVec(object.normals[1], 1, 0, 0);
}

// Each group is laid out for an indexed draw: a corner shared with the same
// texture coordinate is stored once, one with another coordinate (a seam)
// is its own corner, and a triangle naming a missing vertex is left out.
TEST(MeshPreparationTest, IndexedGroupsShareCornersButKeepUvSeams) {
    ModelObject object;
    for (int i = 0; i < 5; ++i) object.addVertex({static_cast<float>(i), 0, 0});
    object.addFace(makeFace({0, 1, 2, 3}, 0, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}));  // 0-1-2, 2-3-0
    object.addFace(makeFace({2, 1, 4}, 0, {{0.5f, 0.5f}, {1, 0}, {1, 1}}));       // vertex 2 at a seam
    object.addFace(makeFace({4, 3, 7}, 0));                                        // no vertex 7
    object.buildGroups();
    ASSERT_EQ(object.indexedGroups.size(), 1u);
    const IndexedTriangles& layout = object.indexedGroups[0];
    EXPECT_EQ(layout.vertexLimit, 5u);
    EXPECT_EQ(layout.cornerVertices, (std::vector<int32_t>{0, 1, 2, 3, 2, 4}));
    EXPECT_EQ(layout.indices, (std::vector<uint32_t>{0, 1, 2, 2, 3, 0, 4, 1, 5}));
    ASSERT_EQ(layout.texCoords.size(), 12u);
    EXPECT_EQ(layout.texCoords[8], 0.5f);
    EXPECT_EQ(layout.texCoords[11], 1.0f);
}

}  // namespace
}  // namespace tavo
