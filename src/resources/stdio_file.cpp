#include "resources/stdio_file.h"

#include <limits>

#include "resources/readable_path.h"

namespace tavo {

int32_t measureFile(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long end = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        return -1;
    }
    if (end < 0 || end > std::numeric_limits<int32_t>::max()) {
        return -1;
    }
    return static_cast<int32_t>(end);
}

std::string unreadableFileMessage(const char* path, const std::string& reason) {
    return "cannot read " + (path != nullptr ? readablePath(path) : std::string("(no name)")) + ": " + reason;
}

}  // namespace tavo
