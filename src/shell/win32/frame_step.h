#pragma once

#include <windows.h>

namespace tavo {

// One frame: cursor and screen size, render, colour key, move, present.
void frameStep(HWND window);

}  // namespace tavo
