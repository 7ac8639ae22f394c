#pragma once

namespace tavo {

// Compares two zero-terminated strings ignoring the letter case of A-Z only
// (every other byte, code-page-932 bytes included, compares as it is): 0 when
// equal, otherwise negative or positive like strcmp.
int compareIgnoringAsciiCase(const char* a, const char* b);

}  // namespace tavo
