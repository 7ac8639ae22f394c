#include "render/frame_renderer.h"

#include "resources/texture_manager.h"

namespace tavo {

namespace {

bool textureOpaque(const TextureManager& textures, int32_t index) {
    const Texture* texture = textures.texture(index);
    if (texture == nullptr || texture->storage != Texture::Storage::Rgba) {
        return false;  // no RGBA pixels to look at (none, or compressed): count it translucent
    }
    for (size_t i = 3; i < texture->pixels.size(); i += 4) {
        if (texture->pixels[i] != 255) {
            return false;
        }
    }
    return true;
}

}  // namespace

// Blending a fragment of alpha 1 gives the fragment itself, to the bit; a
// model that can only draw such fragments is drawn without blending, which
// spares the rasteriser reading the picture back for every fragment.
bool drawsOnlyOpaque(const Model& model, const TextureManager& textures) {
    if (!model.useMaterials) {
        return false;
    }
    for (const Material& material : model.materials) {
        if (material.color[3] != 1.0f) {
            return false;
        }
        if (model.useTextures && material.textureIndex >= 0 && !textureOpaque(textures, material.textureIndex)) {
            return false;
        }
    }
    return true;
}

}  // namespace tavo
