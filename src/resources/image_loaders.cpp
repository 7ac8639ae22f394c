#include "resources/image_loaders.h"

#include "resources/bmp_loader.h"
#include "resources/jpeg_loader.h"
#include "resources/png_resource_loader.h"
#include "resources/tga_loader.h"

namespace tavo {

void makeImageLoaders(ImageLoader* (&loaders)[kImageLoaderCount]) {
    loaders[0] = new PngResourceLoader();
    loaders[1] = new JpegLoader();
    loaders[2] = new BmpLoader();
    loaders[3] = new TgaLoader();
}

}  // namespace tavo
