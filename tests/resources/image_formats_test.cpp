#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/bmp_loader.h"
#include "resources/jpeg_loader.h"
#include "resources/memory_stream.h"
#include "resources/png_loader.h"
#include "resources/tga_loader.h"
#include "support/jpeg_writer.h"
#include "support/png_writer.h"

namespace tavo {
namespace {

using Bytes = std::vector<uint8_t>;

void putLe(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// A BMP with a 40-byte header; rows are given as stored (with padding).
Bytes bmp(int32_t width, int32_t height, uint16_t bits, const Bytes& palette, const Bytes& rows) {
    Bytes out = {'B', 'M'};
    const uint32_t offset = 54 + static_cast<uint32_t>(palette.size());
    putLe(out, offset + static_cast<uint32_t>(rows.size()), 4);
    putLe(out, 0, 4);
    putLe(out, offset, 4);
    putLe(out, 40, 4);
    putLe(out, static_cast<uint32_t>(width), 4);
    putLe(out, static_cast<uint32_t>(height), 4);
    putLe(out, 1, 2);
    putLe(out, bits, 2);
    putLe(out, 0, 4);
    putLe(out, static_cast<uint32_t>(rows.size()), 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    putLe(out, static_cast<uint32_t>(palette.size() / 4), 4);
    putLe(out, 0, 4);
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

Bytes tga(uint8_t type, uint16_t width, uint16_t height, uint8_t bits, uint8_t descriptor,
          const Bytes& data) {
    Bytes out = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    putLe(out, width, 2);
    putLe(out, height, 2);
    out.push_back(bits);
    out.push_back(descriptor);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

struct Result {
    int32_t ok = 0;
    std::string reason;
    int32_t width = 0;
    int32_t height = 0;
    Bytes rgba;
};

Result decodeWith(ImageLoader& loader, const Bytes& bytes) {
    MemoryStream stream;
    stream.attach(bytes.data(), static_cast<int32_t>(bytes.size()));
    Result result;
    result.ok = loader.decode(&stream);
    result.reason = loader.failureReason();
    ImageDescription image;
    loader.describe(image);
    if (result.ok == 1) {
        result.width = image.width;
        result.height = image.height;
        result.rgba.assign(image.pixels, image.pixels + image.width * image.height * 4);
    }
    return result;
}

template <typename Loader>
Result decode(const Bytes& bytes) {
    Loader loader;
    EXPECT_EQ(loader.recognizes(bytes.data(), static_cast<int32_t>(bytes.size())), 1);
    return decodeWith(loader, bytes);
}

TEST(BmpLoader, ReadsEachDepthInBothRowOrders) {
    // 24-bit, 2 x 2, bottom-up: the stored first row is the bottom one.
    const Result rgb = decode<BmpLoader>(
        bmp(2, 2, 24, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}));
    ASSERT_EQ(rgb.ok, 1) << rgb.reason;
    EXPECT_EQ(rgb.rgba, (Bytes{0, 0, 255, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255}));

    // 32-bit, top-down (negative height), with alpha.
    const Result rgba = decode<BmpLoader>(bmp(1, -2, 32, {}, {1, 2, 3, 4, 5, 6, 7, 200}));
    ASSERT_EQ(rgba.ok, 1) << rgba.reason;
    EXPECT_EQ(rgba.rgba, (Bytes{3, 2, 1, 4, 7, 6, 5, 200}));

    // 32-bit with every alpha byte 0: no alpha, opaque.
    const Result noAlpha = decode<BmpLoader>(bmp(1, 1, 32, {}, {1, 2, 3, 0}));
    EXPECT_EQ(noAlpha.rgba, (Bytes{3, 2, 1, 255}));

    // 8-bit palette, 3 pixels a row padded to 4 bytes.
    const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0};
    const Result indexed = decode<BmpLoader>(bmp(3, 1, 8, palette, {1, 0, 1, 0}));
    ASSERT_EQ(indexed.ok, 1) << indexed.reason;
    EXPECT_EQ(indexed.rgba, (Bytes{0, 255, 0, 255, 255, 0, 0, 255, 0, 255, 0, 255}));
}

TEST(BmpLoader, RefusesDamagedFilesWithAReason) {
    const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0};
    EXPECT_NE(decode<BmpLoader>(bmp(3, 1, 8, palette, {1, 2, 1, 0})).reason.find("colour 2 of a palette of 2"),
              std::string::npos);
    Bytes cut = bmp(4, 4, 24, {}, Bytes(48, 7));
    cut.resize(cut.size() - 1);
    EXPECT_NE(decode<BmpLoader>(cut).reason.find("BMP: the pixel data is cut short"), std::string::npos);
    EXPECT_NE(decode<BmpLoader>(bmp(16385, 1, 8, palette, Bytes(16388, 0))).reason.find("1 to 16384"),
              std::string::npos);
    Bytes rle = bmp(1, 1, 8, palette, {0, 0, 0, 0});
    rle[30] = 1;
    EXPECT_NE(decode<BmpLoader>(rle).reason.find("compression 1"), std::string::npos);
    for (size_t size = 0; size < 54; ++size) {
        BmpLoader loader;
        EXPECT_EQ(decodeWith(loader, Bytes(cut.begin(), cut.begin() + size)).ok, 0);
    }
}

TEST(TgaLoader, ReadsRawAndRunLengthInBothOrigins) {
    // Uncompressed 24-bit, origin bottom-left: stored bottom row first.
    const Result raw = decode<TgaLoader>(tga(2, 1, 2, 24, 0, {255, 0, 0, 0, 0, 255}));
    ASSERT_EQ(raw.ok, 1) << raw.reason;
    EXPECT_EQ(raw.rgba, (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));

    // Run-length 32-bit, origin top-left: a run of 3 crosses the row end,
    // then one raw pixel.
    const Result runs = decode<TgaLoader>(
        tga(10, 2, 2, 32, 0x28, {0x82, 10, 20, 30, 40, 0x00, 1, 2, 3, 4}));
    ASSERT_EQ(runs.ok, 1) << runs.reason;
    EXPECT_EQ(runs.rgba, (Bytes{30, 20, 10, 40, 30, 20, 10, 40, 30, 20, 10, 40, 3, 2, 1, 4}));

    const Result truncated = decode<TgaLoader>(tga(10, 2, 2, 32, 8, {0x82, 10, 20, 30, 40}));
    EXPECT_NE(truncated.reason.find("ends after 3 of 4 pixels"), std::string::npos);
    const Result overrun = decode<TgaLoader>(tga(10, 2, 1, 24, 0, {0x82, 1, 2, 3}));
    EXPECT_NE(overrun.reason.find("goes past the end"), std::string::npos);
    const Result cut = decode<TgaLoader>(tga(2, 2, 2, 24, 0, Bytes(11, 0)));
    EXPECT_NE(cut.reason.find("cut short"), std::string::npos);
    const Result mapped = decode<TgaLoader>(tga(1, 1, 1, 8, 0, {0}));
    EXPECT_NE(mapped.reason.find("colour-mapped"), std::string::npos);
}

TEST(JpegLoader, DecodesAndKeepsLibjpegsMessages) {
    Bytes rgb;
    for (int i = 0; i < 24 * 16; ++i) {
        const bool left = (i % 24) < 12;
        rgb.insert(rgb.end(), {static_cast<uint8_t>(left ? 230 : 20), 40,
                               static_cast<uint8_t>(left ? 20 : 220)});
    }
    const Bytes jpeg = test::encodeJpeg(24, 16, rgb);
    const Result good = decode<JpegLoader>(jpeg);
    ASSERT_EQ(good.ok, 1) << good.reason;
    EXPECT_EQ(good.width, 24);
    EXPECT_EQ(good.height, 16);
    EXPECT_NEAR(good.rgba[0], 230, 8);
    EXPECT_NEAR(good.rgba[(24 * 8 + 20) * 4 + 2], 220, 8);
    EXPECT_EQ(good.rgba[3], 255);

    Bytes truncated(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() / 2));
    const Result cut = decode<JpegLoader>(truncated);
    EXPECT_EQ(cut.ok, 0);
    EXPECT_EQ(cut.reason.rfind("libjpeg: ", 0), 0u) << cut.reason;
    JpegLoader loader;
    EXPECT_EQ(decodeWith(loader, {0xFF, 0xD8, 0xFF}).ok, 0);
    EXPECT_EQ(decodeWith(loader, {'B', 'M', 0, 0}).reason, "libjpeg: Not a JPEG file: starts with 0x42 0x4d");
}

TEST(PngLoader, KeepsLibpngsMessage) {
    test::PngImage image;
    image.colorType = 2;
    image.rows = {{1, 2, 3}};
    Bytes png = test::encodePng(image);
    png[29] ^= 0xFF;  // a byte of the header chunk's CRC
    PngLoader loader;
    EXPECT_EQ(decodeWith(loader, png).reason, "libpng: IHDR: CRC error");
    EXPECT_EQ(decodeWith(loader, {1, 2, 3}).reason, "not a PNG file");
}

}  // namespace
}  // namespace tavo
