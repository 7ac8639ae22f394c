#pragma once

#include <windows.h>

namespace tavo {

// Everything the window needs: the menu, then the session's start-up
// (settings, start position, choices, surface and context, scene, first
// frame).
void onCreate(HWND window);
// The session's end (character, context, surface, settings), then the menu.
void onDestroy(HWND window);

}  // namespace tavo
