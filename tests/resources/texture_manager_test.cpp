#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drawing/gl_textures.h"
#include "resources/gl_api.h"
#include "resources/texture_manager.h"
#include "support/offscreen_gl_context.h"

namespace tavo {
namespace {

// What a scripted loader did, kept outside it because the manager owns and
// destroys the loader.
struct LoaderLog {
    std::vector<std::string> askedExtensions;
    std::vector<std::string> loadedPaths;
    int releases = 0;
    int destroyed = 0;
};

// Accepts one extension, succeeds or fails as told and describes a 2 x 2
// picture with the given layout code.
class ScriptedLoader : public ImageLoader {
public:
    ScriptedLoader(LoaderLog& log, std::string extension, bool succeeds, int32_t layout = 0,
                   int32_t bitsPerPixel = 32)
        : log_(log),
          extension_(std::move(extension)),
          succeeds_(succeeds),
          layout_(layout),
          bitsPerPixel_(bitsPerPixel) {}
    ~ScriptedLoader() override { ++log_.destroyed; }

    int32_t acceptsExtension(const char* extension) override {
        log_.askedExtensions.emplace_back(extension);
        return extension_ == extension ? 1 : 0;
    }
    int32_t decode(ByteStream*) override { return 0; }
    int32_t load(const char* path) override {
        log_.loadedPaths.emplace_back(path);
        return succeeds_ ? 1 : 0;
    }
    ImageDescription& describe(ImageDescription& description) override {
        description.width = 2;
        description.height = 2;
        description.bitsPerPixel = bitsPerPixel_;
        description.layout = layout_;
        description.pixels = pixels_;
        return description;
    }
    void release() override { ++log_.releases; }

private:
    LoaderLog& log_;
    std::string extension_;
    bool succeeds_;
    int32_t layout_;
    int32_t bitsPerPixel_;
    uint8_t pixels_[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 9, 9, 9, 9};
};

class TextureManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.valid()); }
    void TearDown() override { gl.release(); }  // uploads go while GL is current

    void useLoaders(std::vector<ImageLoader*> loaders) {
        std::vector<std::unique_ptr<ImageLoader>> owned;
        for (ImageLoader* loader : loaders) {
            owned.emplace_back(loader);
        }
        manager.setLoaders(std::move(owned));
    }

    static GLint boundTexture() {
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        return bound;
    }

    test::OffscreenGlContext context;
    TextureManager manager;
    GlTextures gl;
    LoaderLog log;
};

TEST_F(TextureManagerTest, SameNameLoadsOnceAndLetterCaseMatters) {
    useLoaders({new ScriptedLoader(log, "png", true)});
    const int32_t first = manager.createTexture("skin.png", 0, 1, false);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(manager.createTexture("skin.png", 0, 1, false), first);
    EXPECT_EQ(log.loadedPaths.size(), 1u);
    EXPECT_EQ(manager.createTexture("SKIN.png", 0, 1, false), 1);
    EXPECT_EQ(log.loadedPaths.size(), 2u);
    EXPECT_EQ(manager.name(1), "SKIN.png");
    EXPECT_EQ(log.releases, 2);

    const Texture* texture = manager.texture(first);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(gl.nameOf(first), 0u) << "nothing is uploaded before it is drawn";
    EXPECT_EQ(texture->paddedWidth, 2);
    ASSERT_EQ(texture->pixels.size(), 16u);
    EXPECT_EQ(texture->pixels[15], 9);
}

TEST_F(TextureManagerTest, ReloadReplacesTheTextureUnderTheSameIndex) {
    useLoaders({new ScriptedLoader(log, "png", true)});
    const int32_t index = manager.createTexture("a.png", 0, 1, false);
    gl.bind(manager, index);
    const uint32_t oldName = gl.nameOf(index);
    EXPECT_EQ(manager.createTexture("a.png", 0, 1, true), index);
    EXPECT_EQ(manager.textureCount(), 1);
    EXPECT_EQ(log.loadedPaths.size(), 2u);
    gl.bind(manager, index);
    EXPECT_EQ(glIsTexture(oldName), GL_FALSE) << "the replaced picture's upload was destroyed";
    EXPECT_NE(gl.nameOf(index), 0u);

    auto own = std::make_unique<Texture>();
    const Texture* ownPointer = own.get();
    EXPECT_EQ(manager.addTexture("a.png", std::move(own), true), index);
    EXPECT_EQ(manager.texture(index), ownPointer);
    EXPECT_EQ(manager.addTexture("a.png", nullptr, true), -1);
    EXPECT_EQ(manager.addTexture("b.png", std::make_unique<Texture>(), false), 1);
}

