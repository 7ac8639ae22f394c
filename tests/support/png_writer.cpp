#include "support/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <stdexcept>

namespace tavo::test {

namespace {

void appendToVector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

void putBigEndian(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

// The libpng calls proper, kept apart so that its error jump skips no destructor.
bool writeImage(png_structp png, png_infop info, const PngImage& image,
                std::vector<png_bytep>& rowPointers) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colorType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty()) {
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(image.palette.data()),
                     static_cast<int>(image.palette.size() / 3));
    }
    if (!image.transparency.empty()) {
        png_set_tRNS(png, info, image.transparency.data(),
                     static_cast<int>(image.transparency.size()), nullptr);
    }
    if (!image.transparentColor.empty()) {
        png_color_16 color = {};
        color.gray = image.transparentColor[0];
        if (image.transparentColor.size() >= 3) {
            color.red = image.transparentColor[0];
            color.green = image.transparentColor[1];
            color.blue = image.transparentColor[2];
        }
        png_set_tRNS(png, info, nullptr, 0, &color);
    }
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

std::vector<uint8_t> encodePng(const PngImage& image) {
    if (image.rows.size() != image.height) {
        throw std::invalid_argument("row count differs from the height");
    }
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("libpng write structures");
    }
    png_set_write_fn(png, &out, appendToVector, flushNothing);
    std::vector<png_bytep> rowPointers;
    for (const std::vector<uint8_t>& row : image.rows) {
        rowPointers.push_back(const_cast<png_bytep>(row.data()));
    }
    const bool written = writeImage(png, info, image, rowPointers);
    png_destroy_write_struct(&png, &info);
    if (!written) {
        throw std::runtime_error("libpng could not encode the test image");
    }
    return out;
}

void forgeHeaderSize(std::vector<uint8_t>& png, uint32_t width, uint32_t height) {
    // Signature (8), length (4), "IHDR" (4), then width and height; the CRC
    // over type and data follows the 13 data bytes.
    if (png.size() < 33) {
        throw std::invalid_argument("too short for a PNG header");
    }
    putBigEndian(&png[16], width);
    putBigEndian(&png[20], height);
    const uLong crc = crc32(0L, &png[12], 17);
    putBigEndian(&png[29], static_cast<uint32_t>(crc));
}

}  // namespace tavo::test
