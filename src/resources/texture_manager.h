#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "resources/image_loader.h"
#include "resources/texture.h"

namespace tavo {

// Turns image file names into textures and hands out indices (-1 for none).
// Owns every texture and every registered loader.
class TextureManager {
public:
    TextureManager() = default;
    ~TextureManager();
    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;

    int32_t createTexture(const char* name, int32_t wrapMode, int32_t filterMode, bool reload);
    // Takes ownership of texture (also when it returns -1 for a null name).
    int32_t addTexture(const char* name, Texture* texture, bool reload);
    void bindTexture(int32_t index);

    // Takes ownership of the loaders; a count of 0 or less leaves none.
    void setLoaders(ImageLoader* const* loaders, int32_t count);
    void clear();  // destroys every texture and loader

    int32_t textureCount() const { return static_cast<int32_t>(textures_.size()); }
    const Texture* texture(int32_t index) const;
    const std::string& name(int32_t index) const;

private:
    int32_t findName(const char* name) const;  // first equal entry of names_, or -1

    std::vector<std::unique_ptr<Texture>> textures_;
    std::vector<std::string> names_;
    std::vector<std::unique_ptr<ImageLoader>> loaders_;
};

// Pointer to the byte after the last "." of a code-page-932 string, or null.
const char* findExtension(const char* name);

}  // namespace tavo
