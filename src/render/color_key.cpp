#include <cstring>

#include "render/frame_renderer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavo {

namespace {

void keyPixel(uint8_t* pixel) {
    if (pixel[0] == 255) {
        std::memset(pixel, 0, 4);
    } else {
        pixel[3] = 255;
    }
}

}  // namespace

// Every pixel is either fully transparent black (its blue byte was 255: the
// background, or a drawn colour that reaches full blue) or fully opaque with
// its colour kept, which is valid premultiplied alpha.
void applyColorKey(uint8_t* pixels, int32_t width, int32_t height) {
    if (pixels == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    size_t i = 0;
#if defined(__SSE2__)
    // Four pixels at a time: a pixel whose low byte (blue) is 255 becomes 0,
    // every other one gets alpha 255.
    const __m128i blueMask = _mm_set1_epi32(0xFF);
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= count; i += 4) {
        __m128i* block = reinterpret_cast<__m128i*>(pixels + i * 4);
        const __m128i value = _mm_loadu_si128(block);
        const __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(value, blueMask), blueMask);
        _mm_storeu_si128(block, _mm_andnot_si128(keyed, _mm_or_si128(value, alpha)));
    }
#endif
    for (; i < count; ++i) {
        keyPixel(pixels + i * 4);
    }
}

}  // namespace tavo
