#pragma once

#include <cstdint>

namespace tavo {

class Model;
class TextureManager;

// What the program draws a model with. A texture manager is attached when
// the image loaders are registered at start-up, and again whenever a
// character with textures of its own comes or goes; initialize() runs then,
// with the GL context current.
class ModelRenderer {
public:
    ModelRenderer() = default;
    virtual ~ModelRenderer() = default;
    ModelRenderer(const ModelRenderer&) = delete;
    ModelRenderer& operator=(const ModelRenderer&) = delete;

    virtual int32_t initialize() = 0;
    // Draws every visible object of the model as modelled. Returns 0.
    virtual int32_t drawModel(const Model& model) = 0;

    // Stores the manager and returns what initialize() returns.
    int32_t attachTextureManager(TextureManager* manager) {
        textureManager_ = manager;
        return initialize();
    }
    TextureManager* textureManager() const { return textureManager_; }

protected:
    TextureManager* textureManager_ = nullptr;
};

}  // namespace tavo
