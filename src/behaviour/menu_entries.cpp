#include "behaviour/menu_commands.h"

namespace tavo {

namespace {

// The top level is this list in order: each submenu, the separator, the exit
// item. Entries without a label carry TextId::Count.
constexpr TextId kNone = TextId::Count;

const MenuEntry kMenuEntries[] = {
    {MenuEntry::Submenu, TextId::FrameRateMenu, 0, false},
    {MenuEntry::Item, TextId::FrameRate10, kCommandFrameSpeedBase + 0, false},
    {MenuEntry::Item, TextId::FrameRate15, kCommandFrameSpeedBase + 1, false},
    {MenuEntry::Item, TextId::FrameRate20, kCommandFrameSpeedBase + 2, false},
    {MenuEntry::Item, TextId::FrameRate30, kCommandFrameSpeedBase + 3, false},
    {MenuEntry::EndSubmenu, kNone, 0, false},

    {MenuEntry::Submenu, TextId::EscapeSpeedMenu, 0, false},
    {MenuEntry::Item, TextId::EscapeFavourite, kCommandEscapeSpeedBase + 0, true},
    {MenuEntry::Item, TextId::EscapeDisliked, kCommandEscapeSpeedBase + 1, false},
    {MenuEntry::Item, TextId::EscapeUncatchable, kCommandEscapeSpeedBase + 2, false},
    {MenuEntry::Item, TextId::EscapeOutrage, kCommandEscapeSpeedBase + 3, false},
    {MenuEntry::EndSubmenu, kNone, 0, false},

    {MenuEntry::Submenu, TextId::SwingSpeedMenu, 0, false},
    {MenuEntry::Item, TextId::SwingNormal, kCommandActionSpeedBase + 0, false},
    {MenuEntry::Item, TextId::SwingFast, kCommandActionSpeedBase + 1, false},
    {MenuEntry::Item, TextId::SwingSerious, kCommandActionSpeedBase + 2, false},
    {MenuEntry::EndSubmenu, kNone, 0, false},

    {MenuEntry::Submenu, TextId::CharacterMenu, 0, false},
    {MenuEntry::CharacterList, kNone, 0, false},
    {MenuEntry::EndSubmenu, kNone, 0, false},

    {MenuEntry::Submenu, TextId::SizeMenu, 0, false},
    {MenuEntry::Item, TextId::Size50, kCommandSizeBase + 0, false},
    {MenuEntry::Item, TextId::Size75, kCommandSizeBase + 1, false},
    {MenuEntry::Item, TextId::Size100, kCommandSizeBase + 2, false},
    {MenuEntry::Item, TextId::Size150, kCommandSizeBase + 3, false},
    {MenuEntry::Item, TextId::Size200, kCommandSizeBase + 4, false},
    {MenuEntry::EndSubmenu, kNone, 0, false},

    {MenuEntry::Item, TextId::HideForFullScreen, kCommandHideForFullScreen, false},
    {MenuEntry::Item, TextId::StartAtLogin, kCommandStartAtLogin, false},

    {MenuEntry::Separator, kNone, 0, false},
    {MenuEntry::Item, TextId::Exit, kCommandExit, false},
};

}  // namespace

const MenuEntry* menuEntries(int32_t& count) {
    count = static_cast<int32_t>(sizeof kMenuEntries / sizeof kMenuEntries[0]);
    return kMenuEntries;
}

}  // namespace tavo
