#pragma once

#include <cstdint>

namespace tavo {

class ByteStream;

// A decoded picture as a loader hands it to the texture manager.
struct ImageDescription {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t layout = 0;  // 0: RGBA rows top to bottom; other codes in TextureManager
    const uint8_t* pixels = nullptr;
};

// Image loader interface, asked by the texture manager in registration order.
class ImageLoader {
public:
    virtual ~ImageLoader() = default;
    virtual int32_t acceptsExtension(const char* extension) = 0;
    virtual int32_t decode(ByteStream* stream) = 0;
    virtual int32_t load(const char* path) = 0;
    virtual ImageDescription& describe(ImageDescription& description) = 0;
    virtual void release() = 0;
};

}  // namespace tavo
