#pragma once

#include <cstdint>

#include "drawing/mesh_renderer.h"
#include "resources/texture_manager.h"

namespace tavo {

class ImageLoader;

// The program-lifetime objects: the mesh renderer is made first and the
// texture manager second, so the manager (its textures and loaders) is
// destroyed before the renderer. The shells hold one instance for the run;
// tests may make and destroy as many as they like.
class ProgramObjects {
public:
    ProgramObjects();
    ~ProgramObjects();
    ProgramObjects(const ProgramObjects&) = delete;
    ProgramObjects& operator=(const ProgramObjects&) = delete;

    MeshRenderer meshRenderer;
    TextureManager textureManager;

    // Hands the loaders to the texture manager (which owns them from then on)
    // and attaches the manager to the mesh renderer.
    int32_t registerImageLoaders(ImageLoader* const* loaders, int32_t count);
};

}  // namespace tavo
