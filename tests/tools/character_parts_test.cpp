// The pieces of the character generator: its portable maths, number text,
// mirrored names, closed meshes and texture mapping, and the PNG checksum.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "character_model.h"
#include "character_rig.h"
#include "fuwari/fuwari.h"
#include "mesh_builder.h"
#include "png_encoder.h"
#include "portable_math.h"
#include "text_format.h"

namespace tavo::chara {
namespace {

TEST(PortableMath, MatchesTheLibraryAcrossFoldsAndLargeArguments) {
    const double pi = 3.14159265358979323846;
    for (double x : {0.0, 1e-9, 0.5, pi / 2, pi / 2 + 1e-12, 2.0, pi, -pi, 3 * pi / 2, 2 * pi, -2.5,
                     -7.0, 25.0 * pi + 0.3, -100.0, 1000.0}) {
        EXPECT_NEAR(portableSin(x), std::sin(x), 1e-12) << x;
        EXPECT_NEAR(portableCos(x), std::cos(x), 1e-12) << x;
    }
    for (double x : {-30.0, -1.0, -1e-6, 0.0, 0.35, 1.0, 7.5, 40.0}) {
        EXPECT_NEAR(portableExp(x) / std::exp(x), 1.0, 1e-13) << x;
    }
}

TEST(TextFormat, FixedPointNeverHasAnExponentOrANegativeZero) {
    EXPECT_EQ(fixed(-0.00001, 4), "0.0000");
    EXPECT_EQ(fixed(-0.0, 6), "0.000000");
    EXPECT_EQ(fixed(-0.00005001, 4), "-0.0001");
    EXPECT_EQ(fixed(1e-7, 6), "0.000000");
    EXPECT_EQ(fixed(123456789.0, 2), "123456789.00");
    EXPECT_EQ(fixed(-12.5, 1), "-12.5");
    std::string lines;
    appendLine(lines, "a");
    appendLine(lines, "");
    EXPECT_EQ(lines, "a\r\n\r\n");
}

TEST(MirroredNames, SideFollowsTheHeadAndOnlyATrailingPairMirrors) {
    EXPECT_EQ(resolveMirroredName("arm[]", 3.0f), "arm[L]");
    EXPECT_EQ(resolveMirroredName("arm[]", -3.0f), "arm[R]");
    EXPECT_EQ(resolveMirroredName("arm[]", 0.0f), "arm[R]");
    EXPECT_EQ(resolveMirroredName("[]", 1.0f), "[L]");
    EXPECT_EQ(resolveMirroredName("]", 1.0f), "]");
    EXPECT_EQ(resolveMirroredName("a[]b", 1.0f), "a[]b");
}

TEST(Rig, ParentsComeThroughSharedTipsAndLinksDrawnEitherWay) {
    Rig rig;
    const int32_t base = rig.addPoint({0.0f, 0.0f, 0.0f});
    const int32_t top = rig.addPoint({0.0f, 10.0f, 0.0f});
    const int32_t above = rig.addPoint({0.0f, 20.0f, 0.0f});
    const int32_t left = rig.addPoint({5.0f, 8.0f, 0.0f});
    const int32_t leftEnd = rig.addPoint({9.0f, 2.0f, 0.0f});
    const int32_t right = rig.addPoint({-5.0f, 8.0f, 0.0f});
    const int32_t rightEnd = rig.addPoint({-9.0f, 2.0f, 0.0f});
    const Vec3 forward(0.0f, 0.0f, 1.0f);
    rig.addBone("root", base, top, forward);
    rig.addBone("neck", top, above, forward);
    rig.addLink(top, left);
    rig.addLink(right, top);
    rig.addBone("arm[]", left, leftEnd, forward);
    rig.addBone("arm[]", right, rightEnd, forward);
    rig.finish();
    const auto& bones = rig.bones();
    EXPECT_EQ(bones[0].parent, -1);
    EXPECT_EQ(bones[1].parent, 0);
    EXPECT_EQ(bones[rig.find("arm[L]")].parent, 0);
    EXPECT_EQ(bones[rig.find("arm[R]")].parent, 0);
    // The root's local rotation is its rest rotation; an upright bone turns
    // the model's z axis onto +y.
    EXPECT_EQ(bones[0].restLocal.w, bones[0].restRotation.w);
    const Vec3 z = rotateByUnit(bones[0].restRotation, {0.0f, 0.0f, 1.0f});
    EXPECT_NEAR(z.y, 1.0f, 1e-6f);
    // A child on the same line as its parent has (nearly) no local turn.
    EXPECT_NEAR(std::abs(bones[1].restLocal.w), 1.0f, 1e-6f);
}

// Every edge of a closed, consistently wound surface is used once in each
// direction.
void expectClosedAndConsistent(const Mesh& mesh) {
    std::map<std::pair<int32_t, int32_t>, int32_t> edges;
    for (const MeshFace& face : mesh.faces) {
        const size_t n = face.corners.size();
        ASSERT_GE(n, 3u) << mesh.name;
        for (size_t k = 0; k < n; ++k) {
            ++edges[{face.corners[k], face.corners[(k + 1) % n]}];
        }
    }
    for (const auto& [edge, count] : edges) {
        ASSERT_EQ(count, 1) << mesh.name << " edge " << edge.first << "-" << edge.second;
        ASSERT_EQ(edges.count({edge.second, edge.first}), 1u)
            << mesh.name << " open at edge " << edge.first << "-" << edge.second;
    }
}

TEST(MeshBuilder, PrimitivesAreClosedAndWoundOutwards) {
    Mesh box;
    addBox(box, {1.0f, 2.0f, 3.0f}, {2.0f, 0.0f, 0.0f}, {0.0f, 3.0f, 0.0f}, {0.0f, 0.0f, 4.0f}, 0);
    expectClosedAndConsistent(box);
    EXPECT_NEAR(box.signedVolume(), 4.0 * 6.0 * 8.0, 1e-3);

    Mesh ball;
    TubeStyle style;
    style.segments = 16;
    addEllipsoid(ball, {0.0f, 5.0f, 0.0f}, {2.0f, 3.0f, 4.0f}, 12, style);
    expectClosedAndConsistent(ball);
    const double exact = 4.0 / 3.0 * 3.14159265 * 2.0 * 3.0 * 4.0;
    EXPECT_GT(ball.signedVolume(), 0.9 * exact);
    EXPECT_LT(ball.signedVolume(), exact);

    Mesh ring;
    std::vector<Ring> loop;
    for (int32_t i = 0; i < 12; ++i) {
        const float a = 6.2831853f * i / 12;
        Ring r;
        r.center = {5.0f * std::sin(a), 0.0f, 5.0f * std::cos(a)};
        r.up = {0.0f, 1.0f, 0.0f};
        r.across = r.up.cross({std::cos(a), 0.0f, -std::sin(a)});
        loop.push_back(r);
    }
    addLoop(ring, loop, style);
    expectClosedAndConsistent(ring);
    EXPECT_GT(ring.signedVolume(), 0.0);
}

TEST(CharacterModel, EverySurfaceIsClosedAndTexturedFacesStayInTheirPicture) {
    for (const CharacterModel& model : {buildCharacterModel(), fuwari::buildModel()}) {
        for (const Mesh& mesh : model.meshes) {
            if (mesh.name.rfind("bone", 0) == 0) {
                continue;  // bone triangles and links enclose nothing
            }
            expectClosedAndConsistent(mesh);
            for (const MeshFace& face : mesh.faces) {
                ASSERT_GE(face.material, 0) << mesh.name;
                const bool textured = !model.materials[face.material].texture.empty();
                ASSERT_EQ(face.uvs.size(), textured ? face.corners.size() : 0u) << mesh.name;
                for (const TexturePoint& uv : face.uvs) {
                    ASSERT_GE(uv.u, 0.0f);
                    ASSERT_LE(uv.u, 1.0f);
                    ASSERT_GE(uv.v, 0.0f);
                    ASSERT_LE(uv.v, 1.0f);
                }
            }
        }
    }
}

TEST(PngEncoder, ChecksumsAndChunksFollowThePngLayout) {
    const std::string check = "123456789";
    EXPECT_EQ(crc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
    const std::vector<uint8_t> pixels = {10, 20, 30, 255, 40, 50, 60, 255};
    const std::string png = encodePng(2, 1, pixels);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
    // Width 2, height 1, 8 bits, colour type 6 (RGBA), no interlace.
    EXPECT_EQ(png.substr(16, 13), std::string("\0\0\0\x02\0\0\0\x01\x08\x06\0\0\0", 13));
}

}  // namespace
}  // namespace tavo::chara
