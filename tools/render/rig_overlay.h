#pragma once

namespace tavo {
struct Character;
}

namespace tavo::render_tool {

// Draws the hidden helper objects over the frame just rendered, in the same
// model space and through the figure: with bones, each bone's triangle
// (filled, with its outline and a dot at the head) and the links between bone
// tips and heads; with anchors, the anchor boxes of the smooth parts as wire
// frames. Both follow the current pose; without motions the modelled
// positions are drawn.
void drawRigOverlay(const Character& character, bool bones, bool anchors);

}  // namespace tavo::render_tool
