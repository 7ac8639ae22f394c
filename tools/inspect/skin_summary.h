#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavo {
class Model;
struct Skeleton;
}

namespace tavo::inspect {

struct PieceSummary {
    std::string name;  // code page 932
    int32_t bone = -1;
};

// One skinned object: its anchor pieces and how many of its vertices have
// no influence, one, or two and more.
struct SkinSummary {
    int32_t object = -1;
    std::vector<PieceSummary> pieces;
    int32_t withoutInfluence = 0;
    int32_t withOne = 0;
    int32_t withSeveral = 0;
};

std::vector<SkinSummary> summarizeSkin(const Model& model, const Skeleton& skeleton);

}  // namespace tavo::inspect
