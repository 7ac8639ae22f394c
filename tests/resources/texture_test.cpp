#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "drawing/gl_textures.h"
#include "resources/gl_api.h"
#include "resources/texture.h"
#include "resources/texture_manager.h"
#include "support/offscreen_gl_context.h"

namespace tavo {
namespace {

#ifndef GL_TEXTURE_COMPRESSED_IMAGE_SIZE
#define GL_TEXTURE_COMPRESSED_IMAGE_SIZE 0x86A0
#endif

// A w x h RGBA picture whose every pixel encodes its own column and row.
std::vector<uint8_t> coordinatePicture(int32_t w, int32_t h) {
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(x >> 8);
            p[2] = static_cast<uint8_t>(y);
            p[3] = static_cast<uint8_t>(255 - y);
        }
    }
    return pixels;
}

const uint8_t* texel(const Texture& texture, int32_t x, int32_t y) {
    return &texture.pixels[(static_cast<size_t>(y) * texture.paddedWidth + x) * 4];
}

GLint levelParameter(GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

TEST(TextureSizes, PowersOfTwoAndCompressedBlocks) {
    EXPECT_EQ(nextPowerOfTwo(1), 1);
    EXPECT_EQ(nextPowerOfTwo(2), 2);
    EXPECT_EQ(nextPowerOfTwo(3), 4);
    EXPECT_EQ(nextPowerOfTwo(300), 512);
    EXPECT_EQ(nextPowerOfTwo(512), 512);
    EXPECT_EQ(nextPowerOfTwo(513), 1024);
    EXPECT_EQ(nextPowerOfTwo(1 << 30), 1 << 30);
    EXPECT_EQ(nextPowerOfTwo((1 << 30) + 1), 0);
    EXPECT_EQ(nextPowerOfTwo(0), 1);

    EXPECT_EQ(compressedImageSize(5, 3, 8), 16);
    EXPECT_EQ(compressedImageSize(4, 4, 16), 16);
    EXPECT_EQ(compressedImageSize(1, 1, 8), 8);
    EXPECT_EQ(compressedImageSize(65536, 65536, 16), -1);
}

// A prepared texture as the drawing side uploads it: through a manager that
// holds it and the GL uploads of that manager.
class TextureUpload : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(context.valid()); }
    void TearDown() override { gl.release(); }

    // Hands the texture to the manager and binds it, uploading it.
    void upload(std::unique_ptr<Texture> texture) {
        const int32_t index = manager.addTexture("picture.png", std::move(texture), true);
        gl.bind(manager, index);
    }

    test::OffscreenGlContext context;
    TextureManager manager;
    GlTextures gl;
};

TEST_F(TextureUpload, PowerOfTwoPictureIsUploadedAsItIs) {
    const std::vector<uint8_t> picture = coordinatePicture(512, 512);
    auto texture = std::make_unique<Texture>();
    texture->setPicture(512, 512, picture.data(), 0);
    EXPECT_EQ(texture->width, 512);
    EXPECT_EQ(texture->paddedHeight, 512);
    EXPECT_EQ(texture->pixels, picture);
    upload(std::move(texture));
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 512);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 512);
    EXPECT_EQ(levelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);

    std::vector<uint8_t> readBack(picture.size());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, readBack.data());
    EXPECT_EQ(readBack, picture);
}

TEST_F(TextureUpload, OddSizeIsStretchedOverThePaddedSize) {
    const std::vector<uint8_t> picture = coordinatePicture(300, 200);
    auto owned = std::make_unique<Texture>();
    Texture& texture = *owned;
    texture.setPicture(300, 200, picture.data(), 0);
    EXPECT_EQ(texture.paddedWidth, 512);
    EXPECT_EQ(texture.paddedHeight, 256);
    EXPECT_EQ(texture.width, 512);
    EXPECT_EQ(texture.height, 256);
    ASSERT_EQ(texture.pixels.size(), 512u * 256u * 4u);

    const uint8_t* first = texel(texture, 0, 0);
    EXPECT_EQ(std::vector<uint8_t>(first, first + 4), std::vector<uint8_t>(picture.begin(), picture.begin() + 4));
    const uint8_t* last = texel(texture, 511, 255);
    const uint8_t* sourceLast = &picture[(199u * 300u + 299u) * 4];
    EXPECT_EQ(std::vector<uint8_t>(last, last + 4), std::vector<uint8_t>(sourceLast, sourceLast + 4));
    // The last row and column come from the source's last row and column.
    EXPECT_EQ(texel(texture, 0, 255)[2], 199);
    EXPECT_EQ(texel(texture, 511, 0)[0], 299 & 0xFF);
    EXPECT_EQ(texel(texture, 511, 0)[1], 299 >> 8);
    upload(std::move(owned));
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), 512);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), 256);
}

