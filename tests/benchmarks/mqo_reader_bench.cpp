// Reading a generated model of 2,000 vertices and 3,000 faces from memory.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "formats/metasequoia/mqo_reader.h"
#include "resources/memory_stream.h"
#include "resources/texture_manager.h"

namespace {

constexpr int kVertexCount = 2000;
constexpr int kFaceCount = 3000;
constexpr int kMaterialCount = 20;

// A grid of vertices and faces cycling through the materials: mostly
// textured triangles, some quads and some two-corner lines, CR LF line ends.
std::string generateDocument() {
    std::string text = "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\n";
    text += "Scene {\r\n\tpos 0.0000 0.0000 1500.0000\r\n}\r\n";
    char line[256];
    std::snprintf(line, sizeof line, "Material %d {\r\n", kMaterialCount);
    text += line;
    for (int m = 0; m < kMaterialCount; ++m) {
        std::snprintf(line, sizeof line,
                      "\t\"mat%d\" col(0.800 0.700 0.600 1.000) dif(0.800) amb(0.600) emi(0.000) "
                      "spc(0.000) power(5.00)%s\r\n",
                      m, m == 0 ? " tex(\"tavo.png\")" : "");
        text += line;
    }
    text += "}\r\nObject \"body\" {\r\n\tdepth 0\r\n\tvisible 15\r\n\tshading 1\r\n\tfacet 59.5\r\n";
    std::snprintf(line, sizeof line, "\tvertex %d {\r\n", kVertexCount);
    text += line;
    for (int v = 0; v < kVertexCount; ++v) {
        std::snprintf(line, sizeof line, "\t\t%.4f %.4f %.4f\r\n", (v % 50) * 1.25,
                      (v / 50) * -2.5, (v % 7) * 0.5);
        text += line;
    }
    std::snprintf(line, sizeof line, "\t}\r\n\tface %d {\r\n", kFaceCount);
    text += line;
    for (int f = 0; f < kFaceCount; ++f) {
        const int a = f % (kVertexCount - 60);
        const int b = a + 1;
        const int c = a + 51;
        const int d = a + 50;
        const int m = f % kMaterialCount;
        if (f % 10 == 9) {
            std::snprintf(line, sizeof line, "\t\t4 V(%d %d %d %d) M(%d)\r\n", a, b, c, d, m);
        } else if (f % 25 == 24) {
            std::snprintf(line, sizeof line, "\t\t2 V(%d %d) M(%d)\r\n", a, b, m);
        } else {
            std::snprintf(line, sizeof line,
                          "\t\t3 V(%d %d %d) M(%d) UV(0.38665 0.02263 0.38649 0.03200 0.38625 "
                          "0.02165)\r\n",
                          a, b, c, m);
        }
        text += line;
    }
    text += "\t}\r\n}\r\nEof\r\n";
    return text;
}

void readGeneratedModel(benchmark::State& state) {
    const std::string document = generateDocument();
    tavo::TextureManager textures;
    for (auto _ : state) {
        tavo::MemoryStream stream;
        stream.attach(document.data(), static_cast<int32_t>(document.size()));
        tavo::Model model;
        tavo::MqoReader reader;
        const bool ok = reader.readModel(&stream, textures, model, 1.0f);
        if (!ok || model.objects.size() != 1 ||
            model.objects[0].faces.size() != static_cast<size_t>(kFaceCount)) {
            state.SkipWithError("the generated model did not read back");
            break;
        }
        benchmark::DoNotOptimize(model.objects[0].normals.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(document.size()));
    state.counters["bytes"] = static_cast<double>(document.size());
}
BENCHMARK(readGeneratedModel)->Unit(benchmark::kMillisecond);

}  // namespace
