#include <gtest/gtest.h>

#include <png.h>

#include <string>
#include <vector>

#include "resources/memory_stream.h"
#include "resources/png_loader.h"
#include "resources/png_resource_loader.h"
#include "resources/texture_manager.h"
#include "support/offscreen_gl_context.h"
#include "support/png_writer.h"
#include "support/temp_file.h"

namespace tavo {
namespace {

using Bytes = std::vector<uint8_t>;

test::PngImage rgbaImage() {
    test::PngImage image;
    image.width = 3;
    image.height = 2;
    image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    image.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                  {13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}};
    return image;
}

test::PngImage paletteImage() {
    test::PngImage image;
    image.width = 3;
    image.height = 1;
    image.colorType = PNG_COLOR_TYPE_PALETTE;
    image.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    image.rows = {{2, 0, 1}};
    return image;
}

// Decodes bytes through a MemoryStream; the pixels when it succeeds, else empty.
struct Decoded {
    int32_t result = 0;
    ImageDescription description;
    Bytes pixels;
};

Decoded decodeBytes(PngLoader& loader, const Bytes& bytes) {
    MemoryStream stream;
    stream.attach(bytes.data(), static_cast<int32_t>(bytes.size()));
    Decoded decoded;
    decoded.result = loader.decode(&stream);
    loader.describe(decoded.description);
    if (decoded.result == 1 && decoded.description.pixels != nullptr) {
        const size_t size = static_cast<size_t>(decoded.description.width) *
                            static_cast<size_t>(decoded.description.height) * 4;
        decoded.pixels.assign(decoded.description.pixels, decoded.description.pixels + size);
    }
    return decoded;
}

Decoded decodeBytes(const Bytes& bytes) {
    PngLoader loader;
    return decodeBytes(loader, bytes);
}

TEST(PngLoader, RgbaRowsComeOutTopFirstAsTheyAre) {
    const Decoded decoded = decodeBytes(test::encodePng(rgbaImage()));
    ASSERT_EQ(decoded.result, 1);
    EXPECT_EQ(decoded.description.width, 3);
    EXPECT_EQ(decoded.description.height, 2);
    EXPECT_EQ(decoded.description.bitsPerPixel, 32);
    EXPECT_EQ(decoded.description.layout, 0);
    Bytes expected;
    for (int i = 1; i <= 24; ++i) {
        expected.push_back(static_cast<uint8_t>(i));
    }
    EXPECT_EQ(decoded.pixels, expected);
}

TEST(PngLoader, PaletteImagesTakeAlphaFromTheirTransparencyChunk) {
    test::PngImage image = paletteImage();
    EXPECT_EQ(decodeBytes(test::encodePng(image)).pixels,
              (Bytes{0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255}));

    image.transparency = {0, 128};  // the third entry has no alpha of its own
    EXPECT_EQ(decodeBytes(test::encodePng(image)).pixels,
              (Bytes{0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 128}));

    test::PngImage packed = paletteImage();
    packed.bitDepth = 2;
    packed.rows = {{0x90}};  // indices 2, 1, 0 packed into one byte
    EXPECT_EQ(decodeBytes(test::encodePng(packed)).pixels,
              (Bytes{0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255}));
}

TEST(PngLoader, GreyImagesBecomeOpaqueRgb) {
    test::PngImage deep;
    deep.width = 2;
    deep.colorType = PNG_COLOR_TYPE_GRAY;
    deep.bitDepth = 16;
    deep.rows = {{0x12, 0x34, 0xFE, 0xDC}};
    EXPECT_EQ(decodeBytes(test::encodePng(deep)).pixels,
              (Bytes{0x12, 0x12, 0x12, 255, 0xFE, 0xFE, 0xFE, 255}));

    test::PngImage bits;
    bits.width = 3;
    bits.colorType = PNG_COLOR_TYPE_GRAY;
    bits.bitDepth = 1;
    bits.rows = {{0xA0}};  // 1, 0, 1
    EXPECT_EQ(decodeBytes(test::encodePng(bits)).pixels,
              (Bytes{255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}));

    test::PngImage withAlpha;
    withAlpha.width = 1;
    withAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    withAlpha.rows = {{40, 70}};
    EXPECT_EQ(decodeBytes(test::encodePng(withAlpha)).pixels, (Bytes{40, 40, 40, 70}));

    test::PngImage keyed;
    keyed.width = 2;
    keyed.colorType = PNG_COLOR_TYPE_GRAY;
    keyed.transparentColor = {9};
    keyed.rows = {{9, 10}};
    EXPECT_EQ(decodeBytes(test::encodePng(keyed)).pixels, (Bytes{9, 9, 9, 0, 10, 10, 10, 255}));
}

TEST(PngLoader, RgbImagesGainAlpha) {
    test::PngImage rgb;
    rgb.width = 2;
    rgb.colorType = PNG_COLOR_TYPE_RGB;
    rgb.rows = {{1, 2, 3, 4, 5, 6}};
    EXPECT_EQ(decodeBytes(test::encodePng(rgb)).pixels, (Bytes{1, 2, 3, 255, 4, 5, 6, 255}));

    test::PngImage keyed16;
    keyed16.width = 2;
    keyed16.colorType = PNG_COLOR_TYPE_RGB;
    keyed16.bitDepth = 16;
    keyed16.transparentColor = {0x0102, 0x0304, 0x0506};
    keyed16.rows = {{1, 2, 3, 4, 5, 6, 0xA0, 0, 0xB0, 0, 0xC0, 0}};
    EXPECT_EQ(decodeBytes(test::encodePng(keyed16)).pixels,
              (Bytes{1, 3, 5, 0, 0xA0, 0xB0, 0xC0, 255}));
}

TEST(PngLoader, RefusesWhatItCannotDecode) {
    test::PngImage interlaced = rgbaImage();
    interlaced.interlaced = true;
    EXPECT_EQ(decodeBytes(test::encodePng(interlaced)).result, 0);

    Bytes wrongSignature = test::encodePng(rgbaImage());
    wrongSignature[0] = 0x88;
    EXPECT_EQ(decodeBytes(wrongSignature).result, 0);
    EXPECT_EQ(decodeBytes(Bytes{0x89, 'P', 'N', 'G'}).result, 0);
    EXPECT_EQ(decodeBytes(Bytes{}).result, 0);

    PngLoader loader;
    EXPECT_EQ(loader.decode(nullptr), 0);
}

TEST(PngLoader, TruncatedDataIsRefusedAtEveryLength) {
    const Bytes whole = test::encodePng(rgbaImage());
    for (size_t length = 8; length < whole.size(); ++length) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(length));
        const Decoded decoded = decodeBytes(cut);
        // Only the closing IEND chunk may be missing from an image that decodes.
        if (decoded.result == 1) {
            EXPECT_GE(length, whole.size() - 12) << "decoded from " << length << " bytes";
        }
    }
    EXPECT_EQ(decodeBytes(Bytes(whole.begin(), whole.begin() + 40)).result, 0);
}

TEST(PngLoader, HugeDeclaredSizesAreRefused) {
    Bytes wide = test::encodePng(rgbaImage());
    test::forgeHeaderSize(wide, 16385, 2);
    EXPECT_EQ(decodeBytes(wide).result, 0);
    Bytes tall = test::encodePng(rgbaImage());
    test::forgeHeaderSize(tall, 3, 0x7FFFFFFF);
    EXPECT_EQ(decodeBytes(tall).result, 0);
    Bytes lying = test::encodePng(rgbaImage());
    test::forgeHeaderSize(lying, 3, 4000);  // within limits, but the data ends early
    EXPECT_EQ(decodeBytes(lying).result, 0);
}

TEST(PngLoader, CorruptBytesNeverCrash) {
    const Bytes whole = test::encodePng(paletteImage());
    for (size_t at = 8; at < whole.size(); ++at) {
        Bytes damaged = whole;
        damaged[at] ^= 0x5A;
        decodeBytes(damaged);  // any result; under the sanitizers nothing may go wrong
    }
}

TEST(PngLoader, HoldsOnePictureUntilReleasedOrReplaced) {
    PngLoader loader;
    ASSERT_EQ(decodeBytes(loader, test::encodePng(rgbaImage())).result, 1);
    ASSERT_NE(loader.pixels(), nullptr);
    loader.release();
    EXPECT_EQ(loader.pixels(), nullptr);
    EXPECT_EQ(loader.width(), 3);  // the size is kept

    ASSERT_EQ(decodeBytes(loader, test::encodePng(rgbaImage())).result, 1);
    EXPECT_EQ(decodeBytes(loader, Bytes{1, 2, 3}).result, 0);
    EXPECT_EQ(loader.pixels(), nullptr);  // a failed decode holds nothing
}

TEST(PngLoader, AcceptsOnlyThePngExtension) {
    PngLoader loader;
    EXPECT_EQ(loader.acceptsExtension("png"), 1);
    EXPECT_EQ(loader.acceptsExtension("PnG"), 1);
    EXPECT_EQ(loader.acceptsExtension("jpg"), 0);
    EXPECT_EQ(loader.acceptsExtension("png "), 0);
    EXPECT_EQ(loader.acceptsExtension("pn"), 0);
    EXPECT_EQ(loader.acceptsExtension(""), 0);
    EXPECT_EQ(loader.acceptsExtension(nullptr), 0);
}

TEST(PngLoader, LoadsFilesFromDisk) {
    const test::TempFile file(test::encodePng(rgbaImage()), ".png");
    PngLoader loader;
    EXPECT_EQ(loader.load(file.c_str()), 1);
    EXPECT_EQ(loader.width(), 3);
    EXPECT_EQ(loader.load("/nonexistent/picture.png"), 0);
    EXPECT_EQ(loader.load(nullptr), 0);

    PngResourceLoader resourceLoader;
    EXPECT_EQ(resourceLoader.load(file.c_str()), 1);
    EXPECT_EQ(resourceLoader.height(), 2);
}

TEST(PngResourceLoader, ServesTheEmbeddedTextureByItsBareName) {
    PngResourceLoader loader;
    for (const char* name : {"tavo.png", "TAVO.PNG"}) {
        ASSERT_EQ(loader.load(name), 1) << name;
        ImageDescription description;
        loader.describe(description);
        EXPECT_EQ(description.width, 512);
        EXPECT_EQ(description.height, 512);
        EXPECT_NE(description.pixels, nullptr);
    }
    // With a directory in front the name is a file on disk.
    EXPECT_EQ(loader.load("/nonexistent/tavo.png"), 0);
    EXPECT_EQ(loader.load(nullptr), 0);
}

TEST(PngResourceLoader, EmbeddedTextureBecomesAFullSizeTexture) {
    TextureManager manager;
    std::vector<std::unique_ptr<ImageLoader>> loaders;
    loaders.push_back(std::make_unique<PngResourceLoader>());
    manager.setLoaders(std::move(loaders));
    const int32_t index = manager.createTexture("tavo.png", 0, 1, false);
    ASSERT_EQ(index, 0);
    const Texture* texture = manager.texture(index);
    EXPECT_EQ(texture->paddedWidth, 512);
    EXPECT_EQ(texture->paddedHeight, 512);
    EXPECT_EQ(texture->pixels.size(), 1048576u);
    manager.clear();
}

}  // namespace
}  // namespace tavo
