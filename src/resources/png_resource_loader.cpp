#include "resources/png_resource_loader.h"

#include "resources/ascii_case.h"
#include "resources/memory_stream.h"

namespace tavo {

int32_t PngResourceLoader::load(const char* path) {
    if (path == nullptr) {
        return 0;
    }
    MemoryStream stream;
    const int32_t opened = compareIgnoringAsciiCase(path, "tavo.png") == 0
                               ? stream.openResource("TAVO_TEX", "PNG")
                               : stream.loadFile(path);
    if (opened == 0) {
        return 0;
    }
    return PngLoader::decode(&stream);
}

}  // namespace tavo
