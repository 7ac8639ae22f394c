#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace tavo {

class ByteStream;

// The largest side of a picture any loader accepts: larger ones could not
// become textures anyway, and the limit keeps a forged header from asking
// for gigabytes.
constexpr int32_t kMaxImageSide = 16384;

// A decoded picture as a loader hands it to the texture manager.
struct ImageDescription {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t layout = 0;  // 0: RGBA rows top to bottom; other codes in TextureManager
    const uint8_t* pixels = nullptr;
};

// Image loader interface, asked by the texture manager in registration order.
// A loader that fails says why in failureReason() (for example "libpng:
// IHDR: CRC error"); the reason stays until the next load or decode.
class ImageLoader {
public:
    virtual ~ImageLoader() = default;
    virtual int32_t acceptsExtension(const char* extension) = 0;
    virtual int32_t decode(ByteStream* stream) = 0;
    virtual int32_t load(const char* path) = 0;
    virtual ImageDescription& describe(ImageDescription& description) = 0;
    virtual void release() = 0;
    // 1 when the first bytes of a file (count of them, at most
    // kSignatureBytes) begin a picture in this loader's format; the texture
    // manager chooses loaders by content first and by extension only when no
    // loader knows the content.
    virtual int32_t recognizes(const uint8_t* head, int32_t count) {
        (void)head;
        (void)count;
        return 0;
    }

    static constexpr int32_t kSignatureBytes = 32;

    const std::string& failureReason() const { return failureReason_; }

protected:
    // Records why the load failed and returns 0, the failed result.
    int32_t fail(std::string reason) {
        failureReason_ = std::move(reason);
        return 0;
    }
    void clearFailure() { failureReason_.clear(); }

private:
    std::string failureReason_;
};

}  // namespace tavo
