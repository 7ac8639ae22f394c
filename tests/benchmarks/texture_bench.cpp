// Start-up cost of the character's texture: decoding the embedded 512 x 512
// PNG, and making a texture from a picture that needs the bilinear stretch
// (300 x 200 to 512 x 256) against one that is uploaded as it is.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "drawing/gl_textures.h"
#include "resources/png_resource_loader.h"
#include "resources/texture.h"
#include "resources/texture_manager.h"
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
    // Prepared (padded and stretched) and uploaded, as a model's texture is.
    for (auto _ : state) {
        TextureManager manager;
        GlTextures gl;
        auto texture = std::make_unique<Texture>();
        texture->setPicture(width, height, picture.data(), 0);
        gl.bind(manager, manager.addTexture("picture.png", std::move(texture), false));
        benchmark::DoNotOptimize(manager.texture(0)->pixels.data());
    }
}
BENCHMARK(BM_UploadTexture)->Args({512, 512})->Args({300, 200})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavo
