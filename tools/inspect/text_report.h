#pragma once

#include <string>

#include "report_input.h"

namespace tavo::inspect {

// A readable summary for people: materials, textures, objects, the bone tree
// with its rigid objects, skinned objects, motions, the pose if asked for,
// and the problems.
std::string textReport(const ReportInput& input);

}  // namespace tavo::inspect
