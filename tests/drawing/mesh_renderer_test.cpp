#include "drawing/mesh_renderer.h"

#include <gtest/gtest.h>

#include <vector>

#include "animation/character_pose.h"
#include "character/character_data.h"
#include "resources/gl_api.h"
#include "resources/texture.h"
#include "resources/texture_manager.h"
#include "support/offscreen_gl_context.h"

namespace tavo {
namespace {

// A 64 x 64 context looking at the square [-1, 1] x [-1, 1] with the state
// the frame sets up: depth test, front-face culling, vertex array on.
class MeshRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.valid());
        glViewport(0, 0, 64, 64);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1.0, 1.0, -1.0, 1.0, -10.0, 10.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        glEnableClientState(GL_VERTEX_ARRAY);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // Colour at a point of the view square, as (red, green, blue).
    std::vector<int> colorAt(float x, float y) {
        gl.finishFrame();
        const int32_t px = static_cast<int32_t>((x + 1.0f) * 32.0f);
        const int32_t py = static_cast<int32_t>((y + 1.0f) * 32.0f);
        const uint8_t* p = gl.pixel(px, py);
        return {p[2], p[1], p[0]};
    }
    bool drawnAt(float x, float y) {
        const std::vector<int> c = colorAt(x, y);
        return c[0] != 0 || c[1] != 0 || c[2] != 0;
    }

    test::OffscreenGlContext gl{64, 64};
    MeshRenderer renderer;
};

const std::vector<int> kWhite{255, 255, 255};

Material makeMaterial(float r, float g, float b) {
    Material material;
    material.color[0] = r;
    material.color[1] = g;
    material.color[2] = b;
    material.color[3] = 1.0f;
    return material;
}

Triangle makeTriangle(int32_t a, int32_t b, int32_t c, int32_t material) {
    Triangle triangle;
    triangle.material = material;
    triangle.indices[0] = a;
    triangle.indices[1] = b;
    triangle.indices[2] = c;
    return triangle;
}

// A rectangle facing the viewer, wound clockwise on screen (the drawn side).
// Corners: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left, with the
// usual image coordinates (v = 0 at the top).
ModelObject makeRectangle(float x0, float y0, float x1, float y1, int32_t material,
                          bool clockwise = true) {
    ModelObject object;
    object.visible = 15;
    object.vertices = {{x0, y1, 0.0f}, {x1, y1, 0.0f}, {x1, y0, 0.0f}, {x0, y0, 0.0f}};
    object.normals.assign(4, Vec3(0.0f, 0.0f, 1.0f));
    const UvPair uvs[4] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    const int32_t order[2][3] = {{0, 1, 2}, {2, 3, 0}};
    TriangleGroup group;
    for (const auto& corners : order) {
        Triangle triangle = clockwise ? makeTriangle(corners[0], corners[1], corners[2], material)
                                      : makeTriangle(corners[2], corners[1], corners[0], material);
        triangle.hasUV = true;
        for (int k = 0; k < 3; ++k) {
            triangle.uvs[k] = uvs[triangle.indices[k]];
        }
        group.push_back(triangle);
    }
    object.triangleGroups.push_back(group);
    return object;
}

// An RGBA picture (rows top first) as a texture sampled without filtering.
std::unique_ptr<Texture> makeTexture(int32_t width, int32_t height, const std::vector<uint8_t>& rgba) {
    auto texture = std::make_unique<Texture>();
    texture->filterMode = 0;
    texture->setPicture(width, height, rgba.data(), 0);
    return texture;
}

Model plainModel() {
    Model model;
    model.useLighting = false;
    model.outlineWidth = 0.0f;
    return model;
}

