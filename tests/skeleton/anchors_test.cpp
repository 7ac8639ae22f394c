#include <gtest/gtest.h>

#include <random>

#include "skeleton/anchors.h"
#include "skeleton/skeleton.h"
#include "rig_fixtures.h"

namespace tavo {
namespace {

using test::addBox;
using test::addFace;
using test::addMaterial;
using test::addObject;
using test::addVertex;

Skeleton namedBones(std::initializer_list<const char*> names) {
    Skeleton skeleton;
    for (const char* name : names) {
        Bone bone;
        bone.name = name;
        bone.sideVertex = 0;
        skeleton.bones.push_back(bone);
    }
    return skeleton;
}

AnchorPiece onlyPiece(const ModelObject& anchor) {
    std::vector<AnchorPiece> pieces = splitIntoPieces(anchor);
    EXPECT_EQ(pieces.size(), 1u);
    AnchorPiece piece = pieces.front();
    ModelObject shape;
    shape.faces = piece.faces;
    shape.triangulateFaces(piece.triangles);
    return piece;
}

TEST(AnchorLookup, SkinnedObjectsAndTheirAnchorsAreFoundByName) {
    Model model;
    addObject(model, "sdef:hair");
    addObject(model, "anchor1|hair");
    addObject(model, "anchor2|hair|x");
    addObject(model, "sdef");
    addObject(model, "anchor|hairs");
    addObject(model, "anchorhair");
    addObject(model, "Anchor|hair");
    addObject(model, "sdef:anchor3");
    collectSkinnedObjects(model);
    EXPECT_EQ(model.skinnedObjects, (std::vector<int32_t>{0, 7}));
    EXPECT_EQ(findAnchors(model, "hair"), std::vector<int32_t>{1});
    EXPECT_EQ(findAnchors(model, "hair|x"), std::vector<int32_t>{2});
    // Without "|" the whole name is compared.
    EXPECT_EQ(findAnchors(model, "anchorhair"), std::vector<int32_t>{5});
}

TEST(SplitIntoPieces, OnlySharedVertexIndicesJoinFaces) {
    ModelObject anchor;
    anchor.name = "anchor|x";
    addBox(anchor, {0, 0, 0}, {2, 2, 2}, 0);
    addBox(anchor, {1, 1, 1}, {3, 3, 3}, 1);  // overlaps the first in space
    std::vector<AnchorPiece> pieces = splitIntoPieces(anchor);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].faces.size(), 6u);
    EXPECT_EQ(pieces[1].faces.size(), 6u);
    EXPECT_EQ(pieces[1].faces[0].material, 1);
    EXPECT_EQ(pieces[0].vertices.size(), 16u);
    EXPECT_EQ(pieces[0].name, "anchor|x");
}

TEST(SplitIntoPieces, ChainsMergeAndBadFacesAreLeftOut) {
    ModelObject anchor;
    for (int32_t i = 0; i < 8; ++i) {
        addVertex(anchor, {static_cast<float>(i), 0, 0});
    }
    addFace(anchor, {0, 1, 2});  // joined to the third face only through the fourth
    addFace(anchor, {5, 6, 7});
    addFace(anchor, {3, 4, 5});
    addFace(anchor, {2, 3});
    addFace(anchor, {6, 40, 1});  // an index past the vertices would join everything
    addFace(anchor, {});
    std::vector<AnchorPiece> pieces = splitIntoPieces(anchor);
    ASSERT_EQ(pieces.size(), 1u);
    ASSERT_EQ(pieces[0].faces.size(), 4u);
    EXPECT_EQ(pieces[0].faces[1].indices[0], 5);  // anchor face order is kept
}

