#include "session/mascot_session.h"

#include <cstdlib>

#include "behaviour/figure_motion.h"
#include "behaviour/login_start_item.h"
#include "behaviour/mascot_size.h"
#include "render/program_objects.h"
#include "resources/readable_path.h"
#include "language/text_tables.h"
#include "session/character_folder.h"
#include "session/character_locations.h"
#include "system/user_languages.h"

namespace tavo {

namespace {

const char kEmbeddedLabel[] = "Tavo";
}  // namespace

std::string characterProblemCaption(const TextTable& texts) { return texts.utf8(TextId::CharacterMenu); }

std::string characterProblemText(const TextTable& texts, const std::string& path, const std::string& reason) {
    return texts.utf8(TextId::CharacterUnreadable) + "\n\n" + readablePath(path) + "\n" + readablePath(reason);
}

const TextTable& shownTexts(const StoredSettings& settings) {
    return chooseTextTable(settings.language, userLanguages());
}

MascotSession::MascotSession(MascotHost& host, ProgramObjects& objects) : host_(host), renderer_(objects) {}

bool MascotSession::start(const std::string& characterPath) {
    const StoredSettings settings = host_.readSettings();
    state_.frameSpeed = settings.frameSpeed;
    state_.escapeSpeed = settings.escapeSpeed;
    state_.actionSpeed = settings.actionSpeed;
    state_.hideForFullScreen = settings.hideForFullScreen;
    state_.sizeChoice = settings.size;
    rememberedFolder_ = settings.characterPath;
    texts_ = &shownTexts(settings);
    host_.createMenu(*texts_);
    state_.movingRight = 0;
    // The size first: the start position keeps the whole window on the
    // primary monitor, and the distances walked follow the size.
    const DesktopLayout& desktop = host_.desktopLayout(host_.nowMs());
    state_.applySize(shownSize(state_.sizeChoice, desktop.count() > 0 ? desktop.scalePercent(0) : 100));
    const WindowPosition start = drawStartPosition(host_.nowMs());
    applyStoredChoices(state_, host_.services(), start);
    showSizeCheck(host_.services(), state_.sizePercent);
    showStartAtLogin(host_.services());

    pixels_ = host_.createSurface(state_.surfaceWidth, state_.surfaceHeight);
    if (pixels_ == nullptr) {
        return false;
    }
    started_ = true;
    loadFirstCharacter(characterPath);
    step();
    return true;
}

// A random position at which the whole surface fits on the screen (0 on an
// axis without room).
WindowPosition MascotSession::drawStartPosition(uint32_t now) {
    std::srand(now);
    // On the primary monitor (the first of the layout).
    const DesktopLayout& desktop = host_.desktopLayout(now);
    const ScreenRect screen = desktop.count() > 0 ? desktop.monitor(0) : ScreenRect{};
    WindowPosition position;
    position.x = screen.x + startCoordinate(std::rand(), screen.width, state_.surfaceWidth);
    position.y = screen.y + startCoordinate(std::rand(), screen.height, state_.surfaceHeight);
    return position;
}

void MascotSession::loadFirstCharacter(const std::string& characterPath) {
    const std::string& path = !characterPath.empty() ? characterPath : rememberedFolder_;
    if (path.empty()) {
        renderer_.loadScene(state_.surfaceWidth, state_.surfaceHeight);
        followCharacter(state_, renderer_.playedClip(), renderer_.playbackRate());
        return;
    }
    CharacterFolder folder;
    LoadError error;
    if (describeCharacterFolder(path, folder, error)) {
        const bool loaded = renderer_.loadScene(state_.surfaceWidth, state_.surfaceHeight, folder.files, error);
        followCharacter(state_, renderer_.playedClip(), renderer_.playbackRate());
        if (loaded) {
            currentFolder_ = folder.source;
            return;
        }
    }
    if (renderer_.character() == nullptr) {
        renderer_.loadScene(state_.surfaceWidth, state_.surfaceHeight);
        followCharacter(state_, renderer_.playedClip(), renderer_.playbackRate());
    }
    // A character asked for on the command line gets a box; a remembered one
    // that is gone is only noted.
    host_.reportCharacterProblem(path, error.describe(), !characterPath.empty());
}

void MascotSession::step() {
    if (pixels_ == nullptr) {
        return;
    }
    const uint32_t now = host_.nowMs();
    if (hiddenForFullScreen(now)) {
        return;
    }
    const CursorPosition cursor = host_.cursor();
    const DesktopLayout& desktop = host_.desktopLayout(now);
    if (!followSize(desktop)) {
        return;
    }
    advanceFigure(state_, motionClock_.elapsedMs(now));
    renderer_.renderFrame(state_);
    settlePitch(state_);
    host_.finishFrame();
    applyColorKey(pixels_, state_.surfaceWidth, state_.surfaceHeight);
    const WindowPosition position = state_.updateMovement(cursor, desktop);
    host_.present(pixels_, position);
}

// The size shown is the one chosen from the menu, else the scale of the
// monitor the window is on; when it changes, the surface and the window are
// made anew at that size and the figure is drawn at its resolution. A size
// the surface cannot be made at is not tried again until another is wanted.
// False when there is no surface left to draw on.
bool MascotSession::followSize(const DesktopLayout& desktop) {
    const ScreenRect window{static_cast<int32_t>(state_.posX), static_cast<int32_t>(state_.posY),
                            state_.surfaceWidth, state_.surfaceHeight};
    const int32_t on = desktop.monitorOf(window);
    const int32_t wanted = shownSize(state_.sizeChoice, on >= 0 ? desktop.scalePercent(on) : 100);
    if (wanted == refusedSize_ || wanted == state_.sizePercent) {
        return true;
    }
    const int32_t previous = state_.sizePercent;
    if (!remakeSurface(wanted)) {
        refusedSize_ = wanted;
        remakeSurface(previous);
    }
    state_.fitOntoMonitor(desktop);
    showSizeCheck(host_.services(), state_.sizePercent);
    return pixels_ != nullptr;
}

bool MascotSession::remakeSurface(int32_t percent) {
    renderer_.releaseGlObjects();
    if (pixels_ != nullptr) {
        host_.releaseSurface();
    }
    state_.applySize(percent);
    pixels_ = host_.createSurface(state_.surfaceWidth, state_.surfaceHeight);
    if (pixels_ == nullptr) {
        return false;
    }
    renderer_.resumeScene(state_.surfaceWidth, state_.surfaceHeight);
    return true;
}

// A few times a second: is a full-screen program in front on the mascot's
// monitor? While one is, the window is hidden where it stands and nothing is
// drawn or moved; it comes back at the same place when the program leaves.
bool MascotSession::hiddenForFullScreen(uint32_t now) {
    if (fullScreenPolled_ && now - fullScreenPolledAtMs_ < kFullScreenPollMs) {
        return hidden_;
    }
    fullScreenPolled_ = true;
    fullScreenPolledAtMs_ = now;
    const ScreenRect window{static_cast<int32_t>(state_.posX), static_cast<int32_t>(state_.posY),
                            state_.surfaceWidth, state_.surfaceHeight};
    const bool hide = state_.hideForFullScreen != 0 && host_.fullScreenWindowOn(window);
    if (hide != hidden_) {
        hidden_ = hide;
        host_.showWindow(!hidden_);
    }
    return hidden_;
}

CommandResult MascotSession::handleCommand(int32_t command) {
    if (command >= kCommandCharacterBase && command <= kCommandCharacterLast) {
        const size_t index = static_cast<size_t>(command - kCommandCharacterBase);
        if (index > choices_.size()) {
            return CommandResult::Ignored;
        }
        chooseCharacter(index);
        return CommandResult::Handled;
    }
    return handleMenuCommand(state_, host_.services(), command);
}

const std::vector<CharacterMenuItem>& MascotSession::refreshCharacterMenu() {
    return refreshCharacterMenu(characterBaseFolders());
}

const std::vector<CharacterMenuItem>& MascotSession::refreshCharacterMenu(
    const std::vector<std::string>& baseFolders) {
    choices_ = findCharacters(baseFolders);
    bool listed = currentFolder_.empty();
    for (const FoundCharacter& found : choices_) {
        listed = listed || sameFolder(found.folder, currentFolder_);
    }
    if (!listed) {
        // The character shown came from elsewhere (the command line): it is
        // listed too, in its place by folder name.
        choices_.push_back({currentFolder_, characterLabel(currentFolder_)});
        orderByFolderName(choices_);
    }
    const size_t limit = static_cast<size_t>(kCommandCharacterLast - kCommandCharacterBase);
    if (choices_.size() > limit) {
        choices_.resize(limit);
    }
    menu_.clear();
    menu_.push_back({kCommandCharacterBase, kEmbeddedLabel, currentFolder_.empty()});
    for (size_t i = 0; i < choices_.size(); ++i) {
        // A folder named in bytes that are no UTF-8 (an archive unpacked
        // without conversion) is still opened by those bytes; its label is
        // shown readably.
        const std::string& label = choices_[i].label.empty() ? baseName(choices_[i].folder) : choices_[i].label;
        menu_.push_back({kCommandCharacterBase + static_cast<int32_t>(i + 1), readablePath(label),
                         sameFolder(choices_[i].folder, currentFolder_)});
    }
    return menu_;
}

void MascotSession::chooseCharacter(size_t index) {
    if (!started_) {
        return;
    }
    if (index == 0) {
        renderer_.switchToEmbedded();
        followCharacter(state_, renderer_.playedClip(), renderer_.playbackRate());
        currentFolder_.clear();
        rememberedFolder_.clear();
        return;
    }
    const std::string& path = choices_[index - 1].folder;
    CharacterFolder folder;
    LoadError error;
    if (!describeCharacterFolder(path, folder, error) || !renderer_.switchCharacter(folder.files, error)) {
        host_.reportCharacterProblem(path, error.describe(), true);
        return;
    }
    followCharacter(state_, renderer_.playedClip(), renderer_.playbackRate());
    currentFolder_ = folder.source;
    rememberedFolder_ = folder.source;
}

void MascotSession::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    renderer_.releaseCharacter();
    if (pixels_ != nullptr) {
        host_.releaseSurface();
        pixels_ = nullptr;
    }
    StoredSettings settings;
    settings.frameSpeed = state_.frameSpeed;
    settings.escapeSpeed = state_.escapeSpeed;
    settings.actionSpeed = state_.actionSpeed;
    settings.hideForFullScreen = state_.hideForFullScreen;
    settings.size = state_.sizeChoice;
    settings.characterPath = rememberedFolder_;
    host_.writeSettings(settings);
}

}  // namespace tavo
