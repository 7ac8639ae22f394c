#pragma once

#include <cstdint>
#include <vector>

namespace tavo {

// A picture made ready for the GL, without touching it: RGBA pixels padded
// to powers of two (the picture stretched over them), or S3TC blocks as the
// file held them, with the sampling the material asked for. The drawing
// side uploads it (drawing/gl_textures.h), so reading a model needs no GL
// context.
class Texture {
public:
    // How the texels are stored for the GL.
    enum class Storage : uint8_t { None, Rgba, Compressed };

    Texture() = default;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Takes w x h RGBA pixels (rows top to bottom). format picks the GL
    // internal format: 0 RGBA8, 1-3 S3TC DXT1, DXT3, DXT5. A picture with a
    // side outside 1 .. 16384, or too large for this machine, leaves the
    // texture without one.
    void setPicture(int32_t w, int32_t h, const uint8_t* source, int32_t format);
    // Takes w x h pixels of S3TC blocks: kind 1 DXT1, 2 DXT3, 3 DXT5.
    void setCompressed(int32_t w, int32_t h, const uint8_t* data, int32_t kind);
    bool hasPicture() const { return storage != Storage::None; }

    Storage storage = Storage::None;
    // RGBA at the padded size, or the compressed blocks.
    std::vector<uint8_t> pixels;
    int32_t format = 0;          // internal format code (see setPicture)
    int32_t compressedKind = 0;  // 1-3 for Storage::Compressed
    int32_t wrapMode = 0;        // 0 repeat, 1 clamp; other values leave the GL default
    int32_t filterMode = 1;      // 0 nearest, 1 linear; other values leave the GL default
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

// The largest side a texture may have (beyond what OpenGL implementations
// accept); keeps every size computation in range.
constexpr int32_t kMaxTextureSide = 1 << 14;

// The smallest power of two not below n (1 for n <= 1; 0 above 2^30).
int32_t nextPowerOfTwo(int32_t n);

// Size in bytes of an S3TC image of w x h pixels with the given block size
// (8 for DXT1, 16 for DXT3 and DXT5); -1 when it does not fit 32 bits.
int32_t compressedImageSize(int32_t w, int32_t h, int32_t blockSize);

}  // namespace tavo
