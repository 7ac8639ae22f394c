#pragma once

#include <windows.h>

namespace tavo {

// The whole window answers as caption; any click on it opens the popup menu.
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tavo
