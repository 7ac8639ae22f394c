#pragma once

#include "resources/decoded_image_loader.h"

namespace tavo {

// Decodes JPEG pictures (baseline and progressive, grey or colour) through
// libjpeg into opaque RGBA. libjpeg's own messages become the failure
// reason; its warnings about corrupt or missing data fail the decode too,
// so a damaged file never becomes a half-grey texture.
class JpegLoader : public DecodedImageLoader {
public:
    int32_t acceptsExtension(const char* extension) override;  // jpg, jpeg, jpe, jfif
    int32_t recognizes(const uint8_t* head, int32_t count) override;

protected:
    int32_t decodeBytes(const uint8_t* data, size_t size) override;
};

}  // namespace tavo
