#pragma once

#include <string>
#include <vector>

#include "skin_summary.h"

namespace tavo {
class Model;
class TextureManager;
struct Skeleton;
}

namespace tavo::inspect {

// What a character author should fix, one UTF-8 line each: rotation tracks
// without a bone, skinned vertices without influence, anchor pieces without
// a bone, face indices out of range, fewer than four motions (the mascot
// plays the fourth), textures that failed to load (with the reason textures
// kept, when given), a missing bone object.
std::vector<std::string> collectProblems(const Model& model, const Skeleton* skeleton,
                                         const std::vector<SkinSummary>& skin,
                                         bool motionsGiven,
                                         const TextureManager* textures = nullptr);

}  // namespace tavo::inspect
