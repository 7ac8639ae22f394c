#pragma once

#include <cstdint>
#include <string>

#include "language/text_table.h"

namespace tavo {

// What the portable behaviour asks of the window system: check marks in the
// popup menu and the error box. Each shell implements it.
class ShellServices {
public:
    virtual ~ShellServices() = default;
    // Command identifiers that name no menu item are ignored.
    virtual void checkMenuItem(int32_t command, bool checked) = 0;
    // A modal error box with the text and caption in the language of the
    // menu; a detail that is not empty (UTF-8, such as the system's reason)
    // follows the text on a line of its own.
    virtual void showErrorBox(TextId text, TextId caption, const std::string& detail) = 0;
};

}  // namespace tavo
