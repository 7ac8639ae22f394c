#pragma once

#include "resources/png_loader.h"

namespace tavo {

// A PngLoader that serves the model's texture name "tavo.png" (any letter
// case, no directory) from the embedded "TAVO_TEX" resource and reads every
// other path whole from disk.
class PngResourceLoader : public PngLoader {
public:
    PngResourceLoader() = default;
    ~PngResourceLoader() override = default;

    int32_t load(const char* path) override;
};

}  // namespace tavo
