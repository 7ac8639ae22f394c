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
#include "picture_check.h"
#include "resources/memory_stream.h"
#include "resources/tga_loader.h"

using tavo::fuzz::checkPicture;
using tavo::fuzz::require;

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
