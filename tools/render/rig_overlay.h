#pragma once

#include <memory>
#include <string>

#include "resources/load_error.h"

namespace tavo {
struct Character;
struct ModelPose;
}

namespace tavo::render_tool {

// Draws the hidden helper objects over the frame just rendered, in the same
// model space and through the figure: with bones, each bone's triangle
// (filled, with its outline and a dot at the head) and the links between bone
// tips and heads; with anchors, the anchor boxes of the smooth parts as wire
// frames. The bones and anchors are those of the Metasequoia document; both
// follow pose (the model-space pose of its bones) where given, otherwise
// the modelled positions are drawn.
void drawRigOverlay(const Character& character, const ModelPose* pose, bool bones, bool anchors);

// The Metasequoia document whose rig the overlay draws: the model file's (the
// built-in one for an empty path) with its motions, without textures. False
// with the reason for a file that is not a Metasequoia character.
bool loadRigDocument(const std::string& modelPath, const std::string& motionPath,
                     std::unique_ptr<Character>& document, LoadError& error);

}  // namespace tavo::render_tool
