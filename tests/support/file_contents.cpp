#include "support/file_contents.h"

#include <fstream>
#include <sstream>

namespace tavo::test {

std::string fileContents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace tavo::test
