#include "render/program_objects.h"

namespace tavo {

ProgramObjects::ProgramObjects() = default;

// The members go in reverse order: the texture manager (textures and
// loaders) first, then the mesh renderer.
ProgramObjects::~ProgramObjects() = default;

int32_t ProgramObjects::registerImageLoaders(std::vector<std::unique_ptr<ImageLoader>> loaders) {
    textureManager.setLoaders(std::move(loaders));
    meshRenderer.attachTextureManager(&textureManager);
    return 1;
}

}  // namespace tavo
