#include "animation/expression_blending.h"

#include <algorithm>

#include "animation/character_pose.h"
#include "character/character_data.h"

namespace tavo {

namespace {

void raise(const CharacterData& data, const char* name, float weight, CharacterPose& pose) {
    if (weight <= 0.0f) return;
    const int32_t e = findExpression(data.expressions, name);
    if (e >= 0 && static_cast<size_t>(e) < pose.expressionWeights.size()) {
        float& current = pose.expressionWeights[static_cast<size_t>(e)];
        current = std::max(current, std::min(weight, 1.0f));
    }
}

}  // namespace

void setExpressionWeights(const CharacterData& data, const AvatarInputs& inputs, CharacterPose& pose) {
    raise(data, "blink", inputs.blink, pose);
    raise(data, "surprised", inputs.surprise, pose);
    if (inputs.heldExpressions == nullptr) return;
    for (const auto& [index, weight] : *inputs.heldExpressions) {
        if (index >= 0 && static_cast<size_t>(index) < pose.expressionWeights.size()) {
            pose.expressionWeights[static_cast<size_t>(index)] = std::clamp(weight, 0.0f, 1.0f);
        }
    }
}

void blendExpressions(const CharacterData& data, CharacterPose& pose) {
    const size_t count = std::min(data.expressions.size(), pose.expressionWeights.size());
    for (size_t e = 0; e < count; ++e) {
        const Expression& expression = data.expressions[e];
        float weight = std::clamp(pose.expressionWeights[e], 0.0f, 1.0f);
        if (expression.binary) weight = weight >= 0.5f ? 1.0f : 0.0f;
        if (weight == 0.0f) continue;
        for (const MorphBind& bind : expression.binds) {
            if (bind.object < 0 || static_cast<size_t>(bind.object) >= pose.morphWeights.size()) continue;
            std::vector<float>& weights = pose.morphWeights[static_cast<size_t>(bind.object)];
            if (bind.target < 0 || static_cast<size_t>(bind.target) >= weights.size()) continue;
            float& target = weights[static_cast<size_t>(bind.target)];
            target = std::min(1.0f, target + weight * bind.weight);
        }
    }
}

}  // namespace tavo
