#include "render/program_objects.h"

namespace tavo {

ProgramObjects::ProgramObjects() = default;

// The members go in reverse order: the texture manager (textures and
// loaders) first, then the mesh renderer.
ProgramObjects::~ProgramObjects() = default;

int32_t ProgramObjects::registerImageLoaders(ImageLoader* const* loaders, int32_t count) {
    textureManager.setLoaders(loaders, count);
    meshRenderer.attachTextureManager(&textureManager);
    return 1;
}

}  // namespace tavo
