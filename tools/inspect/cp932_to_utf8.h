#pragma once

#include "resources/cp932_to_utf8.h"

#include "checked_utf8.h"
#include "model/model.h"

namespace tavo::inspect {

// The program's one conversion: a byte that starts no valid character
// becomes U+FFFD.
using tavo::cp932ToUtf8;

// The names of one character in UTF-8 for the reports: converted from code
// page 932, or passed through when the model says "CodePage utf8". Motion
// and track names follow the model, since tracks bind to its bone names
// byte for byte.
class NameText {
public:
    explicit NameText(TextEncoding encoding) : encoding_(encoding) {}
    std::string operator()(const std::string& name) const {
        return encoding_ == TextEncoding::Utf8 ? checkedUtf8(name) : cp932ToUtf8(name);
    }

private:
    TextEncoding encoding_;
};

}  // namespace tavo::inspect
