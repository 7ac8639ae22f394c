#pragma once

#include <vector>

#include "motion/motion.h"

namespace tavo {

struct Skeleton;

// Gives each rotation track the index of the first bone of the same name, or -1.
void bindTracks(Motion& motion, const Skeleton& skeleton);

// Appends motions as read to the skeleton's: their rotation tracks bound to
// its bones by name and ready to be sampled (control points computed).
void attachMotions(Skeleton& skeleton, std::vector<Motion>&& motions);

}  // namespace tavo
