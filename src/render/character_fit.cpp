#include "render/character_fit.h"

#include <cmath>

namespace tavo {

VerticalExtent visibleExtent(const Model& model) {
    VerticalExtent extent;
    for (const ModelObject& object : model.objects) {
        if (object.visible == 0) {
            continue;
        }
        for (const Vec3& vertex : object.vertices) {
            if (!std::isfinite(vertex.y)) {
                return VerticalExtent();
            }
            if (!extent.valid || vertex.y < extent.bottom) extent.bottom = vertex.y;
            if (!extent.valid || vertex.y > extent.top) extent.top = vertex.y;
            extent.valid = true;
        }
    }
    return extent;
}

CharacterPlacement fitToReference(const VerticalExtent& model, const VerticalExtent& reference) {
    CharacterPlacement placement;
    if (!model.valid || !reference.valid) {
        return placement;
    }
    if (model.height() > 0.0f && reference.height() > 0.0f) {
        const float scale = reference.height() / model.height();
        if (std::isfinite(scale) && scale > 0.0f) {
            placement.scale = scale;
        }
    }
    placement.lift = reference.centre() - model.centre() * placement.scale;
    if (!std::isfinite(placement.lift)) {
        placement.lift = 0.0f;
    }
    return placement;
}

}  // namespace tavo
