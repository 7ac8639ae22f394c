#pragma once

#include <windows.h>

namespace tavo {

// Everything the window needs, in start-up order: settings, start position,
// menu, choices, surface and context, scene, first frame.
void onCreate(HWND window);
// Releases in order: character, context, surface, menu; then saves settings.
void onDestroy(HWND window);

}  // namespace tavo
