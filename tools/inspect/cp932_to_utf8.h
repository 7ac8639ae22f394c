#pragma once

#include "resources/cp932_to_utf8.h"

namespace tavo::inspect {

// The program's one conversion: a byte that starts no valid character
// becomes U+FFFD.
using tavo::cp932ToUtf8;

}  // namespace tavo::inspect
