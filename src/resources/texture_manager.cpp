#include "resources/texture_manager.h"

#include <cstring>

#include "resources/cp932_text.h"
#include "resources/gl_api.h"

namespace tavo {

namespace {

// How a layout code of an ImageDescription is uploaded: the compressed kind
// (0 for plain RGBA pixels) and the internal format choice (0 for GL_RGBA8).
struct UploadPlan {
    bool known;
    int32_t compressedKind;
    int32_t format;
};

UploadPlan uploadPlanFor(int32_t layout) {
    switch (layout) {
    case 0:
        return {true, 0, 0};
    case 10:
    case 11:
    case 12:
        return {true, layout - 9, layout - 9};
    case 20:
    case 21:
    case 22:
        return {true, 0, layout - 19};
    case 30:
    case 31:
    case 32:
        return {true, layout - 29, 0};
    default:
        return {false, 0, 0};  // unknown layouts upload nothing
    }
}

void setWrapMode(int32_t wrapMode) {
    GLenum mode = 0;
    if (wrapMode == 0) {
        mode = GL_REPEAT;
    } else if (wrapMode == 1) {
        mode = GL_CLAMP;
    } else {
        return;
    }
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(mode));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(mode));
}

void setFilterMode(int32_t filterMode) {
    GLenum mode = 0;
    if (filterMode == 0) {
        mode = GL_NEAREST;
    } else if (filterMode == 1) {
        mode = GL_LINEAR;
    } else {
        return;
    }
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(mode));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(mode));
}

void uploadImage(Texture& texture, const ImageDescription& image) {
    const UploadPlan plan = uploadPlanFor(image.layout);
    if (!plan.known || image.pixels == nullptr) {
        return;
    }
    if (plan.compressedKind == 0) {
        if (image.bitsPerPixel != 32) {
            return;  // these layouts are 4 bytes a pixel; anything else would be overread
        }
        texture.upload(image.width, image.height, image.pixels, plan.format);
    } else if (plan.format != 0) {
        texture.uploadCompressed(image.width, image.height, image.pixels, plan.compressedKind);
    }
}

}  // namespace

const char* findExtension(const char* name) {
    const char* dot = findLastChar(name, '.');
    return dot != nullptr ? dot + 1 : nullptr;
}

TextureManager::~TextureManager() { clear(); }

int32_t TextureManager::findName(const char* name) const {
    for (size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t TextureManager::createTexture(const char* name, int32_t wrapMode, int32_t filterMode,
                                      bool reload) {
    if (name == nullptr) {
        return -1;
    }
    if (!reload) {
        const int32_t existing = findName(name);
        if (existing >= 0) {
            return existing;
        }
    }
    const char* extension = findExtension(name);
    if (extension == nullptr) {
        return -1;
    }

    auto texture = std::make_unique<Texture>();
    bool accepted = false;
    bool loaded = false;
    for (const std::unique_ptr<ImageLoader>& loader : loaders_) {
        if (loader->acceptsExtension(extension) != 1) {
            continue;
        }
        accepted = true;
        if (loader->load(name) != 1) {
            continue;
        }
        ImageDescription image;
        loader->describe(image);
        texture->bind();
        setWrapMode(wrapMode);
        setFilterMode(filterMode);
        uploadImage(*texture, image);
        loader->release();
        loaded = true;
        break;
    }
    if (accepted && !loaded) {
        return -1;
    }
    return addTexture(name, texture.release(), reload);
}

int32_t TextureManager::addTexture(const char* name, Texture* texture, bool reload) {
    std::unique_ptr<Texture> owned(texture);
    if (name == nullptr || owned == nullptr) {
        return -1;
    }
    const int32_t existing = findName(name);
    if (existing >= 0 && reload) {
        if (textures_[existing].get() != texture) {
            textures_[existing] = std::move(owned);
        } else {
            owned.release();  // already held in this entry
        }
        names_[existing] = name;
        return existing;
    }
    textures_.push_back(std::move(owned));
    names_.emplace_back(name);
    return static_cast<int32_t>(textures_.size()) - 1;
}

void TextureManager::bindTexture(int32_t index) {
    if (index < 0 || index >= textureCount()) {
        return;
    }
    textures_[index]->bind();
}

void TextureManager::setLoaders(ImageLoader* const* loaders, int32_t count) {
    loaders_.clear();
    if (loaders == nullptr) {
        return;
    }
    for (int32_t i = 0; i < count; ++i) {
        if (loaders[i] != nullptr) {
            loaders_.emplace_back(loaders[i]);
        }
    }
}

void TextureManager::clear() {
    textures_.clear();
    names_.clear();
    loaders_.clear();
}

const Texture* TextureManager::texture(int32_t index) const {
    if (index < 0 || index >= textureCount()) {
        return nullptr;
    }
    return textures_[index].get();
}

const std::string& TextureManager::name(int32_t index) const {
    static const std::string kNoName;
    if (index < 0 || index >= textureCount()) {
        return kNoName;
    }
    return names_[index];
}

}  // namespace tavo
