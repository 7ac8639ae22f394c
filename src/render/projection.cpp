#include "render/frame_renderer.h"
#include "resources/gl_api.h"

namespace tavo {

void setupProjection(int32_t width, int32_t height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A zero height would make the aspect infinite; draw as if it were 1.
    const double aspect = static_cast<double>(width) / static_cast<double>(height > 0 ? height : 1);
    gluPerspective(45.0, aspect, 300.0, 2000.0);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace tavo
