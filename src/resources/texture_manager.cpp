#include "resources/texture_manager.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "resources/cp932_text.h"
#include "resources/file_stream.h"
#include "resources/memory_stream.h"
#include "resources/texture_location.h"

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

// A picture with any texel below half alpha is cut out: such texels are not
// drawn (the renderer's alpha test). Others draw as before.
bool hasCutOutTexels(const ImageDescription& image) {
    const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    for (size_t i = 0; i < count; ++i) {
        if (image.pixels[i * 4 + 3] < 128) {
            return true;
        }
    }
    return false;
}

// The first bytes of the file at path, for choosing a loader by content;
// empty when it cannot be read (the embedded picture, a missing file).
std::vector<uint8_t> readHead(const std::string& path) {
    std::vector<uint8_t> head(ImageLoader::kSignatureBytes);
    FileStream stream;
    const int32_t got = stream.open(path.c_str()) != 0
                            ? stream.read(head.data(), static_cast<int32_t>(head.size()))
                            : 0;
    head.resize(static_cast<size_t>(got > 0 ? got : 0));
    return head;
}

// The picture averaged down so that no side is longer than largest.
std::vector<uint8_t> scaledDown(const ImageDescription& image, int32_t largest, int32_t& width, int32_t& height) {
    const int32_t factor = (std::max(image.width, image.height) + largest - 1) / largest;
    width = std::max(1, image.width / factor);
    height = std::max(1, image.height / factor);
    std::vector<uint8_t> result(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int32_t dy = 0; dy < factor; ++dy) {
                const uint8_t* row = image.pixels + (static_cast<size_t>(y * factor + dy) * image.width + static_cast<size_t>(x * factor)) * 4;
                for (int32_t dx = 0; dx < factor * 4; ++dx) sum[dx % 4] += row[dx];
            }
            uint8_t* out = &result[(static_cast<size_t>(y) * width + x) * 4];
            for (int c = 0; c < 4; ++c) out[c] = static_cast<uint8_t>(sum[c] / static_cast<uint32_t>(factor * factor));
        }
    }
    return result;
}

void takeImage(Texture& texture, const ImageDescription& image, int32_t largestSide) {
    const UploadPlan plan = uploadPlanFor(image.layout);
    if (!plan.known || image.pixels == nullptr) {
        return;
    }
    if (plan.compressedKind == 0) {
        if (image.bitsPerPixel != 32) {
            return;  // these layouts are 4 bytes a pixel; anything else would be overread
        }
        if (largestSide > 0 && std::max(image.width, image.height) > largestSide) {
            int32_t width = 0;
            int32_t height = 0;
            const std::vector<uint8_t> smaller = scaledDown(image, largestSide, width, height);
            ImageDescription shown = image;
            shown.width = width;
            shown.height = height;
            shown.pixels = smaller.data();
            texture.setPicture(width, height, smaller.data(), plan.format);
            texture.imageWidth = image.width;
            texture.imageHeight = image.height;
            texture.cutOut = hasCutOutTexels(shown);
            return;
        }
        texture.setPicture(image.width, image.height, image.pixels, plan.format);
        texture.imageWidth = image.width;
        texture.imageHeight = image.height;
        texture.cutOut = image.width > 0 && image.height > 0 && hasCutOutTexels(image);
    } else if (plan.format != 0) {
        texture.setCompressed(image.width, image.height, image.pixels, plan.compressedKind);
        texture.imageWidth = image.width;
        texture.imageHeight = image.height;
    }
}

}  // namespace

const char* findExtension(const char* name, TextEncoding encoding) {
    const char* dot = findLastChar(name, '.', encoding);
    return dot != nullptr ? dot + 1 : nullptr;
}

TextureManager::~TextureManager() { clear(); }

int32_t TextureManager::findName(const char* name) const {
    for (size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name && folders_[i] == modelFolder_) {
            return static_cast<int32_t>(i);
        }
    }
    return -1;
}

