#include <GL/osmesa.h>

#include "render/gl_back_end.h"

namespace tavo {

namespace {

// Mesa's software context that renders straight into the caller's buffer.
class OsmesaBackEnd : public GlBackEnd {
public:
    OsmesaBackEnd(OSMesaContext context, uint8_t* pixels, int32_t width, int32_t height)
        : context_(context), pixels_(pixels), width_(width), height_(height) {}
    ~OsmesaBackEnd() override {
        if (OSMesaGetCurrentContext() == context_) {
            OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
        }
        OSMesaDestroyContext(context_);
    }
    OsmesaBackEnd(const OsmesaBackEnd&) = delete;
    OsmesaBackEnd& operator=(const OsmesaBackEnd&) = delete;

    const char* name() const override { return "osmesa"; }

    bool makeCurrent() override {
        if (!OSMesaMakeCurrent(context_, pixels_, GL_UNSIGNED_BYTE, width_, height_)) {
            return false;
        }
        // Row 0 of the buffer is the bottom row of the picture (the default,
        // set here so that nothing depends on it).
        OSMesaPixelStore(OSMESA_Y_UP, 1);
        return true;
    }

    // The picture is already in the buffer once drawing is done.
    void finishFrame(uint8_t*) override { glFinish(); }


private:
    OSMesaContext context_;
    uint8_t* pixels_;
    int32_t width_;
    int32_t height_;
};

}  // namespace

std::unique_ptr<GlBackEnd> createOsmesaBackEnd(uint8_t* pixels, int32_t width, int32_t height) {
    // A 32-bit depth request is granted as 24 bits, as on Windows.
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 32, 0, 0, nullptr);
    if (context == nullptr) {
        return nullptr;
    }
    auto backEnd = std::make_unique<OsmesaBackEnd>(context, pixels, width, height);
    if (!backEnd->makeCurrent()) {
        return nullptr;
    }
    return backEnd;
}

}  // namespace tavo

#if defined(__SANITIZE_ADDRESS__)
// OSMesa keeps some allocations of every context it has made current until
// the process ends; LeakSanitizer is told not to report them as leaks.
// The list of suppressions used is not printed: the tools' error output stays
// what users see.
extern "C" const char* __lsan_default_suppressions() { return "leak:libOSMesa.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif
