// Arbitrary bytes as a PNG file. A decode either fails with 0 or holds a
// picture of exactly width x height RGBA pixels; decoding a second time into
// the same loader must not leak the first picture.
//
// libpng refuses a chunk whose CRC does not match, so most plain mutations
// would die at the first check. The mutator therefore writes correct CRCs
// after mutating (except now and then), which lets changed headers, colour
// types and bit depths reach the decoder's transformations and row reads.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <zlib.h>

#include "picture_check.h"
#include "resources/memory_stream.h"
#include "resources/png_loader.h"

namespace {

using tavo::fuzz::checkPicture;
using tavo::fuzz::require;

uint32_t readBigEndian(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void writeBigEndian(uint8_t* p, uint32_t value) {
    p[0] = uint8_t(value >> 24);
    p[1] = uint8_t(value >> 16);
    p[2] = uint8_t(value >> 8);
    p[3] = uint8_t(value);
}

// Rewrites the CRC of every whole chunk after the 8-byte signature.
void fixChunkCrcs(uint8_t* data, size_t size) {
    size_t pos = 8;
    while (pos + 12 <= size) {
        const uint32_t length = readBigEndian(data + pos);
        if (length > size - pos - 12) {
            return;
        }
        const uint8_t* typeAndData = data + pos + 4;
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), typeAndData, length + 4);
        writeBigEndian(data + pos + 8 + length, static_cast<uint32_t>(crc));
        pos += 12 + length;
    }
}

}  // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (seed % 8 != 0) {
        fixChunkCrcs(data, size);
    }
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) {
        return 0;
    }
    tavo::PngLoader loader;
    for (int pass = 0; pass < 2; ++pass) {
        tavo::MemoryStream stream;
        stream.attach(data, static_cast<int32_t>(size));
        if (loader.decode(&stream) != 1) {
            return 0;
        }
        volatile uint32_t sum = checkPicture(loader);
        (void)sum;
    }
    loader.release();
    return 0;
}