TEST_F(TextureManagerTest, NamesWithoutAUsableExtension) {
    useLoaders({new ScriptedLoader(log, "png", true)});
    EXPECT_EQ(manager.createTexture("noextension", 0, 1, false), -1);
    EXPECT_EQ(manager.createTexture(nullptr, 0, 1, false), -1);
    // The '.' here is the second byte of a double-byte character.
    EXPECT_EQ(manager.createTexture("a\x81.", 0, 1, false), -1);
    EXPECT_EQ(manager.textureCount(), 0);
    EXPECT_TRUE(log.askedExtensions.empty());

    // A '.' hidden in a trail byte does not end the extension either.
    EXPECT_EQ(manager.createTexture("pic.png\x81.bmp", 0, 1, false), 0);
    ASSERT_EQ(log.askedExtensions.size(), 1u);
    EXPECT_EQ(log.askedExtensions[0], "png\x81.bmp");
    EXPECT_STREQ(findExtension("dir.d/file.tga"), "tga");
    EXPECT_STREQ(findExtension("file."), "");
}

TEST_F(TextureManagerTest, UnacceptedExtensionStillGetsAnImagelessTexture) {
    useLoaders({new ScriptedLoader(log, "png", true)});
    EXPECT_EQ(manager.createTexture("photo.jpg", 0, 1, false), 0);
    EXPECT_TRUE(log.loadedPaths.empty());
    const Texture* texture = manager.texture(0);
    ASSERT_NE(texture, nullptr);
    EXPECT_TRUE(texture->pixels.empty());
    EXPECT_FALSE(texture->hasPicture());

    TextureManager empty;
    EXPECT_EQ(empty.createTexture("x.png", 0, 1, false), 0);  // no loaders at all
}

TEST_F(TextureManagerTest, FailedLoadsGiveMinusOneAndLaterLoadersAreTried) {
    useLoaders({new ScriptedLoader(log, "png", false)});
    EXPECT_EQ(manager.createTexture("broken.png", 0, 1, false), -1);
    EXPECT_EQ(manager.textureCount(), 0);
    EXPECT_EQ(log.releases, 0);

    useLoaders({new ScriptedLoader(log, "png", false), new ScriptedLoader(log, "tga", true),
                new ScriptedLoader(log, "png", true)});
    EXPECT_EQ(log.destroyed, 1);  // the earlier loader was replaced
    log.loadedPaths.clear();
    EXPECT_EQ(manager.createTexture("second.png", 0, 1, false), 0);
    EXPECT_EQ(log.loadedPaths.size(), 2u);
    EXPECT_FALSE(manager.texture(0)->pixels.empty());
}

TEST_F(TextureManagerTest, BindTextureOutOfRangeBindsNothing) {
    useLoaders({new ScriptedLoader(log, "png", true)});
    const int32_t index = manager.createTexture("a.png", 0, 1, false);
    gl.bind(manager, index);
    const GLint bound = boundTexture();
    EXPECT_EQ(static_cast<uint32_t>(bound), gl.nameOf(index));
    glBindTexture(GL_TEXTURE_2D, 0);
    gl.bind(manager, -1);
    gl.bind(manager, 1);
    EXPECT_EQ(boundTexture(), 0);
    gl.bind(manager, index);
    EXPECT_EQ(boundTexture(), bound) << "uploaded once, bound again";
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 2);
}

TEST_F(TextureManagerTest, WrapAndFilterModesAreSetOnTheTexture) {
    useLoaders({new ScriptedLoader(log, "png", true)});
    gl.bind(manager, manager.createTexture("clamped.png", 1, 0, false));
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_CLAMP);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);

    gl.bind(manager, manager.createTexture("other.png", 5, 9, false));
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);  // untouched default
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
}

TEST_F(TextureManagerTest, LayoutsWithoutAnUploadAndNon32BitPixelsLeaveNoImage) {
    useLoaders({new ScriptedLoader(log, "a", true, 30), new ScriptedLoader(log, "b", true, 77),
                new ScriptedLoader(log, "c", true, 0, 24)});
    for (const char* name : {"x.a", "x.b", "x.c"}) {
        const int32_t index = manager.createTexture(name, 0, 1, false);
        ASSERT_GE(index, 0) << name;
        gl.bind(manager, index);
        GLint width = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, 0) << name;
        EXPECT_TRUE(manager.texture(index)->pixels.empty()) << name;
    }
    EXPECT_EQ(log.releases, 3);
}

TEST_F(TextureManagerTest, ClearDestroysLoadersAndTexturesAndReleaseTheUploads) {
    useLoaders({new ScriptedLoader(log, "png", true), nullptr, new ScriptedLoader(log, "tga", true)});
    manager.createTexture("a.png", 0, 1, false);
    gl.bind(manager, 0);
    const uint32_t name = gl.nameOf(0);
    ASSERT_NE(name, 0u);
    gl.release();
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
    EXPECT_EQ(gl.nameOf(0), 0u);
    manager.clear();
    EXPECT_EQ(log.destroyed, 2);
    EXPECT_EQ(manager.textureCount(), 0);
    EXPECT_EQ(manager.texture(0), nullptr);
    EXPECT_EQ(manager.name(0), "");
    manager.setLoaders({});
}

}  // namespace
}  // namespace tavo
