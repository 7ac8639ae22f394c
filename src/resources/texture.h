#pragma once

#include <cstdint>
#include <vector>

namespace tavo {

// One OpenGL texture with a copy of its RGBA pixels at the padded size.
class Texture {
public:
    Texture() = default;
    virtual ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    void bind();
    void upload(int32_t w, int32_t h, const uint8_t* source, int32_t format);
    void uploadCompressed(int32_t w, int32_t h, const uint8_t* data, int32_t kind);

    std::vector<uint8_t> pixels;
    uint32_t glName = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t paddedWidth = 0;
    int32_t paddedHeight = 0;
    // The size of the picture as the file holds it, before any resampling.
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    // Some texel has alpha below 128: the renderer does not draw those.
    bool cutOut = false;

private:
    void resampleBilinear();
};

// The smallest power of two not below n (1 for n <= 1; 0 above 2^30).
int32_t nextPowerOfTwo(int32_t n);

// Size in bytes of an S3TC image of w x h pixels with the given block size
// (8 for DXT1, 16 for DXT3 and DXT5); -1 when it does not fit 32 bits.
int32_t compressedImageSize(int32_t w, int32_t h, int32_t blockSize);

}  // namespace tavo
