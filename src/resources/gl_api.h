#pragma once

// OpenGL 1.1 and GLU for the portable core. On Windows the system headers
// expect two calling-convention macros from windows.h; they are supplied here
// so that the core never includes a window-system header.
#if defined(_WIN32) && !(defined(WINGDIAPI) && defined(APIENTRY))
#define TAVO_DEFINED_GL_MACROS 1
#define WINGDIAPI __declspec(dllimport)
#define APIENTRY __stdcall
#endif
#if defined(_WIN32) && !defined(CALLBACK)
#define TAVO_DEFINED_GL_CALLBACK 1
#define CALLBACK __stdcall
#endif

#if defined(_WIN32)
#include <cstddef>
#include <cwchar>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#if defined(TAVO_DEFINED_GL_MACROS)
#undef WINGDIAPI
#undef APIENTRY
#undef TAVO_DEFINED_GL_MACROS
#endif
#if defined(TAVO_DEFINED_GL_CALLBACK)
#undef CALLBACK
#undef TAVO_DEFINED_GL_CALLBACK
#endif

#ifndef GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
#define GL_COMPRESSED_RGBA_S3TC_DXT1_EXT 0x83F1
#define GL_COMPRESSED_RGBA_S3TC_DXT3_EXT 0x83F2
#define GL_COMPRESSED_RGBA_S3TC_DXT5_EXT 0x83F3
#endif

namespace tavo {

// Looks up an OpenGL extension function in the current context; null when
// the implementation does not offer it. One implementation per platform.
void* lookupGlFunction(const char* name);

}  // namespace tavo
