#include "resources/png_loader.h"

#include <png.h>

#include <csetjmp>
#include <limits>
#include <new>

#include "resources/ascii_case.h"
#include "resources/byte_stream.h"
#include "resources/file_stream.h"

namespace tavo {

namespace {

constexpr int32_t kSignatureSize = 8;

// libpng's read and info structures, destroyed together on every path.
class PngReadStructs {
public:
    PngReadStructs() {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        if (png != nullptr) {
            info = png_create_info_struct(png);
        }
    }
    ~PngReadStructs() {
        if (png != nullptr) {
            png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
        }
    }
    PngReadStructs(const PngReadStructs&) = delete;
    PngReadStructs& operator=(const PngReadStructs&) = delete;

    bool valid() const { return png != nullptr && info != nullptr; }

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// The picture being decoded; it lives in the caller of readImage so that a
// libpng error, which jumps back into readImage, leaves it intact and owned.
struct DecodedImage {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::unique_ptr<uint8_t[]> pixels;
};

// libpng's input function: a stream that ends early is an error, so that
// libpng never decodes bytes that were not read.
void readFromStream(png_structp png, png_bytep data, size_t length) {
    auto* stream = static_cast<ByteStream*>(png_get_io_ptr(png));
    if (length > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        png_error(png, "PNG read request too large");
    }
    const int32_t count = static_cast<int32_t>(length);
    if (stream->read(data, count) != count) {
        png_error(png, "PNG data ends early");
    }
}

// Every accepted image arrives as 8-bit red, green, blue, alpha.
void requestRgba8(png_structp png, png_infop info, int bitDepth, int colorType) {
    if (colorType == PNG_COLOR_TYPE_PALETTE || (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) ||
        png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_set_expand(png);
    }
    if (bitDepth == 16) {
        png_set_strip_16(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    if (colorType != PNG_COLOR_TYPE_GRAY_ALPHA && colorType != PNG_COLOR_TYPE_RGB_ALPHA) {
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
}

// Runs libpng from the header to the end of the image. libpng reports errors
// by a longjmp back to the setjmp below, which skips destructors: so this
// frame holds nothing that needs one, and nothing it changes after setjmp is
// read after the jump (the structures and the picture belong to the caller).
bool readImage(png_structp png, png_infop info, DecodedImage& image) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_user_limits(png, PngLoader::kMaxSide, PngLoader::kMaxSide);
    png_set_sig_bytes(png, kSignatureSize);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlaceType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlaceType, nullptr,
                 nullptr);
    if (interlaceType != PNG_INTERLACE_NONE || width == 0 || height == 0 ||
        width > static_cast<png_uint_32>(PngLoader::kMaxSide) ||
        height > static_cast<png_uint_32>(PngLoader::kMaxSide)) {
        return false;
    }
    requestRgba8(png, info, bitDepth, colorType);
    png_read_update_info(png, info);

    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (png_get_rowbytes(png, info) != rowBytes) {
        return false;  // the transformations did not give 4 bytes a pixel
    }
    image.pixels.reset(new (std::nothrow) uint8_t[rowBytes * height]);
    if (!image.pixels) {
        return false;
    }
    image.width = width;
    image.height = height;
    uint8_t* row = image.pixels.get();
    for (png_uint_32 y = 0; y < height; ++y, row += rowBytes) {
        png_read_row(png, row, nullptr);
    }
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

PngLoader::~PngLoader() { release(); }

int32_t PngLoader::acceptsExtension(const char* extension) {
    return extension != nullptr && compareIgnoringAsciiCase("png", extension) == 0 ? 1 : 0;
}

int32_t PngLoader::decode(ByteStream* stream) {
    release();
    if (stream == nullptr) {
        return 0;
    }
    uint8_t signature[kSignatureSize] = {};
    if (stream->read(signature, kSignatureSize) != kSignatureSize ||
        png_sig_cmp(signature, 0, kSignatureSize) != 0) {
        return 0;
    }
    PngReadStructs structs;
    if (!structs.valid()) {
        return 0;
    }
    png_set_read_fn(structs.png, stream, readFromStream);
    DecodedImage image;
    if (!readImage(structs.png, structs.info, image)) {
        return 0;  // the partly filled picture goes with `image`
    }
    width_ = static_cast<int32_t>(image.width);
    height_ = static_cast<int32_t>(image.height);
    pixels_ = std::move(image.pixels);
    return 1;
}

int32_t PngLoader::load(const char* path) {
    FileStream stream;
    if (stream.open(path) == 0) {
        return 0;
    }
    return decode(&stream);
}

ImageDescription& PngLoader::describe(ImageDescription& description) {
    description.width = width_;
    description.height = height_;
    description.bitsPerPixel = 32;
    description.layout = 0;
    description.pixels = pixels_.get();
    return description;
}

void PngLoader::release() { pixels_.reset(); }

}  // namespace tavo