TEST_F(MeshRendererTest, MaterialColoursAndMissingMaterialsDrawWhiteUntextured) {
    Model model = plainModel();
    model.materials.push_back(makeMaterial(1.0f, 0.0f, 0.0f));
    model.materials[0].textureIndex = 0;  // the manager has no textures
    model.objects.push_back(makeRectangle(-1.0f, 0.5f, 1.0f, 1.0f, -1));
    model.objects.push_back(makeRectangle(-1.0f, -0.25f, 1.0f, 0.25f, 0));
    model.objects.push_back(makeRectangle(-1.0f, -1.0f, 1.0f, -0.5f, 7));  // beyond the list

    TextureManager textures;
    renderer.attachTextureManager(&textures);
    renderer.drawModel(model);

    EXPECT_EQ(colorAt(0.0f, 0.75f), kWhite);
    EXPECT_EQ(colorAt(0.0f, 0.0f), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(colorAt(0.0f, -0.75f), kWhite);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshRendererTest, TexturedRectangleShowsItsPictureRightSideUp) {
    // 8 x 8 picture, rows top first: red above, green below.
    std::vector<uint8_t> picture;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const bool top = row < 4;
            picture.insert(picture.end(), {static_cast<uint8_t>(top ? 255 : 0),
                                           static_cast<uint8_t>(top ? 0 : 255), 0, 255});
        }
    }
    TextureManager textures;
    ASSERT_EQ(textures.addTexture("picture.png", makeTexture(8, 8, picture), false), 0);
    renderer.attachTextureManager(&textures);

    Model model = plainModel();
    model.materials.push_back(makeMaterial(1.0f, 1.0f, 1.0f));
    model.materials[0].textureIndex = 0;
    model.objects.push_back(makeRectangle(-0.8f, -0.8f, 0.8f, 0.8f, 0));
    glEnable(GL_TEXTURE_2D);
    renderer.drawModel(model);

    EXPECT_EQ(colorAt(0.0f, 0.5f), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(colorAt(0.0f, -0.49f), (std::vector<int>{0, 255, 0}));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

// Cut-out texels (alpha below 128) are not drawn, also under a material
// whose own alpha is low; a texture without such texels draws every texel.
TEST_F(MeshRendererTest, CutOutTexelsAreNotDrawn) {
    std::vector<uint8_t> picture;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const uint8_t alpha = row < 4 ? 127 : 128;
            picture.insert(picture.end(), {255, 0, 0, alpha});
        }
    }
    TextureManager textures;
    std::unique_ptr<Texture> owned = makeTexture(8, 8, picture);
    Texture* texture = owned.get();
    texture->cutOut = true;
    textures.addTexture("leaf.png", std::move(owned), false);
    renderer.attachTextureManager(&textures);

    Model model = plainModel();
    model.materials.push_back(makeMaterial(1.0f, 1.0f, 1.0f));
    model.materials[0].color[3] = 0.3f;
    model.materials[0].textureIndex = 0;
    model.objects.push_back(makeRectangle(-0.8f, -0.8f, 0.8f, 0.8f, 0));
    renderer.drawModel(model);
    EXPECT_EQ(colorAt(0.0f, 0.5f), (std::vector<int>{0, 0, 0})) << "alpha 127: not drawn";
    EXPECT_EQ(colorAt(0.0f, -0.5f), (std::vector<int>{255, 0, 0})) << "alpha 128: drawn";

    texture->cutOut = false;
    renderer.drawModel(model);
    EXPECT_EQ(colorAt(0.0f, 0.5f), (std::vector<int>{255, 0, 0}));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(MeshRendererTest, TrianglesWithoutUvSampleTheTopLeftTexel) {
    std::vector<uint8_t> picture(16 * 4, 0);
    for (size_t i = 0; i < 16; ++i) {
        picture[i * 4 + 2] = 255;  // blue everywhere...
        picture[i * 4 + 3] = 255;
    }
    picture[0] = 255;  // ...but a red top-left texel
    picture[2] = 0;
    TextureManager textures;
    textures.addTexture("corner.png", makeTexture(4, 4, picture), false);
    renderer.attachTextureManager(&textures);

    Model model = plainModel();
    model.materials.push_back(makeMaterial(1.0f, 1.0f, 1.0f));
    model.materials[0].textureIndex = 0;
    ModelObject object = makeRectangle(-0.8f, -0.8f, 0.8f, 0.8f, 0);
    for (Triangle& triangle : object.triangleGroups[0]) {
        triangle.hasUV = false;
        triangle.uvs[1] = {1.0f, 1.0f};  // ignored without hasUV
    }
    model.objects.push_back(object);
    glEnable(GL_TEXTURE_2D);
    renderer.drawModel(model);

    EXPECT_EQ(colorAt(0.5f, -0.5f), (std::vector<int>{255, 0, 0}));
}

TEST_F(MeshRendererTest, WithoutSkeletonOnlyVisibleObjectsAreDrawn) {
    Model model = plainModel();
    model.objects.push_back(makeRectangle(-1.0f, 0.0f, 1.0f, 1.0f, -1));
    model.objects.push_back(makeRectangle(-1.0f, -1.0f, 1.0f, 0.0f, -1));
    model.objects[1].visible = 0;
    renderer.drawModel(model);

    EXPECT_TRUE(drawnAt(0.0f, 0.5f));
    EXPECT_FALSE(drawnAt(0.0f, -0.5f));
}

