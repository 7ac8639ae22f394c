#include "resources/image_loaders.h"

#include "resources/bmp_loader.h"
#include "resources/jpeg_loader.h"
#include "resources/png_resource_loader.h"
#include "resources/tga_loader.h"

namespace tavo {

std::vector<std::unique_ptr<ImageLoader>> makeImageLoaders() {
    std::vector<std::unique_ptr<ImageLoader>> loaders;
    loaders.push_back(std::make_unique<PngResourceLoader>());
    loaders.push_back(std::make_unique<JpegLoader>());
    loaders.push_back(std::make_unique<BmpLoader>());
    loaders.push_back(std::make_unique<TgaLoader>());
    return loaders;
}

}  // namespace tavo
