#pragma once

#include "resources/decoded_image_loader.h"

namespace tavo {

// Decodes Windows bitmaps: uncompressed 24- and 32-bit pictures (32-bit ones
// also with bit-field masks) and 1-, 4- and 8-bit palette pictures, stored
// bottom-up or top-down. A 32-bit picture whose alpha bytes are all 0 has no
// alpha and comes out opaque.
class BmpLoader : public DecodedImageLoader {
public:
    int32_t acceptsExtension(const char* extension) override;  // bmp, dib
    int32_t recognizes(const uint8_t* head, int32_t count) override;

protected:
    int32_t decodeBytes(const uint8_t* data, size_t size) override;
};

}  // namespace tavo
