#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tavo {

// One way of getting an off-screen OpenGL context on Linux (OSMesa, or EGL
// without a window system). OffscreenGlSurface picks one; the GL functions
// themselves come from one library for both (see docs/architecture.md).
class GlBackEnd {
public:
    virtual ~GlBackEnd() = default;
    // "osmesa" or "egl".
    virtual const char* name() const = 0;
    // Makes the context current, drawing into a width x height picture;
    // false when the platform refuses.
    virtual bool makeCurrent() = 0;
    // Waits until the frame is drawn and leaves it in `pixels` (B, G, R, A,
    // rows bottom-up).
    virtual void finishFrame(uint8_t* pixels) = 0;
};

// Each returns null when it gives no context. The OSMesa context draws
// straight into `pixels` (width * height * 4 bytes, kept alive by the caller).
std::unique_ptr<GlBackEnd> createOsmesaBackEnd(uint8_t* pixels, int32_t width, int32_t height);
std::unique_ptr<GlBackEnd> createEglBackEnd(int32_t width, int32_t height);

}  // namespace tavo
