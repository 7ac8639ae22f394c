#include "resources/ascii_case.h"

namespace tavo {

namespace {

int foldAsciiCase(unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

}  // namespace

int compareIgnoringAsciiCase(const char* a, const char* b) {
    const auto* left = reinterpret_cast<const unsigned char*>(a);
    const auto* right = reinterpret_cast<const unsigned char*>(b);
    while (*left != '\0' && foldAsciiCase(*left) == foldAsciiCase(*right)) {
        ++left;
        ++right;
    }
    return foldAsciiCase(*left) - foldAsciiCase(*right);
}

}  // namespace tavo
