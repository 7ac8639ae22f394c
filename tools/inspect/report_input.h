#pragma once

#include <string>
#include <vector>

#include "inspected_character.h"
#include "skin_summary.h"

namespace tavo {
class Model;
class TextureManager;
struct Skeleton;
}

namespace tavo::inspect {

// Everything a report shows, gathered before any pose is applied.
struct ReportInput {
    const Model* model = nullptr;
    const Skeleton* skeleton = nullptr;  // as built, before posing; null when none
    const TextureManager* textures = nullptr;
    std::vector<SkinSummary> skin;
    std::vector<std::string> problems;   // UTF-8
    const PoseSnapshot* pose = nullptr;  // null without --pose
};

}  // namespace tavo::inspect
