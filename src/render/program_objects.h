#pragma once

#include <cstdint>

#include "drawing/mesh_renderer.h"
#include <memory>
#include <vector>

#include "resources/image_loaders.h"
#include "resources/texture_manager.h"

namespace tavo {


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

    // Gives the texture manager the image loaders (the program's own unless
    // others are given) and attaches it to the mesh renderer.
    int32_t registerImageLoaders(std::vector<std::unique_ptr<ImageLoader>> loaders = makeImageLoaders());
};

}  // namespace tavo
