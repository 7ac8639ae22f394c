#include "drawing/gl_textures.h"

#include "resources/gl_api.h"
#include "resources/texture.h"
#include "resources/texture_manager.h"

#if defined(_WIN32)
#define TAVO_GL_CALL __stdcall
#else
#define TAVO_GL_CALL
#endif

namespace tavo {

namespace {

using CompressedTexImage2D = void(TAVO_GL_CALL*)(GLenum target, GLint level, GLenum internalFormat,
                                                 GLsizei width, GLsizei height, GLint border,
                                                 GLsizei imageSize, const void* data);

GLenum internalFormatFor(int32_t format) {
    switch (format) {
    case 1:
        return GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
    case 2:
        return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
    case 3:
        return GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    default:
        return GL_RGBA8;
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

// The texels, with the texture already bound.
void uploadTexels(const Texture& texture) {
    if (texture.storage == Texture::Storage::Rgba) {
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormatFor(texture.format)),
                     texture.paddedWidth, texture.paddedHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     texture.pixels.data());
    } else if (texture.storage == Texture::Storage::Compressed) {
        // Looked up on every upload: the function belongs to the current context.
        auto compressedTexImage2D =
            reinterpret_cast<CompressedTexImage2D>(lookupGlFunction("glCompressedTexImage2DARB"));
        if (compressedTexImage2D != nullptr) {
            compressedTexImage2D(GL_TEXTURE_2D, 0, internalFormatFor(texture.compressedKind),
                                 texture.width, texture.height, 0,
                                 static_cast<GLsizei>(texture.pixels.size()), texture.pixels.data());
        }
    }
}

}  // namespace

GlTextures::~GlTextures() { release(); }

void GlTextures::bind(const TextureManager& manager, int32_t index) {
    const Texture* texture = manager.texture(index);
    if (texture == nullptr) {
        return;
    }
    if (uploads_.size() < static_cast<size_t>(manager.textureCount())) {
        uploads_.resize(static_cast<size_t>(manager.textureCount()));
    }
    Upload& upload = uploads_[static_cast<size_t>(index)];
    const uint32_t revision = manager.revision(index);
    if (upload.glName != 0 && upload.revision == revision) {
        glBindTexture(GL_TEXTURE_2D, upload.glName);
        return;
    }
    if (upload.glName != 0) {
        const GLuint stale = upload.glName;
        glDeleteTextures(1, &stale);
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    upload.glName = name;
    upload.revision = revision;
    glBindTexture(GL_TEXTURE_2D, name);
    if (texture->hasPicture()) {
        setWrapMode(texture->wrapMode);
        setFilterMode(texture->filterMode);
        uploadTexels(*texture);
    }
}

void GlTextures::release() {
    for (Upload& upload : uploads_) {
        if (upload.glName != 0) {
            const GLuint name = upload.glName;
            glDeleteTextures(1, &name);
        }
    }
    uploads_.clear();
}

uint32_t GlTextures::nameOf(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < uploads_.size()
               ? uploads_[static_cast<size_t>(index)].glName
               : 0;
}

}  // namespace tavo
