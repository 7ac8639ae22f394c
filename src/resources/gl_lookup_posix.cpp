#include <GL/osmesa.h>

#include "resources/gl_api.h"

namespace tavo {

void* lookupGlFunction(const char* name) {
    return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
}

}  // namespace tavo
