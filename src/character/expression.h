#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavo {

// One morph target an expression moves: at the expression's full weight the
// target's weight rises by weight (0 to 1).
struct MorphBind {
    int32_t object = -1;  // a model object
    int32_t target = -1;  // one of its morph targets
    float weight = 1.0f;
};

// A facial expression of an avatar: a name and the morph targets it blends.
// Preset expressions are named as VRM 1.0 names them ("blink", "happy",
// "surprised"), whichever version the file was; others keep their own name.
struct Expression {
    std::string name;
    std::vector<MorphBind> binds;
    bool binary = false;  // shown fully from half its weight, else not at all
};

// The index of the expression with this name (letter case aside), -1 for
// none.
int32_t findExpression(const std::vector<Expression>& expressions, const std::string& name);

}  // namespace tavo
