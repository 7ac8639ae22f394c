#include <cerrno>
#include <cstring>

#include "resources/stdio_file.h"

namespace tavo {

StdioFile openStdioFile(const char* path, std::string* whyNot) {
    if (path == nullptr) {
        if (whyNot != nullptr) *whyNot = "no file name";
        return StdioFile();
    }
    StdioFile file(std::fopen(path, "rb"));
    if (!file && whyNot != nullptr) {
        *whyNot = std::strerror(errno);
    }
    return file;
}

}  // namespace tavo
