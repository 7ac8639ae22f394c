#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "resources/image_loader.h"

namespace tavo {

// The common half of the loaders that decode a whole file held in memory
// into 8-bit RGBA rows, top row first: holding the picture, describing and
// releasing it, and reading a file (or the rest of a stream) into memory.
// A derived loader implements decodeBytes.
class DecodedImageLoader : public ImageLoader {
public:
    DecodedImageLoader() = default;
    ~DecodedImageLoader() override;
    DecodedImageLoader(const DecodedImageLoader&) = delete;
    DecodedImageLoader& operator=(const DecodedImageLoader&) = delete;

    int32_t decode(ByteStream* stream) override;
    int32_t load(const char* path) override;
    ImageDescription& describe(ImageDescription& description) override;
    void release() override;

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    const uint8_t* pixels() const { return pixels_.get(); }

protected:
    // Decodes size bytes into the picture (via allocatePicture) or returns
    // fail(reason).
    virtual int32_t decodeBytes(const uint8_t* data, size_t size) = 0;
    // Makes room for a width x height RGBA picture; null (with the reason
    // recorded) when a side is not 1 .. kMaxImageSide or memory runs out.
    uint8_t* allocatePicture(int64_t width, int64_t height, const char* format);

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::unique_ptr<uint8_t[]> pixels_;
};

// The stream's bytes from its position to its end; false when it holds none.
bool readRestOfStream(ByteStream& stream, std::vector<uint8_t>& bytes);

}  // namespace tavo
