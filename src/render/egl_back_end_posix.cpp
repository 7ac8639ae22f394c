#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "render/gl_back_end.h"
#include "resources/gl_api.h"

#ifndef GL_FRAMEBUFFER
#define GL_FRAMEBUFFER 0x8D40
#define GL_RENDERBUFFER 0x8D41
#define GL_COLOR_ATTACHMENT0 0x8CE0
#define GL_DEPTH_ATTACHMENT 0x8D00
#define GL_FRAMEBUFFER_COMPLETE 0x8CD5
#define GL_DEPTH_COMPONENT24 0x81A6
#endif
#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

namespace tavo {

namespace {

// The framebuffer-object functions (core since OpenGL 3.0, never exported
// by the 1.1 entry library), looked up once the context is current.
struct FramebufferApi {
    void(APIENTRY* genFramebuffers)(GLsizei, GLuint*) = nullptr;
    void(APIENTRY* deleteFramebuffers)(GLsizei, const GLuint*) = nullptr;
    void(APIENTRY* bindFramebuffer)(GLenum, GLuint) = nullptr;
    void(APIENTRY* genRenderbuffers)(GLsizei, GLuint*) = nullptr;
    void(APIENTRY* deleteRenderbuffers)(GLsizei, const GLuint*) = nullptr;
    void(APIENTRY* bindRenderbuffer)(GLenum, GLuint) = nullptr;
    void(APIENTRY* renderbufferStorage)(GLenum, GLenum, GLsizei, GLsizei) = nullptr;
    void(APIENTRY* framebufferRenderbuffer)(GLenum, GLenum, GLenum, GLuint) = nullptr;
    GLenum(APIENTRY* checkFramebufferStatus)(GLenum) = nullptr;

    template <typename Function>
    static bool find(Function& function, const char* name) {
        function = reinterpret_cast<Function>(eglGetProcAddress(name));
        return function != nullptr;
    }

    bool load() {
        return find(genFramebuffers, "glGenFramebuffers") && find(deleteFramebuffers, "glDeleteFramebuffers") &&
               find(bindFramebuffer, "glBindFramebuffer") && find(genRenderbuffers, "glGenRenderbuffers") &&
               find(deleteRenderbuffers, "glDeleteRenderbuffers") &&
               find(bindRenderbuffer, "glBindRenderbuffer") &&
               find(renderbufferStorage, "glRenderbufferStorage") &&
               find(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
               find(checkFramebufferStatus, "glCheckFramebufferStatus");
    }
};

// The display of Mesa's surfaceless platform: no window system at all. It
// is initialised once and kept for the life of the process, since every
// context of the process shares it.
EGLDisplay surfacelessDisplay() {
    static const EGLDisplay display = [] {
        const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
        auto getPlatformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (extensions == nullptr || getPlatformDisplay == nullptr) {
            return EGL_NO_DISPLAY;
        }
        EGLDisplay found = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0;
        EGLint minor = 0;
        if (found == EGL_NO_DISPLAY || !eglInitialize(found, &major, &minor)) {
            return EGL_NO_DISPLAY;
        }
        return found;
    }();
    return display;
}

// A compatibility-profile context (the drawing code is OpenGL 1.1) that
// draws into a framebuffer object of RGBA8 colour and 24-bit depth; the
// frame is read back once, when it is finished.
class EglBackEnd : public GlBackEnd {
public:
    EglBackEnd(EGLDisplay display, EGLContext context, int32_t width, int32_t height)
        : display_(display), context_(context), width_(width), height_(height) {}

    ~EglBackEnd() override {
        if (framebuffer_ != 0 && eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
            api_.deleteFramebuffers(1, &framebuffer_);
            api_.deleteRenderbuffers(2, renderbuffers_);
        }
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    EglBackEnd(const EglBackEnd&) = delete;
    EglBackEnd& operator=(const EglBackEnd&) = delete;

    const char* name() const override { return "egl"; }

    // The GL functions of this program reach the context through Mesa's
    // shared dispatch; a driver that does not use it leaves them without a
    // context, which shows as no renderer name.
    bool build() {
        if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) ||
            glGetString(GL_RENDERER) == nullptr || !api_.load()) {
            return false;
        }
        api_.genFramebuffers(1, &framebuffer_);
        api_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        api_.genRenderbuffers(2, renderbuffers_);
        api_.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[0]);
        api_.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
        api_.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers_[0]);
        api_.bindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[1]);
        api_.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
        api_.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, renderbuffers_[1]);
        if (api_.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            return false;
        }
        glViewport(0, 0, width_, height_);
        return true;
    }

    bool makeCurrent() override {
        if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
            return false;
        }
        api_.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        return true;
    }

    // Rows come back bottom-up, as OSMesa leaves them.
    void finishFrame(uint8_t* pixels) override {
        glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    }


private:
    EGLDisplay display_;
    EGLContext context_;
    int32_t width_;
    int32_t height_;
    FramebufferApi api_;
    GLuint framebuffer_ = 0;
    GLuint renderbuffers_[2] = {0, 0};
};

EGLContext createCompatibilityContext(EGLDisplay display) {
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return EGL_NO_CONTEXT;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1) {
        config = nullptr;  // EGL_NO_CONFIG_KHR: Mesa takes a context without one
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    return eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
}

}  // namespace

std::unique_ptr<GlBackEnd> createEglBackEnd(int32_t width, int32_t height) {
    const EGLDisplay display = surfacelessDisplay();
    if (display == EGL_NO_DISPLAY) {
        return nullptr;
    }
    const EGLContext context = createCompatibilityContext(display);
    if (context == EGL_NO_CONTEXT) {
        return nullptr;
    }
    auto backEnd = std::make_unique<EglBackEnd>(display, context, width, height);
    if (!backEnd->build()) {
        return nullptr;
    }
    return backEnd;
}

}  // namespace tavo
