#include "resources/png_resource_loader.h"

#include "resources/ascii_case.h"
#include "resources/stdio_file.h"
#include "resources/memory_stream.h"

namespace tavo {

int32_t PngResourceLoader::load(const char* path) {
    if (path == nullptr) {
        release();
        return fail("no file name");
    }
    MemoryStream stream;
    std::string reason;
    const int32_t opened = compareIgnoringAsciiCase(path, "tavo.png") == 0
                               ? stream.openResource("TAVO_TEX", "PNG")
                               : stream.loadFile(path, &reason);
    if (opened == 0) {
        release();
        return fail(compareIgnoringAsciiCase(path, "tavo.png") == 0
                        ? "the embedded picture is missing"
                        : unreadableFileMessage(path, reason));
    }
    return PngLoader::decode(&stream);
}

}  // namespace tavo