int32_t TextureManager::createTextureFromBytes(const char* name, const uint8_t* bytes, size_t size, int32_t wrapMode,
                                               int32_t filterMode) {
    auto texture = std::make_unique<Texture>();
    texture->wrapMode = wrapMode;
    texture->filterMode = filterMode;
    std::string reason = "not a picture in a format this program reads";
    const int32_t head = static_cast<int32_t>(std::min<size_t>(size, ImageLoader::kSignatureBytes));
    bool decoded = false;
    for (const std::unique_ptr<ImageLoader>& loader : loaders_) {
        if (decoded || size > INT32_MAX || loader->recognizes(bytes, head) != 1) continue;
        MemoryStream stream;
        stream.attach(bytes, static_cast<int32_t>(size));
        if (loader->decode(&stream) != 1) {
            reason = loader->failureReason().empty() ? "the picture could not be read" : loader->failureReason();
            continue;
        }
        ImageDescription image;
        loader->describe(image);
        takeImage(*texture, image, largestSide_);
        loader->release();
        decoded = true;
    }
    recordFailure(name, decoded ? "" : reason);
    return decoded ? addTexture(name, std::move(texture), false) : -1;
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
    if (findExtension(name, nameEncoding_) == nullptr) {
        recordFailure(name, "the name has no extension");
        return -1;
    }

    auto texture = std::make_unique<Texture>();
    bool asked = false;
    std::string reason;
    if (!loadPicture(name, *texture, wrapMode, filterMode, asked, reason)) {
        recordFailure(name, reason);
        if (asked) {
            return -1;
        }
    } else {
        recordFailure(name, "");
    }
    return addTexture(name, std::move(texture), reload);
}

bool TextureManager::loadPicture(const char* name, Texture& texture, int32_t wrapMode,
                                 int32_t filterMode, bool& asked, std::string& reason) {
    const std::string path = locateTextureFile(modelFolder_, name, nameEncoding_);
    const std::vector<uint8_t> head = readHead(path);
    std::vector<ImageLoader*> chosen;
    for (const std::unique_ptr<ImageLoader>& loader : loaders_) {
        if (loader->recognizes(head.data(), static_cast<int32_t>(head.size())) == 1) {
            chosen.push_back(loader.get());
        }
    }
    if (chosen.empty()) {
        const char* extension = findExtension(name, nameEncoding_);
        for (const std::unique_ptr<ImageLoader>& loader : loaders_) {
            if (loader->acceptsExtension(extension) == 1) {
                chosen.push_back(loader.get());
            }
        }
    }
    if (chosen.empty()) {
        asked = false;
        reason = head.empty() ? "no loader for this extension and no file at " + path
                              : "not a picture in a format this program reads";
        return false;
    }
    asked = true;
    for (ImageLoader* loader : chosen) {
        if (loader->load(path.c_str()) != 1) {
            if (reason.empty()) {
                reason = loader->failureReason().empty() ? "the picture could not be read"
                                                         : loader->failureReason();
            }
            continue;
        }
        ImageDescription image;
        loader->describe(image);
        texture.wrapMode = wrapMode;
        texture.filterMode = filterMode;
        takeImage(texture, image, largestSide_);
        loader->release();
        return true;
    }
    return false;
}

// Keeps the latest outcome of each request: a success (empty reason) drops
// the name's earlier failure.
void TextureManager::recordFailure(const char* name, std::string reason) {
    for (size_t i = 0; i < failures_.size(); ++i) {
        if (failures_[i].name == name && failures_[i].folder == modelFolder_) {
            failures_.erase(failures_.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    if (!reason.empty()) {
        failures_.push_back({name, modelFolder_, std::move(reason)});
    }
}

const TextureFailure* TextureManager::failureFor(const std::string& name) const {
    for (auto it = failures_.rbegin(); it != failures_.rend(); ++it) {
        if (it->name == name) {
            return &*it;
        }
    }
    return nullptr;
}

int32_t TextureManager::addTexture(const char* name, std::unique_ptr<Texture> texture, bool reload) {
    if (name == nullptr || texture == nullptr) {
        return -1;
    }
    const int32_t existing = findName(name);
    if (existing >= 0 && reload) {
        textures_[existing] = std::move(texture);
        ++revisions_[existing];
        return existing;
    }
    textures_.push_back(std::move(texture));
    names_.emplace_back(name);
    folders_.push_back(modelFolder_);
    revisions_.push_back(0);
    return static_cast<int32_t>(textures_.size()) - 1;
}

void TextureManager::setLoaders(std::vector<std::unique_ptr<ImageLoader>> loaders) {
    loaders_.clear();
    for (std::unique_ptr<ImageLoader>& loader : loaders) {
        if (loader) {
            loaders_.push_back(std::move(loader));
        }
    }
}

void TextureManager::clear() {
    textures_.clear();
    names_.clear();
    folders_.clear();
    revisions_.clear();
    loaders_.clear();
    failures_.clear();
}

const Texture* TextureManager::texture(int32_t index) const {
    if (index < 0 || index >= textureCount()) {
        return nullptr;
    }
    return textures_[index].get();
}

uint32_t TextureManager::revision(int32_t index) const {
    return index >= 0 && index < textureCount() ? revisions_[index] : 0;
}

const std::string& TextureManager::name(int32_t index) const {
    static const std::string kNoName;
    if (index < 0 || index >= textureCount()) {
        return kNoName;
    }
    return names_[index];
}

}  // namespace tavo
