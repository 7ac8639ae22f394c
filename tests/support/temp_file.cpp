#include "support/temp_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace tavo::test {

TempFile::TempFile(const std::vector<uint8_t>& bytes, const std::string& suffix) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavo_XXXXXX").string() + suffix;
    const int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd < 0) {
        throw std::runtime_error("cannot create a temporary file");
    }
    path_ = pattern;
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            break;
        }
        written += static_cast<size_t>(n);
    }
    ::close(fd);
    if (written != bytes.size()) {
        throw std::runtime_error("cannot write a temporary file");
    }
}

TempFile::TempFile(const std::string& text, const std::string& suffix)
    : TempFile(std::vector<uint8_t>(text.begin(), text.end()), suffix) {}

TempFile::~TempFile() { std::remove(path_.c_str()); }

}  // namespace tavo::test
