#include "resources/readable_path.h"

#include "resources/cp932_text.h"
#include "resources/cp932_to_utf8.h"

namespace tavo {

std::string readablePath(const std::string& path) {
    std::string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        out += isWellFormedUtf8(part) ? part : cp932ToUtf8(part);
        if (end == path.size()) break;
        out += '/';
        start = end + 1;
    }
    return out;
}

}  // namespace tavo
