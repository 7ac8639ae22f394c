#include "shell/win32/offscreen_surface.h"

#include <cstring>
#include <vector>

namespace tavo {

namespace {

// Header plus room for a full colour table, whatever the depth.
constexpr SIZE_T kBitmapInfoBytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
static_assert(kBitmapInfoBytes == 1064, "bitmap info block size");

void zeroSurface(OffscreenSurface& surface) { std::memset(&surface, 0, sizeof surface); }

void fillHeader(BITMAPINFOHEADER& header, int32_t width, int32_t height, int32_t bitsPerPixel) {
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biClrUsed = bitsPerPixel == 8 ? 256 : 0;
}

// A palette matching the colour table, for 8-bit surfaces.
HPALETTE createMatchingPalette(const RGBQUAD* colourTable) {
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY), 0);
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    for (int i = 0; i < 256; ++i) {
        palette->palPalEntry[i].peRed = colourTable[i].rgbRed;
        palette->palPalEntry[i].peGreen = colourTable[i].rgbGreen;
        palette->palPalEntry[i].peBlue = colourTable[i].rgbBlue;
        palette->palPalEntry[i].peFlags = 0;
    }
    return CreatePalette(palette);
}

}  // namespace

int createOffscreenSurface(OffscreenSurface& surface, int32_t width, int32_t height,
                           int32_t bitsPerPixel) {
    if (bitsPerPixel < 8) return 0;
    zeroSurface(surface);
    surface.bitmapInfo = static_cast<BITMAPINFO*>(GlobalAlloc(GMEM_ZEROINIT, kBitmapInfoBytes));
    if (surface.bitmapInfo == nullptr) return 0;
    fillHeader(surface.bitmapInfo->bmiHeader, width, height, bitsPerPixel);

    HDC screenDc = GetDC(nullptr);
    void* bits = nullptr;
    surface.bitmap = CreateDIBSection(screenDc, surface.bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (surface.bitmap == nullptr) {
        GlobalFree(surface.bitmapInfo);
        ReleaseDC(nullptr, screenDc);
        zeroSurface(surface);
        return 0;
    }
    surface.bits = static_cast<uint8_t*>(bits);
    surface.memoryDc = CreateCompatibleDC(screenDc);
    ReleaseDC(nullptr, screenDc);
    surface.previousBitmap = SelectObject(surface.memoryDc, surface.bitmap);

    // Entry 255 white, all others black.
    surface.colourTable = surface.bitmapInfo->bmiColors;
    surface.colourTable[255] = RGBQUAD{255, 255, 255, 0};
    SetDIBColorTable(surface.memoryDc, 0, 256, surface.colourTable);
    if (bitsPerPixel == 8) surface.palette = createMatchingPalette(surface.colourTable);

    if (height < 0) {
        surface.flags |= kSurfaceTopDown;
        surface.bitmapInfo->bmiHeader.biHeight = -height;
    }
    return 1;
}

void destroyOffscreenSurface(OffscreenSurface& surface) {
    if (surface.palette != nullptr) DeleteObject(surface.palette);
    if (surface.memoryDc != nullptr) SelectObject(surface.memoryDc, surface.previousBitmap);
    if (surface.bitmap != nullptr) DeleteObject(surface.bitmap);
    if (surface.bitmapInfo != nullptr) GlobalFree(surface.bitmapInfo);
    if (surface.memoryDc != nullptr) DeleteDC(surface.memoryDc);
    zeroSurface(surface);
}

}  // namespace tavo
