#pragma once

#include "resources/decoded_image_loader.h"

namespace tavo {

// Decodes Truevision TGA pictures: true-colour 24- and 32-bit and 8-bit
// grey, uncompressed or run-length encoded, with the origin at the bottom or
// the top. A 32-bit picture whose alpha bytes are all 0 comes out opaque.
class TgaLoader : public DecodedImageLoader {
public:
    int32_t acceptsExtension(const char* extension) override;  // tga
    // TGA has no signature: a header whose fields all hold values TGA
    // allows is taken as one.
    int32_t recognizes(const uint8_t* head, int32_t count) override;

protected:
    int32_t decodeBytes(const uint8_t* data, size_t size) override;
};

}  // namespace tavo
