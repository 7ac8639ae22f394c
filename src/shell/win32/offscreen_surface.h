#pragma once

#include <windows.h>

#include <cstdint>

namespace tavo {

// A DIB section selected into a memory DC: OpenGL draws into its pixels and
// UpdateLayeredWindow presents them.
struct OffscreenSurface {
    HDC memoryDc;
    uint8_t* bits;
    HBITMAP bitmap;
    HGDIOBJ previousBitmap;
    HPALETTE palette;
    RGBQUAD* colourTable;
    BITMAPINFO* bitmapInfo;
    uint32_t flags;  // bit 0: created top-down (negative height)
};

constexpr uint32_t kSurfaceTopDown = 1;

// 1 on success, 0 on failure (below 8 bits per pixel the record is untouched,
// otherwise it is left zeroed).
int createOffscreenSurface(OffscreenSurface& surface, int32_t width, int32_t height,
                           int32_t bitsPerPixel);
// Releases everything and zeroes the record; a zeroed record releases nothing.
void destroyOffscreenSurface(OffscreenSurface& surface);

}  // namespace tavo
