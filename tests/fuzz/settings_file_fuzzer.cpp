// Arbitrary bytes as the settings file. The three choices are read as the
// program reads them and applied at start-up, and the figure is moved for a
// few frames; whatever the file held, the frame rate must end up one the
// menu offers. Writing the choices back and reading the text again must give
// the same numbers, and a file that was written once is stable.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "behaviour/mascot_state.h"
#include "behaviour/menu_commands.h"
#include "settings/profile_file.h"
#include "behaviour/shell_services.h"

namespace {

void require(bool condition) {
    if (!condition) {
        abort();
    }
}

class QuietShell : public tavo::ShellServices {
public:
    void checkMenuItem(int32_t, bool) override {}
    void showErrorBox(tavo::TextId text, tavo::TextId caption, const std::string&) override {
        require(text < tavo::TextId::Count && caption < tavo::TextId::Count);
    }
};

// The text without carriage returns: a file is written back with the line
// ending of its first line, and a carriage return at the end of a line is
// taken as part of the line break.
std::string withoutCarriageReturns(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') {
            out += c;
        }
    }
    return out;
}

bool offeredFrameRate(int32_t fps) { return fps == 10 || fps == 15 || fps == 20 || fps == 30; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tavo::ProfileFile profile = tavo::ProfileFile::parse(text);

    tavo::MascotState state;
    state.frameSpeed = profile.getInt("Mode", "FrameSpeed", 0);
    state.escapeSpeed = profile.getInt("Mode", "EscapeSpeed", 1);
    state.actionSpeed = profile.getInt("Mode", "ActionSpeed", 0);
    QuietShell shell;
    tavo::applyStoredChoices(state, shell, tavo::WindowPosition{300, 200});
    require(offeredFrameRate(state.framesPerSecond));
    require(state.frameIntervalMs > 0);

    // A few frames with the cursor away from the figure, then on it.
    for (int frame = 0; frame < 40; ++frame) {
        const tavo::CursorPosition cursor =
            frame < 20 ? tavo::CursorPosition{0, 0}
                       : tavo::CursorPosition{static_cast<int32_t>(state.posX) + 200,
                                              static_cast<int32_t>(state.posY) + 180};
        state.updateMovement(cursor, 1280, 1024);
    }

    profile.setInt("Mode", "FrameSpeed", state.frameSpeed);
    profile.setInt("Mode", "EscapeSpeed", state.escapeSpeed);
    profile.setInt("Mode", "ActionSpeed", state.actionSpeed);
    const std::string written = profile.text();
    const tavo::ProfileFile reread = tavo::ProfileFile::parse(written);
    require(reread.getInt("Mode", "FrameSpeed", INT32_MIN) == state.frameSpeed);
    require(reread.getInt("Mode", "EscapeSpeed", INT32_MIN) == state.escapeSpeed);
    require(reread.getInt("Mode", "ActionSpeed", INT32_MIN) == state.actionSpeed);
    require(withoutCarriageReturns(reread.text()) == withoutCarriageReturns(written));
    return 0;
}
