#pragma once

#include <cstdint>
#include <vector>

namespace tavo::render_tool {

// An application icon from a keyed frame: the opaque figure is cut out by
// its bounding box, centred on a transparent square with a small margin and
// scaled to size x size with a box filter (over premultiplied colour, so the
// edges blend into transparency without dark fringes).
//
// rgba holds width x height pixels, R, G, B, A, top row first; so does the
// result. Empty when the frame shows no figure at all.
std::vector<uint8_t> squareIcon(const std::vector<uint8_t>& rgba, int32_t width, int32_t height,
                                int32_t size);

}  // namespace tavo::render_tool
