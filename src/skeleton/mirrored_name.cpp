#include "skeleton/mirrored_name.h"

namespace tavo {

MirroredName resolveMirroredName(const std::string& raw, float x) {
    MirroredName result;
    const std::size_t n = raw.size();
    const bool mirrored = n >= 2 && raw[n - 2] == '[' && raw[n - 1] == ']';
    if (!mirrored) {
        result.name = raw;
        result.base = raw;
        return result;
    }
    result.base = raw.substr(0, n - 2);
    result.side = x > 0.0f ? 'L' : 'R';
    result.name = result.base + '[' + result.side + ']';
    return result;
}

}  // namespace tavo
