#include "skin_summary.h"

#include "model/model.h"
#include "skeleton/anchors.h"
#include "skeleton/skeleton.h"

namespace tavo::inspect {
namespace {

void countInfluences(const ModelObject& object, SkinSummary& summary) {
    for (std::size_t v = 0; v < object.vertices.size(); ++v) {
        const std::size_t count =
            v < object.vertexInfluences.size() ? object.vertexInfluences[v].weights.size() : 0;
        if (count == 0) {
            ++summary.withoutInfluence;
        } else if (count == 1) {
            ++summary.withOne;
        } else {
            ++summary.withSeveral;
        }
    }
}

}  // namespace

std::vector<SkinSummary> summarizeSkin(const Model& model, const Skeleton& skeleton) {
    std::vector<SkinSummary> result;
    for (int32_t index : model.skinnedObjects) {
        if (index < 0 || static_cast<std::size_t>(index) >= model.objects.size()) {
            continue;
        }
        SkinSummary summary;
        summary.object = index;
        for (const AnchorPiece& piece : anchorPiecesOf(model, index, skeleton)) {
            summary.pieces.push_back({piece.name, piece.boneIndex});
        }
        countInfluences(model.objects[index], summary);
        result.push_back(summary);
    }
    return result;
}

}  // namespace tavo::inspect
