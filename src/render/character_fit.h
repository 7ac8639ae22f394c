#pragma once

#include "model/model.h"

namespace tavo {

// The vertical extent of a model's modelled pose: the lowest and highest y of
// the vertices of its visible objects. Not valid when no visible object has a
// vertex, or a coordinate is not finite.
struct VerticalExtent {
    float bottom = 0.0f;
    float top = 0.0f;
    bool valid = false;

    float height() const { return top - bottom; }
    float centre() const { return (top + bottom) * 0.5f; }
};

VerticalExtent visibleExtent(const Model& model);

// How a character is placed: its build scale, and how far its model is
// lifted (in scaled model units) before it is drawn.
struct CharacterPlacement {
    float scale = 1.0f;
    float lift = 0.0f;
};

// The placement that gives a model of the given extent (read at scale 1) the
// reference's height with its vertical centre at the reference's. A model
// without height (or a reference without) keeps scale 1 and is only centred.
CharacterPlacement fitToReference(const VerticalExtent& model, const VerticalExtent& reference);

}  // namespace tavo
