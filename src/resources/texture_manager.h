#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "resources/cp932_text.h"
#include "resources/image_loader.h"
#include "resources/readable_path.h"
#include "resources/texture.h"

namespace tavo {

// Why the texture a name asked for has no picture: the name as the model
// wrote it and the reason in UTF-8, e.g. "libpng: IHDR: CRC error".
struct TextureFailure {
    std::string name;
    std::string folder;  // the model folder the name was looked up in
    std::string reason;

    // Both in UTF-8, the name shown readably.
    std::string message() const { return readablePath(name) + ": " + reason; }
};

// Turns image file names into textures and hands out indices (-1 for none).
// Owns every texture and every registered loader. It decodes pictures only:
// the GL sees them when the drawing side uploads them (drawing/gl_textures.h),
// so a model can be read without a GL context.
//
// A name is looked up in the model folder set at the time (see
// TextureFolderScope; none for the embedded model) and read by the loaders
// that recognise the file's first bytes; only when none does, by those that
// accept its extension. Every request that leaves a texture without a
// picture records a TextureFailure.
class TextureManager {
public:
    TextureManager() = default;
    ~TextureManager();
    TextureManager(const TextureManager&) = delete;
    TextureManager& operator=(const TextureManager&) = delete;

    int32_t createTexture(const char* name, int32_t wrapMode, int32_t filterMode, bool reload);
    // -1 for a null name or texture.
    int32_t addTexture(const char* name, std::unique_ptr<Texture> texture, bool reload);
    // A picture held in memory (embedded in the model), decoded by the
    // loaders that recognise its first bytes; name says where it came from
    // ("images[2]"). A failure is recorded under that name and gives -1.
    int32_t createTextureFromBytes(const char* name, const uint8_t* bytes, size_t size, int32_t wrapMode,
                                   int32_t filterMode);
    // Pictures decoded from now on with a side longer than this are scaled
    // down (box filter, aspect kept) before they become textures; 0 for no
    // limit (the default). Texture::imageWidth keeps the size of the file.
    void setLargestSide(int32_t side) { largestSide_ = side; }

    // Replaces the loaders; null entries are left out.
    void setLoaders(std::vector<std::unique_ptr<ImageLoader>> loaders);
    void clear();  // destroys every texture and loader

    int32_t textureCount() const { return static_cast<int32_t>(textures_.size()); }
    const Texture* texture(int32_t index) const;
    const std::string& name(int32_t index) const;
    // Counts the replacements of the texture at index (a reload), so that an
    // upload of the old picture is known to be stale; 0 for a bad index.
    uint32_t revision(int32_t index) const;

    // The folder texture names are looked up in ("" for as written).
    const std::string& modelFolder() const { return modelFolder_; }
    void setModelFolder(std::string folder) { modelFolder_ = std::move(folder); }
    // How the names of the document being read are encoded (a reader sets
    // it as it learns it).
    TextEncoding nameEncoding() const { return nameEncoding_; }
    void setNameEncoding(TextEncoding encoding) { nameEncoding_ = encoding; }

    const std::vector<TextureFailure>& failures() const { return failures_; }
    // The latest failure recorded for a name, or null.
    const TextureFailure* failureFor(const std::string& name) const;

private:
    // First entry with this name made in the current model folder, or -1.
    int32_t findName(const char* name) const;
    // Loads the picture for name into texture; false with the reason when
    // a loader that was asked failed. asked tells whether any loader was.
    bool loadPicture(const char* name, Texture& texture, int32_t wrapMode, int32_t filterMode,
                     bool& asked, std::string& reason);
    void recordFailure(const char* name, std::string reason);

    std::vector<std::unique_ptr<Texture>> textures_;
    std::vector<std::string> names_;
    std::vector<std::string> folders_;  // parallel to names_
    std::vector<uint32_t> revisions_;   // parallel to names_
    std::vector<std::unique_ptr<ImageLoader>> loaders_;
    std::vector<TextureFailure> failures_;
    std::string modelFolder_;
    TextEncoding nameEncoding_ = TextEncoding::Cp932;
    int32_t largestSide_ = 0;
};

// Sets the manager's model folder for the life of the scope (while one
// model file is read) and puts the previous one back.
class TextureFolderScope {
public:
    TextureFolderScope(TextureManager& textures, std::string folder)
        : textures_(textures), previous_(textures.modelFolder()) {
        textures_.setModelFolder(std::move(folder));
    }
    ~TextureFolderScope() { textures_.setModelFolder(previous_); }
    TextureFolderScope(const TextureFolderScope&) = delete;
    TextureFolderScope& operator=(const TextureFolderScope&) = delete;

private:
    TextureManager& textures_;
    std::string previous_;
};

// Pointer to the byte after the last "." of a name in the encoding, or null.
const char* findExtension(const char* name, TextEncoding encoding = TextEncoding::Cp932);

}  // namespace tavo