TEST_F(MeshRendererTest, MaterialsOffLeaveColourAndTextureStateAlone) {
    Model model = plainModel();
    model.useMaterials = false;
    model.materials.push_back(makeMaterial(1.0f, 0.0f, 0.0f));
    model.objects.push_back(makeRectangle(-1.0f, -1.0f, 1.0f, 1.0f, 0));
    glColor3f(0.0f, 1.0f, 0.0f);
    glDisable(GL_TEXTURE_2D);
    renderer.drawModel(model);

    EXPECT_EQ(colorAt(0.0f, 0.0f), (std::vector<int>{0, 255, 0}));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

TEST_F(MeshRendererTest, PrimitivesWithIndicesOutsideTheObjectAreSkipped) {
    Model model = plainModel();
    ModelObject object = makeRectangle(-1.0f, -1.0f, 0.0f, 1.0f, -1);
    // A triangle that would cover the right half if its index were read.
    object.vertices.push_back({1.0f, 1.0f, 0.0f});
    object.triangleGroups[0].push_back(makeTriangle(1, 4, 99, -1));
    object.triangleGroups[0].push_back(makeTriangle(-3, 4, 2, -1));
    LineSegment segment;
    segment.indices[0] = 0;
    segment.indices[1] = 1000000;
    object.lineGroups.push_back({segment});
    model.objects.push_back(object);

    renderer.drawModel(model);
    EXPECT_TRUE(drawnAt(-0.5f, 0.0f));
    EXPECT_FALSE(drawnAt(0.5f, 0.0f));

    // With lighting the normals are read too: an object whose normals are
    // missing draws nothing rather than reading past them.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    model.useLighting = true;
    model.objects[0].normals.clear();
    renderer.drawModel(model);
    EXPECT_FALSE(drawnAt(-0.5f, 0.0f));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshRendererTest, OutlineHullIsReversedPushedOutAndTintedFromTheMaterial) {
    Model model = plainModel();
    model.outlineOnly = true;
    model.materials.push_back(makeMaterial(1.0f, 0.0f, 0.0f));
    // Wound the other way, so that only the reversed hull faces the viewer.
    model.objects.push_back(makeRectangle(-0.5f, -0.5f, 0.5f, 0.5f, 0, false));

    renderer.drawModel(model);
    EXPECT_FALSE(drawnAt(0.0f, 0.0f)) << "outline width 0 draws no hull";

    model.outlineWidth = -1.0f;
    renderer.drawModel(model);
    EXPECT_FALSE(drawnAt(0.0f, 0.0f)) << "a negative width draws no hull";

    model.outlineWidth = 0.5f;
    renderer.drawModel(model);
    // 0.5 * 1 + 0.3, 0.43 * 0 + 0.3, 0.4 * 0 + 0.3
    const std::vector<int> c = colorAt(0.0f, 0.0f);
    EXPECT_NEAR(c[0], 204, 1);
    EXPECT_NEAR(c[1], 77, 1);
    EXPECT_NEAR(c[2], 77, 1);
}

TEST_F(MeshRendererTest, LineSegmentsAreDrawnAlsoWithOutlineOnly) {
    Model model = plainModel();
    model.outlineOnly = true;
    ModelObject object;
    object.visible = 15;
    object.vertices = {{-1.0f, 0.01f, 0.0f}, {1.0f, 0.01f, 0.0f}};
    object.normals.assign(2, Vec3(0.0f, 0.0f, 1.0f));
    LineSegment segment;
    segment.indices[0] = 0;
    segment.indices[1] = 1;
    object.lineGroups.push_back({segment});
    model.objects.push_back(object);

    renderer.drawModel(model);
    EXPECT_EQ(colorAt(0.0f, 0.01f), kWhite);
    EXPECT_FALSE(drawnAt(0.0f, 0.5f));
}

TEST_F(MeshRendererTest, LightVertexCombinesEmissiveAmbientAndDiffuse) {
    Model model = plainModel();
    model.useLighting = true;
    Material material = makeMaterial(0.5f, 0.25f, 1.0f);
    material.emissive = 0.5f;
    material.ambient = 0.5f;
    material.diffuse = 0.8f;
    material.diffuseColor[0] = 1.0f;
    material.diffuseColor[1] = 0.5f;
    material.diffuseColor[2] = 0.0f;
    model.materials.push_back(material);
    model.ambientLight[0] = 0.2f;
    model.ambientLight[1] = 0.4f;
    model.ambientLight[2] = 0.0f;
    model.lightPosition[2] = -10.0f;  // the light-to-vertex direction is +z

    const Vec3 facing = renderer.lightVertex(model, 0, {0, 0, 0}, {0, 0, 1});
    EXPECT_FLOAT_EQ(facing.x, 0.25f + 0.1f + 0.8f);
    EXPECT_FLOAT_EQ(facing.y, 0.125f + 0.2f + 0.4f);
    EXPECT_FLOAT_EQ(facing.z, 0.5f + 0.0f + 0.0f);

    const Vec3 away = renderer.lightVertex(model, 0, {0, 0, 0}, {0, 0, -1});
    EXPECT_FLOAT_EQ(away.x, 0.25f + 0.1f);
    EXPECT_FLOAT_EQ(away.y, 0.125f + 0.2f);

    for (int32_t missing : {-1, 1}) {
        const Vec3 white = renderer.lightVertex(model, missing, {0, 0, 0}, {0, 0, 1});
        EXPECT_EQ(white.x + white.y + white.z, 3.0f) << missing;
    }
    model.useLighting = false;
    EXPECT_EQ(renderer.lightVertex(model, 0, {0, 0, 0}, {0, 0, 1}).y, 1.0f);
}

TEST_F(MeshRendererTest, LitFacesAndLinesTakeTheirColoursFromTheLighting) {
    Model model = plainModel();
    model.useLighting = true;
    Material material = makeMaterial(1.0f, 1.0f, 1.0f);
    material.ambient = 1.0f;  // colour = ambientLight
    model.materials.push_back(material);
    model.ambientLight[0] = 0.0f;
    model.ambientLight[1] = 1.0f;
    model.ambientLight[2] = 0.0f;
    ModelObject object = makeRectangle(-1.0f, 0.0f, 1.0f, 1.0f, 0);
    object.vertices.push_back({-1.0f, -0.49f, 0.0f});
    object.vertices.push_back({1.0f, -0.49f, 0.0f});
    object.normals.assign(6, Vec3(0.0f, 0.0f, 1.0f));
    LineSegment segment;
    segment.material = 0;
    segment.indices[0] = 4;
    segment.indices[1] = 5;
    object.lineGroups.push_back({segment});
    model.objects.push_back(object);

    renderer.drawModel(model);
    EXPECT_EQ(colorAt(0.0f, 0.5f), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(colorAt(0.0f, -0.49f), (std::vector<int>{0, 255, 0}));
}

// Rig tests: joint 0 lifts its rigid object into the upper half.
class RigDrawingTest : public MeshRendererTest {
protected:
    static Joint makeJoint(float y) {
        Joint joint;
        joint.rest.translation = {0.0f, y, 0.0f};
        return joint;
    }
    // Draws the model through the rig in its rest pose, with the given
    // skinned copies.
    void drawRig(Model model, Rig rig, std::vector<ModelObject> skinned = {}) {
        CharacterData data;
        data.model = std::move(model);
        data.rig = std::move(rig);
        CharacterPose pose;
        pose.reset(data);
        pose.skinned = std::move(skinned);
        renderer.drawCharacter(data, pose);
    }
};

TEST_F(RigDrawingTest, OnlyBoundRigidObjectsAndSkinnedCopiesAreDrawn) {
    Model model = plainModel();
    model.objects.push_back(makeRectangle(-1.0f, 0.0f, -0.5f, 0.5f, -1));   // 0: rigid, lifted
    model.objects.push_back(makeRectangle(-0.25f, 0.0f, 0.25f, 0.5f, -1));  // 1: unbound
    model.objects.push_back(makeRectangle(0.5f, 0.0f, 1.0f, 0.5f, -1));     // 2: skinned
    model.skinnedObjects = {2};

    Rig rig;
    rig.joints.push_back(makeJoint(0.5f));
    rig.joints[0].rigidObjects = {0};
    rig.roots = {0};
    drawRig(model, rig, {makeRectangle(0.5f, -1.0f, 1.0f, -0.5f, -1)});

    EXPECT_TRUE(drawnAt(-0.75f, 0.75f)) << "rigid object under its joint";
    EXPECT_FALSE(drawnAt(-0.75f, 0.25f)) << "rigid object at its own coordinates";
    EXPECT_FALSE(drawnAt(0.0f, 0.25f)) << "unbound object";
    EXPECT_FALSE(drawnAt(0.75f, 0.25f)) << "skinned object itself";
    EXPECT_TRUE(drawnAt(0.75f, -0.75f)) << "skinned copy";
}

TEST_F(RigDrawingTest, AJointWithoutMeshesAmongTheRootsDrawsNothing) {
    Model model = plainModel();
    model.objects.push_back(makeRectangle(-1.0f, -1.0f, 1.0f, 0.0f, -1));
    Rig rig;
    rig.joints.push_back(makeJoint(0.0f));
    rig.joints[0].carriesMeshes = false;
    rig.joints[0].rigidObjects = {0};
    rig.joints[0].children = {1};
    rig.joints.push_back(makeJoint(1.0f));
    rig.joints[1].rigidObjects = {0};
    rig.roots = {0};
    drawRig(model, rig);

    EXPECT_FALSE(drawnAt(0.0f, -0.5f));
    EXPECT_FALSE(drawnAt(0.0f, 0.5f)) << "the children of a joint without meshes are not reached";
}

TEST_F(RigDrawingTest, ScaledJointsScaleTheirObjects) {
    Model model = plainModel();
    model.objects.push_back(makeRectangle(-0.25f, -0.25f, 0.25f, 0.25f, -1));
    Rig rig;
    rig.joints.push_back(makeJoint(0.0f));
    rig.joints[0].rest.scale = {3.0f, 1.0f, 1.0f};
    rig.joints[0].rigidObjects = {0};
    rig.roots = {0};
    drawRig(model, rig);
    EXPECT_TRUE(drawnAt(0.6f, 0.0f)) << "three times as wide";
    EXPECT_FALSE(drawnAt(0.0f, 0.5f)) << "no taller";
}

TEST_F(RigDrawingTest, BadJointAndObjectIndicesAndCyclesAreSkipped) {
    Model model = plainModel();
    model.objects.push_back(makeRectangle(-1.0f, -1.0f, 0.0f, -0.5f, -1));
    Rig rig;
    rig.joints.push_back(makeJoint(0.0f));
    rig.joints.push_back(makeJoint(0.0f));
    rig.joints[0].rigidObjects = {-1, 5, 0};
    rig.joints[0].children = {1, 9, -2};
    rig.joints[1].children = {0, 1};  // a cycle back to the root and itself
    rig.roots = {-1, 0, 17, 0};
    drawRig(model, rig);

    EXPECT_TRUE(drawnAt(-0.5f, -0.75f));
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RigDrawingTest, ChainsDeeperThanTheMatrixStackArePlacedAndBalanced) {
    const int32_t chain = 100;
    Model model = plainModel();
    model.objects.push_back(makeRectangle(-1.0f, -1.0f, 0.0f, -0.9f, -1));
    Rig rig;
    for (int32_t i = 0; i < chain; ++i) {
        rig.joints.push_back(makeJoint(0.01f));  // 100 steps lift it by 1.0
        if (i + 1 < chain) {
            rig.joints[static_cast<size_t>(i)].children = {i + 1};
        }
    }
    rig.joints.back().rigidObjects = {0};
    rig.roots = {0};
    glTranslatef(0.0f, 0.0f, 0.0f);
    drawRig(model, rig);

    EXPECT_TRUE(drawnAt(-0.5f, 0.05f));
    EXPECT_FALSE(drawnAt(-0.5f, -0.95f));
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_EQ(matrix[13], 0.0f) << "the caller's matrix is restored";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RigDrawingTest, ACharacterWithoutARigIsDrawnAsModelled) {
    CharacterData data;
    data.model = plainModel();
    data.model.objects.push_back(makeRectangle(-1.0f, -1.0f, 1.0f, 0.0f, -1));
    CharacterPose pose;
    pose.reset(data);
    renderer.drawCharacter(data, pose);
    EXPECT_TRUE(drawnAt(0.0f, -0.5f));

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    data.rig.joints.push_back(makeJoint(0.0f));  // binds nothing
    pose.reset(data);
    renderer.drawCharacter(data, pose);
    EXPECT_FALSE(drawnAt(0.0f, -0.5f));
}

}  // namespace
}  // namespace tavo