// The grouping written the plain way: compare every face with every later
// one, and relabel a whole group whenever two groups meet.
std::vector<std::vector<std::vector<int32_t>>> plainPieces(const ModelObject& anchor) {
    const std::size_t count = anchor.faces.size();
    std::vector<int32_t> label(count, -1);
    int32_t next = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (label[i] == -1) {
            label[i] = next++;
        }
        for (std::size_t j = i + 1; j < count; ++j) {
            bool shared = false;
            for (int32_t a : anchor.faces[i].indices) {
                for (int32_t b : anchor.faces[j].indices) {
                    shared = shared || a == b;
                }
            }
            if (!shared) {
                continue;
            }
            if (label[j] == -1) {
                label[j] = label[i];
            } else {
                const int32_t e = label[j];
                for (int32_t& l : label) {
                    l = l == e ? label[i] : l;
                }
            }
        }
    }
    std::vector<std::vector<std::vector<int32_t>>> pieces;
    for (int32_t g = 0; g < next; ++g) {
        std::vector<std::vector<int32_t>> piece;
        for (std::size_t k = 0; k < count; ++k) {
            if (label[k] == g) {
                piece.push_back(anchor.faces[k].indices);
            }
        }
        if (!piece.empty()) {
            pieces.push_back(piece);
        }
    }
    return pieces;
}

TEST(SplitIntoPieces, GroupsAndOrdersPiecesLikeThePlainPairwiseLabelling) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 300; ++trial) {
        ModelObject anchor;
        const int32_t vertexCount = 5 + static_cast<int32_t>(random() % 40);
        for (int32_t v = 0; v < vertexCount; ++v) {
            addVertex(anchor, {static_cast<float>(v), 0, 0});
        }
        const int faceCount = 1 + static_cast<int>(random() % 30);
        for (int f = 0; f < faceCount; ++f) {
            Face face;
            const int corners = 1 + static_cast<int>(random() % 4);
            for (int c = 0; c < corners; ++c) {
                face.indices.push_back(static_cast<int32_t>(random() % vertexCount));
            }
            anchor.faces.push_back(face);
        }
        std::vector<std::vector<std::vector<int32_t>>> pieces;
        for (const AnchorPiece& piece : splitIntoPieces(anchor)) {
            pieces.emplace_back();
            for (const Face& face : piece.faces) {
                pieces.back().push_back(face.indices);
            }
        }
        ASSERT_EQ(pieces, plainPieces(anchor)) << "trial " << trial;
    }
}

// A pyramid over a square floor, its apex above (1.5, 0.5): the vertical line
// through the apex meets four side triangles in one vertex.
TEST(ContainsPoint, CrossingThroughASharedVertexCountsOnce) {
    ModelObject anchor;
    addVertex(anchor, {0, 0, 0});
    addVertex(anchor, {2, 0, 0});
    addVertex(anchor, {2, 2, 0});
    addVertex(anchor, {0, 2, 0});
    addVertex(anchor, {1.5f, 0.5f, 1});
    addFace(anchor, {0, 3, 2, 1});
    addFace(anchor, {0, 1, 4});
    addFace(anchor, {1, 2, 4});
    addFace(anchor, {2, 3, 4});
    addFace(anchor, {3, 0, 4});
    const AnchorPiece piece = onlyPiece(anchor);
    EXPECT_TRUE(containsPoint(piece, {1.5f, 0.5f, 0.5f}));
    EXPECT_TRUE(containsPoint(piece, {1.0f, 0.7f, 0.2f}));
    EXPECT_FALSE(containsPoint(piece, {1.5f, 0.5f, 1.5f}));
    EXPECT_FALSE(containsPoint(piece, {1.5f, 0.5f, -0.5f}));
    EXPECT_FALSE(containsPoint(piece, {3.0f, 0.5f, 0.5f}));

    CrossingRecord crossed;
    containsPoint(piece, {1.5f, 0.5f, 0.5f}, crossed);
    EXPECT_EQ(crossed.vertices, std::vector<int32_t>{4});
}

