#include "character/expression.h"

#include <cctype>

namespace tavo {

namespace {

bool sameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

}  // namespace

int32_t findExpression(const std::vector<Expression>& expressions, const std::string& name) {
    for (size_t i = 0; i < expressions.size(); ++i) {
        if (sameLetters(expressions[i].name, name)) return static_cast<int32_t>(i);
    }
    return -1;
}

}  // namespace tavo
