#pragma once

#include <string>

namespace tavo {

// A bone or anchor name after the mirroring rule: a name that ends with "[]"
// stands for one of a left/right pair and becomes base + "[L]" on the +x side
// and base + "[R]" otherwise (x = 0 included).
struct MirroredName {
    std::string name;  // the resolved name
    std::string base;  // the name without "[]" (the whole name when not mirrored)
    char side = 0;     // 'L', 'R', or 0 when not mirrored
};

MirroredName resolveMirroredName(const std::string& raw, float x);

}  // namespace tavo
