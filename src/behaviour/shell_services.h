#pragma once

#include <cstdint>

namespace tavo {

// What the portable behaviour asks of the window system: check marks in the
// popup menu and the error box. Each shell implements it.
class ShellServices {
public:
    virtual ~ShellServices() = default;
    // Command identifiers that name no menu item are ignored.
    virtual void checkMenuItem(int32_t command, bool checked) = 0;
    // A modal error box; text and caption are code-page-932 byte strings.
    virtual void showErrorBox(const char* text, const char* caption) = 0;
};

}  // namespace tavo
