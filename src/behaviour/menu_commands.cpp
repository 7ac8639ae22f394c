#include "behaviour/menu_commands.h"

#include "behaviour/login_start_item.h"
#include "behaviour/mascot_size.h"
#include "behaviour/shell_services.h"

namespace tavo {

namespace {

// Moves the check mark of a group from the stored choice to the new one.
// Only a value that names an item of this group touches a check mark: a raw
// settings value (or a negative escape speed) would otherwise reach, by its
// command number, an item of another group or the exit item.
void moveCheckMark(ShellServices& shell, int32_t base, int32_t itemCount, int32_t storedChoice,
                   int32_t choice) {
    if (storedChoice >= 0 && storedChoice < itemCount) {
        shell.checkMenuItem(base + storedChoice, false);
    }
    if (choice >= 0 && choice < itemCount) {
        shell.checkMenuItem(base + choice, true);
    }
}

constexpr int32_t kFrameSpeedItems = 4;
constexpr int32_t kEscapeSpeedItems = 4;
constexpr int32_t kActionSpeedItems = 3;

}  // namespace

void setFrameSpeed(MascotState& state, ShellServices& shell, int32_t choice) {
    static const int32_t kFramesPerSecond[] = {10, 15, 20, 30};
    if (static_cast<uint32_t>(choice) > 3u) choice = 0;
    moveCheckMark(shell, kCommandFrameSpeedBase, kFrameSpeedItems, state.frameSpeed, choice);
    state.applyFrameRate(kFramesPerSecond[choice], shell);
    state.frameSpeed = choice;
}

void setEscapeSpeed(MascotState& state, ShellServices& shell, int32_t choice) {
    if (choice > 3) choice = 3;
    moveCheckMark(shell, kCommandEscapeSpeedBase, kEscapeSpeedItems, state.escapeSpeed, choice);
    state.computeEscapeStep(choice, shell);
    state.escapeSpeed = choice;
}

void setActionSpeed(MascotState& state, ShellServices& shell, int32_t choice) {
    float factor = 0.5f;
    switch (choice) {
    case 0: factor = 0.3f; break;
    case 1: factor = 0.6f; break;
    case 2: factor = 1.0f; break;
    default: choice = 0; break;  // out of range: first item, but the middle factor
    }
    moveCheckMark(shell, kCommandActionSpeedBase, kActionSpeedItems, state.actionSpeed, choice);
    state.setActionFactor(factor);
    state.actionSpeed = choice;
}

void setHideForFullScreen(MascotState& state, ShellServices& shell, int32_t choice) {
    state.hideForFullScreen = choice == 0 ? 0 : 1;
    shell.checkMenuItem(kCommandHideForFullScreen, state.hideForFullScreen != 0);
}

void setSize(MascotState& state, int32_t choice) {
    if (choice >= 0 && choice < kSizeChoiceCount) state.sizeChoice = kSizeChoices[choice];
}

void showSizeCheck(ShellServices& shell, int32_t shownPercent) {
    for (int32_t i = 0; i < kSizeChoiceCount; ++i) {
        shell.checkMenuItem(kCommandSizeBase + i, kSizeChoices[i] == shownPercent);
    }
}

CommandResult handleMenuCommand(MascotState& state, ShellServices& shell, int32_t command) {
    if (command == kCommandExit) return CommandResult::Exit;
    if (command >= kCommandFrameSpeedBase && command <= kCommandFrameSpeedBase + 3) {
        setFrameSpeed(state, shell, command - kCommandFrameSpeedBase);
    } else if (command >= kCommandEscapeSpeedBase && command <= kCommandEscapeSpeedBase + 3) {
        setEscapeSpeed(state, shell, command - kCommandEscapeSpeedBase);
    } else if (command >= kCommandActionSpeedBase && command <= kCommandActionSpeedBase + 2) {
        setActionSpeed(state, shell, command - kCommandActionSpeedBase);
    } else if (command >= kCommandSizeBase && command < kCommandSizeBase + kSizeChoiceCount) {
        setSize(state, command - kCommandSizeBase);
    } else if (command == kCommandStartAtLogin) {
        toggleStartAtLogin(shell);
    } else if (command == kCommandHideForFullScreen) {
        setHideForFullScreen(state, shell, state.hideForFullScreen == 0 ? 1 : 0);
    } else {
        return CommandResult::Ignored;
    }
    return CommandResult::Handled;
}

}  // namespace tavo
