#include <cerrno>
#include <cstring>

#include "resources/stdio_file.h"

namespace tavo {

namespace {

StdioFile openInMode(const char* path, const char* mode, std::string* whyNot) {
    if (path == nullptr) {
        if (whyNot != nullptr) *whyNot = "no file name";
        return StdioFile();
    }
    StdioFile file(std::fopen(path, mode));
    if (!file && whyNot != nullptr) {
        *whyNot = std::strerror(errno);
    }
    return file;
}

}  // namespace

StdioFile openStdioFile(const char* path, std::string* whyNot) { return openInMode(path, "rb", whyNot); }

StdioFile createStdioFile(const char* path, std::string* whyNot) { return openInMode(path, "wb", whyNot); }

}  // namespace tavo
