#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "behaviour/figure_motion.h"
#include "behaviour/mascot_state.h"
#include "behaviour/menu_commands.h"
#include "render/frame_renderer.h"
#include "session/character_catalog.h"
#include "session/mascot_host.h"

namespace tavo {

class ProgramObjects;


// One item of the character submenu (label in UTF-8).
struct CharacterMenuItem {
    int32_t command = 0;
    std::string label;
    bool checked = false;
};

// The running mascot, the same on every platform: start-up, the frame step
// (render, colour key, move, present), the menu's commands, the character
// and its choice, and the settings kept at exit. A shell makes its window
// and menu, implements MascotHost, and drives the session from its loop.
class MascotSession {
public:
    MascotSession(MascotHost& host, ProgramObjects& objects);
    MascotSession(const MascotSession&) = delete;
    MascotSession& operator=(const MascotSession&) = delete;

    // In this order: the settings, the menu in the language they or the
    // user's system ask for, the walking direction, the size (the chosen one,
    // else the primary monitor's scale), the random start position, the stored choices (the menu must exist), the surface, the
    // scene with its character, the first frame. The character is the one at
    // characterPath when given, else the remembered one, else the embedded
    // one; one that cannot be loaded is reported and the embedded character
    // is shown. False when there is no OpenGL surface (nothing is shown).
    bool start(const std::string& characterPath);

    // One frame: cursor and screen, the size (the surface is made anew when
    // the size shown changes), render, colour key, move, present. While
    // a full-screen program is in front on the mascot's monitor (and hiding
    // is on) the window is hidden and a step only looks, a few times a
    // second, whether it has gone.
    void step();

    // A command of the popup menu (or one sent from outside).
    CommandResult handleCommand(int32_t command);

    // The character submenu: "Tavo" (the embedded character) first, then the
    // characters found in the base folders (and the one shown, if it lies
    // elsewhere), with the check mark on the one shown. Looked up afresh.
    const std::vector<CharacterMenuItem>& refreshCharacterMenu();
    // As above, with the given base folders (for tests).
    const std::vector<CharacterMenuItem>& refreshCharacterMenu(const std::vector<std::string>& baseFolders);

    // Releases the character and the surface and writes the settings. Runs
    // once; later calls do nothing.
    void finish();

    MascotState& state() { return state_; }
    // The language of the menu and the boxes (known once start has run).
    const TextTable& texts() const { return *texts_; }
    const FrameRenderer& renderer() const { return renderer_; }
    // The folder of the character shown (empty for the embedded one) and the
    // one that will be remembered.
    const std::string& currentFolder() const { return currentFolder_; }
    const std::string& rememberedFolder() const { return rememberedFolder_; }

private:
    WindowPosition drawStartPosition(uint32_t now);
    void loadFirstCharacter(const std::string& characterPath);
    // Describes and loads a folder character; false with the reason.
    bool showFolder(const std::string& path, std::string& error, bool startingUp);
    void chooseCharacter(size_t index);
    bool hiddenForFullScreen(uint32_t now);
    bool followSize(const DesktopLayout& desktop);
    // The surface at a size, the character's GL objects made again on it;
    // false (and no surface) when the host cannot make one.
    bool remakeSurface(int32_t percent);

    static constexpr uint32_t kFullScreenPollMs = 250;

    MascotHost& host_;
    const TextTable* texts_ = &kJapaneseTexts;
    FrameRenderer renderer_;
    MascotState state_;
    MotionClock motionClock_;
    uint8_t* pixels_ = nullptr;
    bool started_ = false;
    bool hidden_ = false;
    int32_t refusedSize_ = 0;  // a size the surface could not be made at
    bool fullScreenPolled_ = false;
    uint32_t fullScreenPolledAtMs_ = 0;
    bool finished_ = false;
    std::string currentFolder_;
    std::string rememberedFolder_;
    std::vector<FoundCharacter> choices_;  // the submenu's characters after "Tavo"
    std::vector<CharacterMenuItem> menu_;
};

}  // namespace tavo