TEST(ContainsPoint, CrossingThroughASharedEdgeCountsOnce) {
    ModelObject anchor;
    addBox(anchor, {0, 0, 0}, {2, 2, 2}, 0);
    const AnchorPiece piece = onlyPiece(anchor);
    // (1, 1) lies on the diagonal of the floor and the roof quads.
    CrossingRecord crossed;
    EXPECT_TRUE(containsPoint(piece, {1, 1, 1}, crossed));
    EXPECT_EQ(crossed.edges.size(), 2u);
    EXPECT_TRUE(containsPoint(piece, {0.5f, 1.5f, 1.9f}));
    EXPECT_FALSE(containsPoint(piece, {0.5f, 1.5f, 2.1f}));
}

TEST(Distance, SegmentsAndTriangles) {
    EXPECT_FLOAT_EQ(distanceToSegment({0, 3, 0}, {0, 0, 0}, {0, 0, 0}), 3.0f);
    EXPECT_FLOAT_EQ(distanceToSegment({-2, 0, 0}, {0, 0, 0}, {4, 0, 0}), 2.0f);
    EXPECT_FLOAT_EQ(distanceToSegment({7, 0, 0}, {0, 0, 0}, {4, 0, 0}), 3.0f);
    EXPECT_FLOAT_EQ(distanceToSegment({1, 2, 0}, {0, 0, 0}, {4, 0, 0}), 2.0f);

    const std::vector<Vec3> v = {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {1, 1, 0}};
    Triangle t;
    t.indices[0] = 0;
    t.indices[1] = 1;
    t.indices[2] = 2;
    // The normal points to +z: above is negative, below positive.
    EXPECT_FLOAT_EQ(distanceToTriangle(v, t, {1, 1, 2}), -2.0f);
    EXPECT_FLOAT_EQ(distanceToTriangle(v, t, {1, 1, -0.5f}), 0.5f);
    EXPECT_FLOAT_EQ(distanceToTriangle(v, t, {-3, 1, 0}), 3.0f);  // past edge 0-2
    EXPECT_FLOAT_EQ(distanceToTriangle(v, t, {1, -2, 0}), 2.0f);  // past edge 0-1
    EXPECT_NEAR(distanceToTriangle(v, t, {3, 3, 0}), std::sqrt(2.0f), 1e-5f);
    Triangle flat;
    flat.indices[0] = 0;
    flat.indices[1] = 3;
    flat.indices[2] = 3;
    EXPECT_FLOAT_EQ(distanceToTriangle(v, flat, {0, 0, 5}), 5.0f);
}

TEST(Weights, NormalisationSumsToOne) {
    VertexInfluence empty;
    normalizeWeights(empty);
    EXPECT_TRUE(empty.weights.empty());
    VertexInfluence single;
    addInfluence(single, 4, 0.2f);
    normalizeWeights(single);
    EXPECT_EQ(single.boneIndices, std::vector<int32_t>{4});
    EXPECT_FLOAT_EQ(single.weights[0], 1.0f);
}

// Vertex 0 at the origin lies 3 deep in box "upper" and 1 deep in box
// "lower"; vertex 1 lies in neither.
TEST(BindSkinnedObject, WeightsFollowTheDepthInsideEachPiece) {
    Model model;
    const int32_t upper = addMaterial(model, "upper");
    const int32_t lower = addMaterial(model, "lower");
    ModelObject& skin = addObject(model, "sdef:body");
    addVertex(skin, {0, 0, 0});
    addVertex(skin, {100, 0, 0});
    ModelObject& anchor = addObject(model, "anchor1|body");
    addBox(anchor, {-3, -4, -7}, {5, 6, 4}, upper);
    addBox(anchor, {-1, -2, -5}, {2, 3, 3}, lower);
    const Skeleton skeleton = namedBones({"lower", "upper"});
    bindSkinnedObject(model, 0, skeleton);
    const auto& influences = model.objects[0].vertexInfluences;
    ASSERT_EQ(influences.size(), 2u);
    EXPECT_EQ(influences[0].boneIndices, (std::vector<int32_t>{1, 0}));
    ASSERT_EQ(influences[0].weights.size(), 2u);
    EXPECT_FLOAT_EQ(influences[0].weights[0], 0.75f);
    EXPECT_FLOAT_EQ(influences[0].weights[1], 0.25f);
    EXPECT_TRUE(influences[1].boneIndices.empty());
}

