#include "offscreen_context.h"

#include <GL/osmesa.h>

namespace tavo::inspect {

OffscreenContext::OffscreenContext(int32_t width, int32_t height)
    : pixels_(static_cast<std::size_t>(width) * height * 4) {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 32, 0, 0, nullptr);
    if (context == nullptr) {
        return;
    }
    if (!OSMesaMakeCurrent(context, pixels_.data(), GL_UNSIGNED_BYTE, width, height)) {
        OSMesaDestroyContext(context);
        return;
    }
    context_ = context;
}

OffscreenContext::~OffscreenContext() {
    if (context_ != nullptr) {
        OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
        OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
    }
}

}  // namespace tavo::inspect

#if defined(__SANITIZE_ADDRESS__)
// OSMesa keeps some allocations of every context it has made current until
// the process ends; LeakSanitizer is told not to report them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libOSMesa.so\n"; }
#endif
