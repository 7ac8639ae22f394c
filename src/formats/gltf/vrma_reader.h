#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "character/humanoid_motion.h"
#include "resources/load_error.h"

namespace tavo {

// Reads a VRM Animation (.vrma: a glTF with the VRMC_vrm_animation
// extension) with the checks of every glTF read: its nodes become the
// skeleton, its first animation the clip, and the extension says which
// nodes are the humanoid bones and the expressions. False with the file,
// the element and the reason (no extension, no hips, no animation, or what
// the glTF reader refuses).
bool readVrmaFile(const std::string& path, HumanoidMotion& motion, LoadError& error);
// The same for a file in memory (the built-in motions); name is its name in
// messages.
bool readVrmaBytes(const std::string& name, const uint8_t* bytes, size_t size, HumanoidMotion& motion, LoadError& error);

}  // namespace tavo
