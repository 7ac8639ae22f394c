// Arbitrary bytes as a picture for one of the image loaders (chosen at build
// time by TAVO_FUZZ_LOADER: JpegLoader, BmpLoader or TgaLoader). A decode
// either fails with 0 and a reason, or holds a picture of exactly width x
// height RGBA pixels within the side limit; decoding a second time into the
// same loader must not leak the first picture.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "resources/bmp_loader.h"
#include "resources/jpeg_loader.h"
#include "resources/memory_stream.h"
#include "resources/tga_loader.h"

namespace {

void require(bool condition) {
    if (!condition) {
        abort();
    }
}

// Reads every byte of the picture, so that a block shorter than its
// description shows up as an out-of-bounds read.
uint32_t checkPicture(tavo::ImageLoader& loader) {
    tavo::ImageDescription description;
    loader.describe(description);
    require(description.width > 0 && description.height > 0);
    require(description.width <= tavo::kMaxImageSide && description.height <= tavo::kMaxImageSide);
    require(description.bitsPerPixel == 32 && description.layout == 0);
    require(description.pixels != nullptr);
    const size_t bytes = static_cast<size_t>(description.width) * description.height * 4;
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes; ++i) {
        sum += description.pixels[i];
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) {
        return 0;
    }
    tavo::TAVO_FUZZ_LOADER loader;
    loader.recognizes(data, static_cast<int32_t>(size < 32 ? size : 32));
    for (int pass = 0; pass < 2; ++pass) {
        tavo::MemoryStream stream;
        stream.attach(data, static_cast<int32_t>(size));
        if (loader.decode(&stream) != 1) {
            require(!loader.failureReason().empty());
            return 0;
        }
        volatile uint32_t sum = checkPicture(loader);
        (void)sum;
    }
    loader.release();
    return 0;
}
