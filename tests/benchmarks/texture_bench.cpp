// Start-up cost of the character's texture: decoding the embedded 512 x 512
// PNG, and making a texture from a picture that needs the bilinear stretch
// (300 x 200 to 512 x 256) against one that is uploaded as it is.

#include <benchmark/benchmark.h>

#include <vector>

#include "resources/png_resource_loader.h"
#include "resources/texture.h"
#include "support/offscreen_gl_context.h"

namespace tavo {
namespace {

void BM_DecodeEmbeddedTexture(benchmark::State& state) {
    PngResourceLoader loader;
    for (auto _ : state) {
        if (loader.load("tavo.png") != 1) {
            state.SkipWithError("the embedded texture did not decode");
            break;
        }
        benchmark::DoNotOptimize(loader.pixels());
        loader.release();
    }
    state.SetBytesProcessed(state.iterations() * 512 * 512 * 4);
}
BENCHMARK(BM_DecodeEmbeddedTexture)->Unit(benchmark::kMillisecond);

void BM_UploadTexture(benchmark::State& state) {
    const int32_t width = static_cast<int32_t>(state.range(0));
    const int32_t height = static_cast<int32_t>(state.range(1));
    test::OffscreenGlContext context;
    if (!context.valid()) {
        state.SkipWithError("no OSMesa context");
        return;
    }
    const std::vector<uint8_t> picture(static_cast<size_t>(width) * height * 4, 0x80);
    for (auto _ : state) {
        Texture texture;
        texture.bind();
        texture.upload(width, height, picture.data(), 0);
        benchmark::DoNotOptimize(texture.pixels.data());
    }
}
BENCHMARK(BM_UploadTexture)->Args({512, 512})->Args({300, 200})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavo
