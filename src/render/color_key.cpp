#include <cstring>

#include "render/frame_renderer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavo {

namespace {

// The clear colour, pure blue, is B 255, G 0, R 0 in memory; the fourth
// byte does not count (the Windows surface has no alpha).
bool clearColour(const uint8_t* pixel) { return pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 0; }

void keyPixel(uint8_t* pixel) {
    if (clearColour(pixel)) {
        std::memset(pixel, 0, 4);
    } else {
        pixel[3] = 255;
    }
}

}  // namespace

// Every pixel is either fully transparent black (it still holds the clear
// colour) or fully opaque with its colour kept, which is valid premultiplied
// alpha. Whatever the model drew stays, white and light blue included.
void applyColorKey(uint8_t* pixels, int32_t width, int32_t height) {
    if (pixels == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    size_t i = 0;
#if defined(__SSE2__)
    // Four pixels at a time: a pixel whose colour bytes are exactly the
    // clear colour becomes 0, every other one gets alpha 255.
    const __m128i colourMask = _mm_set1_epi32(0x00FFFFFF);
    const __m128i clear = _mm_set1_epi32(0xFF);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= count; i += 4) {
        __m128i* block = reinterpret_cast<__m128i*>(pixels + i * 4);
        const __m128i value = _mm_loadu_si128(block);
        const __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(value, colourMask), clear);
        _mm_storeu_si128(block, _mm_andnot_si128(keyed, _mm_or_si128(value, alpha)));
    }
#endif
    for (; i < count; ++i) {
        keyPixel(pixels + i * 4);
    }
}

}  // namespace tavo
