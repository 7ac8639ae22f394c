#pragma once

#include <string>

#include "character_model.h"

namespace tavo::chara {

// The character as a Metasequoia text document with CR LF line ends. Visible
// meshes are written with their corners clockwise seen from outside; hidden
// helper objects keep the winding they were built with.
std::string writeMqo(const CharacterModel& model);

}  // namespace tavo::chara
