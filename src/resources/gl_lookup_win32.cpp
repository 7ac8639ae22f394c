#include <windows.h>

#include "resources/gl_api.h"

namespace tavo {

void* lookupGlFunction(const char* name) {
    return reinterpret_cast<void*>(wglGetProcAddress(name));
}

}  // namespace tavo
