#pragma once

#include <string>

namespace tavo::chara {

// Fixed-point text for a real with the given number of decimals: never an
// exponent (the readers do not take one) and never a negative zero.
std::string fixed(double value, int decimals);

// Appends text and a CR LF line end.
void appendLine(std::string& out, const std::string& text);

}  // namespace tavo::chara
