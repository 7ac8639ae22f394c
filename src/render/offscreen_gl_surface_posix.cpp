#include "render/offscreen_gl_surface.h"

#include <dirent.h>

#include <cstdlib>
#include <cstring>

#include "render/gl_back_end.h"
#include "resources/gl_api.h"

namespace tavo {

namespace {

std::string glString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

// Mesa's software rasterisers, as they name themselves.
bool softwareRenderer(const std::string& renderer) {
    for (const char* name : {"llvmpipe", "softpipe", "swrast"}) {
        if (renderer.find(name) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// A GPU that EGL could reach shows as a DRM render node.
bool renderNodePresent() {
    DIR* directory = opendir("/dev/dri");
    if (directory == nullptr) {
        return false;
    }
    bool found = false;
    while (const dirent* entry = readdir(directory)) {
        if (std::strncmp(entry->d_name, "renderD", 7) == 0) {
            found = true;
            break;
        }
    }
    closedir(directory);
    return found;
}

}  // namespace

GlChoice glChoiceFromEnvironment(std::string& warning) {
    warning.clear();
    const char* value = std::getenv("TAVO_GL");
    if (value == nullptr || *value == '\0') {
        return GlChoice::Automatic;
    }
    if (std::strcmp(value, "osmesa") == 0) {
        return GlChoice::Osmesa;
    }
    if (std::strcmp(value, "egl") == 0) {
        return GlChoice::Egl;
    }
    warning = std::string("TAVO_GL=") + value + " is neither osmesa nor egl; the back end is chosen automatically";
    return GlChoice::Automatic;
}

OffscreenGlSurface::OffscreenGlSurface(int32_t width, int32_t height)
    : OffscreenGlSurface(width, height, [] {
          std::string ignored;
          return glChoiceFromEnvironment(ignored);
      }()) {}

OffscreenGlSurface::OffscreenGlSurface(int32_t width, int32_t height, GlChoice choice) {
    if (width <= 0 || height <= 0) {
        return;
    }
    width_ = width;
    height_ = height;
    storage_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    if (choice != GlChoice::Automatic) {
        tryBackEnd(choice);
    } else {
        chooseAutomatically();
    }
    if (!backEnd_) {
        release();
        return;
    }
    pixels_ = storage_.data();
    renderer_ = glString(GL_RENDERER) + ", OpenGL " + glString(GL_VERSION);
}

OffscreenGlSurface::~OffscreenGlSurface() { release(); }

// EGL where it reaches a GPU. On the software rasteriser both back ends run
// the same llvmpipe, and OSMesa costs a little less (no read-back) and needs
// no second driver in memory, so it is preferred; EGL's llvmpipe is the last
// resort (docs/performance.md has the figures).
void OffscreenGlSurface::chooseAutomatically() {
    if (renderNodePresent() && tryBackEnd(GlChoice::Egl)) {
        if (!softwareRenderer(glString(GL_RENDERER))) {
            return;
        }
        backEnd_.reset();
    }
    if (!tryBackEnd(GlChoice::Osmesa)) {
        tryBackEnd(GlChoice::Egl);
    }
}

bool OffscreenGlSurface::tryBackEnd(GlChoice backEnd) {
    backEnd_ = backEnd == GlChoice::Egl ? createEglBackEnd(width_, height_)
                                        : createOsmesaBackEnd(storage_.data(), width_, height_);
    return backEnd_ != nullptr;
}

void OffscreenGlSurface::finishFrame() {
    if (backEnd_) {
        backEnd_->finishFrame(storage_.data());
    }
}

bool OffscreenGlSurface::makeCurrent() { return backEnd_ && backEnd_->makeCurrent(); }

const char* OffscreenGlSurface::backEndName() const { return backEnd_ ? backEnd_->name() : ""; }

void OffscreenGlSurface::release() {
    backEnd_.reset();
    storage_.clear();
    storage_.shrink_to_fit();
    pixels_ = nullptr;
    width_ = 0;
    height_ = 0;
}

}  // namespace tavo
