#pragma once

#include <windows.h>

#include "language/text_table.h"

namespace tavo {

using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                                  BLENDFUNCTION*, DWORD);
using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

// The layered-window functions, fetched from USER32.DLL at run time.
struct LayeredApi {
    HMODULE module = nullptr;
    UpdateLayeredWindowFunction updateLayeredWindow = nullptr;
    SetLayeredWindowAttributesFunction setLayeredWindowAttributes = nullptr;
};

LayeredApi& layeredApi();

// 1 when both functions were found.
int loadLayeredApi();
// Clears the table and frees the library; nothing when it is not loaded.
void freeLayeredApi();

// 1 when the program can run here; otherwise shows why, in the language of
// the texts, and returns 0.
int checkPlatform(HINSTANCE instance, const TextTable& texts);

}  // namespace tavo
