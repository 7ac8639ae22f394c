#include "resources/stdio_file.h"

#include <cerrno>
#include <cstring>
#include <limits>

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

std::string unreadableFileReason(const char* path) {
    if (path == nullptr) {
        return "no file name";
    }
    errno = 0;
    StdioFile file = openStdioFile(path);
    if (!file) {
        const int error = errno;
        return std::string("cannot open ") + path +
               (error != 0 ? std::string(": ") + std::strerror(error) : std::string());
    }
    const int32_t size = measureFile(file.get());
    if (size == 0) {
        return std::string(path) + " is empty";
    }
    if (size < 0) {
        return std::string(path) + " is too large to read";
    }
    return std::string("cannot read ") + path;
}

}  // namespace tavo