TEST(TexturePreparation, SingleColumnKeepsItsColumnAndBlendsRows) {
    const uint8_t picture[] = {0, 10, 20, 30,  100, 110, 120, 130,  200, 210, 220, 230};
    Texture texture;
    texture.setPicture(1, 3, picture, 0);
    EXPECT_EQ(texture.paddedWidth, 1);
    EXPECT_EQ(texture.paddedHeight, 4);
    ASSERT_EQ(texture.pixels.size(), 16u);
    EXPECT_EQ(texel(texture, 0, 0)[0], 0);
    EXPECT_EQ(texel(texture, 0, 3)[0], 200);
    EXPECT_EQ(texel(texture, 0, 3)[3], 230);
    // Row 1 lies two thirds of the way from source row 0 to row 1: 66.67
    // truncates to 66; row 2 lies a third beyond row 1: 133.33 to 133.
    EXPECT_EQ(texel(texture, 0, 1)[0], 66);
    EXPECT_EQ(texel(texture, 0, 2)[0], 133);
}

TEST(TexturePreparation, InvalidPicturesLeaveNone) {
    Texture texture;
    const uint8_t pixel[4] = {1, 2, 3, 4};
    texture.setPicture(0, 1, pixel, 0);
    texture.setPicture(1, -3, pixel, 0);
    texture.setPicture(1, 1, nullptr, 0);
    texture.setPicture(16385, 1, pixel, 0);  // refused before the source is read
    texture.setCompressed(1, 16385, pixel, 1);
    texture.setCompressed(4, 4, pixel, 4);  // no such kind
    texture.setCompressed(4, 4, pixel, 0);
    EXPECT_TRUE(texture.pixels.empty());
    EXPECT_FALSE(texture.hasPicture());
    EXPECT_EQ(texture.width, 0);
}

TEST_F(TextureUpload, AnUploadIsMadeOnceAndBoundAgain) {
    const uint8_t pixel[4] = {1, 2, 3, 4};
    auto texture = std::make_unique<Texture>();
    texture->setPicture(1, 1, pixel, 0);
    upload(std::move(texture));
    const uint32_t name = gl.nameOf(0);
    ASSERT_NE(name, 0u);
    glBindTexture(GL_TEXTURE_2D, 0);
    gl.bind(manager, 0);
    EXPECT_EQ(gl.nameOf(0), name);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<uint32_t>(bound), name);
}

TEST_F(TextureUpload, CompressedDxt1UsesTheBlockImageSize) {
    if (lookupGlFunction("glCompressedTexImage2DARB") == nullptr) {
        GTEST_SKIP() << "no glCompressedTexImage2DARB in this GL";
    }
    const std::vector<uint8_t> blocks(16, 0x55);
    auto texture = std::make_unique<Texture>();
    texture->setCompressed(5, 3, blocks.data(), 1);
    EXPECT_EQ(texture->pixels.size(), 16u) << "the blocks are kept until they are uploaded";
    upload(std::move(texture));
    while (glGetError() != GL_NO_ERROR) {
    }
    const GLint width = levelParameter(GL_TEXTURE_WIDTH);
    if (width == 0) {
        GTEST_SKIP() << "S3TC textures are not supported by this GL";
    }
    EXPECT_EQ(width, 5);
    EXPECT_EQ(levelParameter(GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGBA_S3TC_DXT1_EXT);
    EXPECT_EQ(levelParameter(GL_TEXTURE_COMPRESSED_IMAGE_SIZE), 16);
}

}  // namespace
}  // namespace tavo
