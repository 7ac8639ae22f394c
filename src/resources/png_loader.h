#pragma once

#include <cstdint>
#include <memory>

#include "resources/image_loader.h"

namespace tavo {

// Decodes non-interlaced PNG images of any colour type and bit depth into
// 8-bit RGBA rows, top row first. Holds one picture at a time.
class PngLoader : public ImageLoader {
public:
    // Larger sides are refused: they could not become textures anyway, and
    // they keep a forged header from asking for gigabytes.
    static constexpr int32_t kMaxSide = kMaxImageSide;

    PngLoader() = default;
    ~PngLoader() override;
    PngLoader(const PngLoader&) = delete;
    PngLoader& operator=(const PngLoader&) = delete;

    int32_t acceptsExtension(const char* extension) override;  // "png" in any letter case
    int32_t decode(ByteStream* stream) override;
    int32_t load(const char* path) override;  // reads the file through a FileStream
    ImageDescription& describe(ImageDescription& description) override;
    void release() override;
    int32_t recognizes(const uint8_t* head, int32_t count) override;  // the PNG signature

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    const uint8_t* pixels() const { return pixels_.get(); }

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::unique_ptr<uint8_t[]> pixels_;
};

}  // namespace tavo
