/* Preloaded into tavo_3d by the end-to-end test: OSMesa refuses every
   context and EGL finds no display, as on a system without usable OpenGL. */
#include <stddef.h>

void* OSMesaCreateContextExt(unsigned format, int depthBits, int stencilBits, int accumBits, void* sharelist) {
    (void)format;
    (void)depthBits;
    (void)stencilBits;
    (void)accumBits;
    (void)sharelist;
    return NULL;
}

void* OSMesaCreateContext(unsigned format, void* sharelist) {
    (void)format;
    (void)sharelist;
    return NULL;
}

/* Without it the program cannot reach EGL's surfaceless display. */
void* eglGetProcAddress(const char* name) {
    (void)name;
    return NULL;
}