// Inside a tetrahedron whose normals point inwards no triangle gives a
// positive distance: the raw weight is 10000, against 1 from a box.
TEST(BindSkinnedObject, PieceWithoutPositiveDistanceWeighsTenThousand) {
    Model model;
    const int32_t tetra = addMaterial(model, "tetra");
    const int32_t box = addMaterial(model, "box");
    ModelObject& skin = addObject(model, "sdef:leg");
    addVertex(skin, {1, 1, 1});
    ModelObject& anchor = addObject(model, "anchor|leg");
    const int32_t a = addVertex(anchor, {0, 0, 0});
    const int32_t b = addVertex(anchor, {4, 0, 0});
    const int32_t c = addVertex(anchor, {0, 4, 0});
    const int32_t d = addVertex(anchor, {0, 0, 4});
    addFace(anchor, {a, b, c}, tetra);
    addFace(anchor, {a, d, b}, tetra);
    addFace(anchor, {a, c, d}, tetra);
    addFace(anchor, {b, d, c}, tetra);
    addBox(anchor, {0, -2, -2}, {3, 5, 4}, box);
    const Skeleton skeleton = namedBones({"tetra", "box"});
    bindSkinnedObject(model, 0, skeleton);
    const VertexInfluence& influence = model.objects[0].vertexInfluences[0];
    ASSERT_EQ(influence.weights.size(), 2u);
    EXPECT_NEAR(influence.weights[0], 10000.0f / 10001.0f, 1e-6f);
    EXPECT_NEAR(influence.weights[1], 1.0f / 10001.0f, 1e-7f);
}

TEST(BindSkinnedObject, PiecesWithoutABoneAddNoInfluence) {
    Model model;
    const int32_t ghost = addMaterial(model, "ghost");
    const int32_t arm = addMaterial(model, "arm[]");
    ModelObject& skin = addObject(model, "sdef:arm");
    addVertex(skin, {2, 0, 0});
    addVertex(skin, {-2, 0, 0});
    ModelObject& anchor = addObject(model, "anchor|arm");
    addBox(anchor, {1, -1, -1}, {3, 1, 1}, arm);     // first vertex x = 1: "arm[L]"
    addBox(anchor, {-3, -1, -1}, {-1, 1, 1}, arm);   // "arm[R]", no such bone
    addBox(anchor, {0, -2, -2}, {4, 2, 2}, ghost);   // no such bone
    addBox(anchor, {-4, -2, -2}, {0, 2, 2}, -1);     // keeps the anchor's name
    addBox(anchor, {-4, -2, -2}, {4, 2, 2}, 9);      // names no material
    const Skeleton skeleton = namedBones({"arm[L]", "anchor|arm"});
    bindSkinnedObject(model, 0, skeleton);
    const auto& influences = model.objects[0].vertexInfluences;
    // Materials -1 and 9 leave the anchor's name, which a bone here carries.
    EXPECT_EQ(influences[0].boneIndices, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(influences[1].boneIndices, (std::vector<int32_t>{1, 1}));
}

TEST(BindSkinnedObject, ObjectWithoutAnchorsGetsEmptyEntries) {
    Model model;
    ModelObject& skin = addObject(model, "sdef:tail");
    addVertex(skin, {0, 0, 0});
    addVertex(skin, {1, 0, 0});
    ModelObject& anchor = addObject(model, "anchor|tails");
    addBox(anchor, {-1, -1, -1}, {2, 2, 2}, -1);
    bindSkinnedObject(model, 0, namedBones({"anchor|tails"}));
    ASSERT_EQ(model.objects[0].vertexInfluences.size(), 2u);
    EXPECT_TRUE(model.objects[0].vertexInfluences[0].weights.empty());
    EXPECT_TRUE(model.objects[0].vertexInfluences[1].weights.empty());
}

}  // namespace
}  // namespace tavo
