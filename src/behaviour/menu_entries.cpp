#include "behaviour/menu_commands.h"

namespace tavo {

namespace {

// Labels are code-page-932 byte strings, the readable text beside each. The
// top level is this list in order: each submenu, the separator, the exit item.
const MenuEntry kMenuEntries[] = {
    {MenuEntry::Submenu, "\x95\x60\x89\xE6\x89\xF1\x90\x94" /* 描画回数 */, 0, false},
    {MenuEntry::Item, "10fps", kCommandFrameSpeedBase + 0, false},
    {MenuEntry::Item, "15fps", kCommandFrameSpeedBase + 1, false},
    {MenuEntry::Item, "20fps", kCommandFrameSpeedBase + 2, false},
    {MenuEntry::Item, "30fps", kCommandFrameSpeedBase + 3, false},
    {MenuEntry::EndSubmenu, nullptr, 0, false},

    {MenuEntry::Submenu, "\x93\xA6\x82\xB0\x82\xE9\x91\xAC\x93\x78" /* 逃げる速度 */, 0, false},
    {MenuEntry::Item, "\x8D\x44\x82\xAB\x82\xC8\x90\x6C\x82\xBE\x81\x5B" /* 好きな人だー */,
     kCommandEscapeSpeedBase + 0, true},
    {MenuEntry::Item, "\x8B\xEA\x8E\xE8\x82\xC8\x90\x6C\x82\xBE\x81\x5B" /* 苦手な人だー */,
     kCommandEscapeSpeedBase + 1, false},
    {MenuEntry::Item,
     "\x95\xDF\x82\xDC\x82\xE7\x82\xC8\x82\xA2\x82\xF1\x82\xBE\x81\x5B" /* 捕まらないんだー */,
     kCommandEscapeSpeedBase + 2, false},
    {MenuEntry::Item, "\x89\xBD\x82\xF0\x82\xB7\x82\xE9\x82\xBE\x83\x40\x81\x5B" /* 何をするだァー */,
     kCommandEscapeSpeedBase + 3, false},
    {MenuEntry::EndSubmenu, nullptr, 0, false},

    {MenuEntry::Submenu, "\x90\x55\x82\xE9\x91\xAC\x93\x78" /* 振る速度 */, 0, false},
    {MenuEntry::Item, "\x95\x81\x92\xCA\x82\xBE\x82\xA9\x82\xE7\x81\x5B" /* 普通だからー */,
     kCommandActionSpeedBase + 0, false},
    {MenuEntry::Item, "\x91\xAC\x82\xA2\x82\xF1\x82\xBE\x82\xA9\x82\xE7\x81\x5B" /* 速いんだからー */,
     kCommandActionSpeedBase + 1, false},
    {MenuEntry::Item,
     "\x83\x7D\x83\x57\x82\xC8\x82\xF1\x82\xBE\x82\xA9\x82\xE7\x81\x5B" /* マジなんだからー */,
     kCommandActionSpeedBase + 2, false},
    {MenuEntry::EndSubmenu, nullptr, 0, false},

    {MenuEntry::Submenu, "\x83\x4C\x83\x83\x83\x89\x83\x4E\x83\x5E\x81\x5B" /* キャラクター */, 0, false},
    {MenuEntry::CharacterList, nullptr, 0, false},
    {MenuEntry::EndSubmenu, nullptr, 0, false},

    {MenuEntry::Item, "\x83\x8D\x83\x4F\x83\x43\x83\x93\x8E\x9E\x82\xC9\x8B\x4E\x93\xAE" /* ログイン時に起動 */,
     kCommandStartAtLogin, false},

    {MenuEntry::Separator, "", 0, false},
    {MenuEntry::Item, "\x8F\x49\x97\xB9" /* 終了 */, kCommandExit, false},
};

}  // namespace

const MenuEntry* menuEntries(int32_t& count) {
    count = static_cast<int32_t>(sizeof kMenuEntries / sizeof kMenuEntries[0]);
    return kMenuEntries;
}

}  // namespace tavo
