#pragma once

#include <vector>

#include "math/vec3.h"
#include "skeleton/skeleton.h"

// The two linking steps of the skeleton build, on records whose vertex
// indices are set and whose parents are all -1. Vertices are compared by
// index, never by position.
namespace tavo {

// Each link hangs from the bones whose tip touches one of its ends, in
// index order: it is appended to each one's children, the last one becomes
// its parent, and the link is turned round when it touches with its far end.
// Its localPosition becomes the position of its (final) head.
void attachLinks(Skeleton& skeleton, const std::vector<Vec3>& vertices);

// Each bone becomes a child of every record whose tip is its head, reached
// through a link as the bone above that link; the last one is the parent.
void attachBones(Skeleton& skeleton);

}  // namespace tavo
