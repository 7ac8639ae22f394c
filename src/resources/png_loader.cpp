#include "resources/png_loader.h"

#include <png.h>

#include <csetjmp>
#include <limits>
#include <new>
#include <string>

#include "resources/ascii_case.h"
#include "resources/byte_stream.h"
#include "resources/file_stream.h"
#include "resources/stdio_file.h"

namespace tavo {

namespace {

constexpr int32_t kSignatureSize = 8;

// libpng's message for the error that ended a decode; libpng's own handler
// would print it to stderr.
struct PngErrorText {
    std::string message;
};

// Keeps libpng's message and leaves through the jump buffer set in readImage.
[[noreturn]] void keepErrorAndLeave(png_structp png, png_const_charp message) {
    auto* text = static_cast<PngErrorText*>(png_get_error_ptr(png));
    if (text != nullptr && message != nullptr) {
        text->message = message;
    }
    png_longjmp(png, 1);
}

// Warnings (for example about an unusual colour profile) do not stop a decode
// and are not printed.
void ignoreWarning(png_structp, png_const_charp) {}

// libpng's read and info structures, destroyed together on every path.
class PngReadStructs {
public:
    explicit PngReadStructs(PngErrorText& errorText) {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errorText, keepErrorAndLeave,
                                     ignoreWarning);
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
    std::string problem;  // why readImage refused the picture, when libpng did not fail
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
    if (interlaceType != PNG_INTERLACE_NONE) {
        image.problem = "interlaced PNG pictures are not read";
        return false;
    }
    if (width == 0 || height == 0 || width > static_cast<png_uint_32>(PngLoader::kMaxSide) ||
        height > static_cast<png_uint_32>(PngLoader::kMaxSide)) {
        image.problem = "the picture is " + std::to_string(width) + " x " +
                        std::to_string(height) + " pixels; each side must be 1 to " +
                        std::to_string(PngLoader::kMaxSide);
        return false;
    }
    requestRgba8(png, info, bitDepth, colorType);
    png_read_update_info(png, info);

    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (png_get_rowbytes(png, info) != rowBytes) {
        image.problem = "the colour type did not convert to RGBA";
        return false;
    }
    image.pixels.reset(new (std::nothrow) uint8_t[rowBytes * height]);
    if (!image.pixels) {
        image.problem = "out of memory for " + std::to_string(width) + " x " +
                        std::to_string(height) + " pixels";
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

int32_t PngLoader::recognizes(const uint8_t* head, int32_t count) {
    return head != nullptr && count >= kSignatureSize && png_sig_cmp(head, 0, kSignatureSize) == 0
               ? 1
               : 0;
}

int32_t PngLoader::decode(ByteStream* stream) {
    release();
    clearFailure();
    if (stream == nullptr) {
        return fail("no data");
    }
    uint8_t signature[kSignatureSize] = {};
    const int32_t got = stream->read(signature, kSignatureSize);
    if (got <= 0) {
        return fail("the file is empty");
    }
    if (got != kSignatureSize || png_sig_cmp(signature, 0, kSignatureSize) != 0) {
        return fail("not a PNG file");
    }
    PngErrorText errorText;
    PngReadStructs structs(errorText);
    if (!structs.valid()) {
        return fail("libpng: cannot create its read structures");
    }
    png_set_read_fn(structs.png, stream, readFromStream);
    DecodedImage image;
    if (!readImage(structs.png, structs.info, image)) {
        // the partly filled picture goes with `image`
        return fail(errorText.message.empty() ? "PNG: " + image.problem
                                              : "libpng: " + errorText.message);
    }
    width_ = static_cast<int32_t>(image.width);
    height_ = static_cast<int32_t>(image.height);
    pixels_ = std::move(image.pixels);
    return 1;
}

int32_t PngLoader::load(const char* path) {
    FileStream stream;
    std::string reason;
    if (stream.open(path, &reason) == 0) {
        release();
        return fail(unreadableFileMessage(path, reason));
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
