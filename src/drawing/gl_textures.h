#pragma once

#include <cstdint>
#include <vector>

namespace tavo {

class TextureManager;

// The GL side of one texture manager's pictures: each texture is uploaded
// the first time it is bound (with the context current) and its GL name
// kept until release(), which the drawing side calls before the manager's
// textures go away or another manager takes its place. A texture the
// manager replaced (a reload) is uploaded again.
class GlTextures {
public:
    GlTextures() = default;
    ~GlTextures();
    GlTextures(const GlTextures&) = delete;
    GlTextures& operator=(const GlTextures&) = delete;

    // Binds texture index of manager, uploading it first when needed. A bad
    // index or a texture without a picture binds a texture without one.
    void bind(const TextureManager& manager, int32_t index);
    // Deletes every GL texture made so far (the context must be current).
    void release();
    // The GL name of texture index, or 0 when it has not been uploaded.
    uint32_t nameOf(int32_t index) const;

private:
    struct Upload {
        uint32_t glName = 0;
        uint32_t revision = 0;
    };
    std::vector<Upload> uploads_;  // by texture index
};

}  // namespace tavo
